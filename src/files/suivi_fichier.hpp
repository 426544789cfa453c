// A file another process is still writing, read as it grows: a live game's recording, watched
// from another terminal. The writer marks the file as written for as long as it holds it open,
// so that a reader knows when no more will come, even from a writer killed outright.
#pragma once

#include <cstdio>
#include <string>

namespace korva {

class SuiviFichier {
public:
    // Opens the file to follow; `numero_erreur` says why not when it cannot (as lire_fichier).
    SuiviFichier(const std::string& chemin, int& numero_erreur);
    ~SuiviFichier();
    SuiviFichier(const SuiviFichier&) = delete;
    SuiviFichier& operator=(const SuiviFichier&) = delete;

    bool ouvert() const { return descripteur_ >= 0; }
    // The whole lines written since the last call, line feeds included; a line still being
    // written waits for its end. Held to TAILLE_LECTURE_MAX in all, as any read of the game.
    std::string lignes_nouvelles();
    // Whether the writer has let the file go: nothing more will come once its lines are read.
    bool ecrivain_parti() const;
    // What to wait on for more: a descriptor that has something to read once the file changed
    // (-1: none), and the longest wait before looking again (-1: no end).
    int signe() const { return signe_; }
    int attente_ms() const;

private:
    // Adds to `reste_` what the writer wrote since the last look.
    void lire_suite();

    int descripteur_ = -1;
    int signe_ = -1;
    bool ferme_ = false; // the writer was seen closing the file
    std::size_t lus_ = 0;
    std::string reste_; // the start of a line still being written
};

// Marks `fichier`, just opened for writing, as written by this process until it is closed or
// the process ends, however it ends.
void marquer_en_ecriture(std::FILE* fichier);

// Whether some process still writes the file at `chemin` (as marquer_en_ecriture marks it).
bool ecrit_en_ce_moment(const std::string& chemin);

} // namespace korva
