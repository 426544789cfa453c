// Files that are never half written: a new content goes to a temporary file beside the old
// one, reaches the disk, then takes its place in one rename.
#pragma once

#include <string>
#include <string_view>

namespace korva {

// Replaces the file at `chemin` with `contenu`. On failure the old file is whole, and
// `numero_erreur` holds the system's reason.
bool ecrire_fichier_atomique(const std::string& chemin, std::string_view contenu,
                             int& numero_erreur);

// Reads a whole file; false with the system's reason when it cannot be read.
bool lire_fichier(const std::string& chemin, std::string& contenu, int& numero_erreur);

// An advisory lock held for as long as the object lives, so that two games updating the same
// file take turns. The lock lives on its own file beside the one it guards.
class VerrouFichier {
public:
    explicit VerrouFichier(const std::string& chemin_garde);
    ~VerrouFichier();
    VerrouFichier(const VerrouFichier&) = delete;
    VerrouFichier& operator=(const VerrouFichier&) = delete;
    bool tenu() const { return descripteur_ >= 0; }
    int erreur() const { return erreur_; }

private:
    int descripteur_ = -1;
    int erreur_ = 0;
};

} // namespace korva
