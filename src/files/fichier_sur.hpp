// The game's files, read and written safely: only regular files of a bounded size are read, so
// that a pipe cannot hang the game nor a device fill its memory; a new content goes to a
// temporary file beside the old one, reaches the disk, then takes its place in one rename, so
// that a file is never half written.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korva {

// The largest file the game reads. Its largest valid file, a save of a full 100 by 100 board
// with the widest numbers, is about 2 MB; a larger file is refused before it fills the memory.
inline constexpr std::size_t TAILLE_LECTURE_MAX = std::size_t{8} << 20;

// The game's own reasons for refusing a file, beside the system's errno values.
inline constexpr int ERREUR_PAS_UN_FICHIER = -1; // a pipe, a device: reading it could hang
inline constexpr int ERREUR_TROP_GRAND = -2;     // over TAILLE_LECTURE_MAX bytes

// Replaces the file at `chemin` with `contenu`. On failure the old file is whole, and
// `numero_erreur` holds the reason. The new file keeps the old one's permissions; a file made
// anew gets those the system gives new files. On POSIX systems a pipe or a device in the way is
// refused as lire_fichier refuses it.
bool ecrire_fichier_atomique(const std::string& chemin, std::string_view contenu,
                             int& numero_erreur);

// Adds `ligne` at the end of the file at `chemin` (made when missing, through a link where one
// stands) in one write, so that lines added at once by many games never mix; false with the
// reason when the line did not go in whole (a line cut short by a full disk counts as none).
// Like lire_fichier, it refuses anything but a regular file, without waiting for a pipe.
bool ajouter_au_fichier(const std::string& chemin, std::string_view ligne, int& numero_erreur);

// Reads a whole file; false with the reason when it cannot be read: the system's, or one of the
// two above. Only a regular file (or a link to one) is read, and only up to TAILLE_LECTURE_MAX
// bytes; a pipe is refused without waiting for a writer.
bool lire_fichier(const std::string& chemin, std::string& contenu, int& numero_erreur);

// Whether something of that name is there, whatever its kind; a link counts, even one that
// leads nowhere.
bool fichier_existe(const std::string& chemin);

// Whether the system's text files end their lines with CR LF, which a read as text takes for a
// single line feed.
extern const bool FINS_DE_LIGNE_CRLF;

// Why a file could not be read or written, in the player's words: the system's reason, or the
// game's own.
std::string raison_fichier(int numero_erreur);

// Reports a failed read or write as perror does: the path, a colon, a blank and the reason.
void signaler_fichier(std::string_view chemin, int numero_erreur);

// Reads a file of the game whole, as lire_fichier does; one that cannot be read is reported.
bool lire_ou_signaler(const std::string& chemin, std::string& contenu);

// Reads a file of settings line by line, `ligne` taking each, or saying why not: false, with
// `erreur` naming the file and either why it cannot be read or the first line refused and why.
bool lire_reglages(const std::string& chemin,
                   const std::function<std::optional<std::string>(std::string_view)>& ligne,
                   std::string& erreur);

// An advisory lock held for as long as the object lives, so that two games updating the same
// file take turns. The lock lives on its own file beside the one it guards (on POSIX systems,
// beside the file a link to it leads to).
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
