#include "files/fichier_sur.hpp"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {

const bool FINS_DE_LIGNE_CRLF = false;

namespace {

// Links followed on the way to a file, as the system itself follows them at most.
constexpr int LIENS_MAX = 40;

bool tout_ecrire(int descripteur, std::string_view contenu) {
    std::size_t ecrit = 0;
    while (ecrit < contenu.size()) {
        const ssize_t n = ::write(descripteur, contenu.data() + ecrit, contenu.size() - ecrit);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) { // no progress and no reason: give up rather than spin
            errno = EIO;
            return false;
        }
        ecrit += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes a rename in the folder of `chemin` reach the disk. Best effort: the new file is
// already in place, so a failure here does not undo the write.
void synchroniser_dossier(const std::string& chemin) {
    const std::size_t barre = chemin.rfind('/');
    const std::string dossier = barre == std::string::npos ? "." : chemin.substr(0, barre + 1);
    const int descripteur = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descripteur >= 0) {
        ::fsync(descripteur);
        ::close(descripteur);
    }
}

// The reason a file of this kind is not read or replaced, 0 for a regular file.
int refus_selon_type(mode_t type) {
    if (S_ISREG(type)) {
        return 0;
    }
    return S_ISDIR(type) ? EISDIR : ERREUR_PAS_UN_FICHIER;
}

// The permissions a file made anew gets: what the system gives new files, less the umask.
mode_t permissions_nouvelles() {
    const mode_t masque = ::umask(0); // the game has one thread: nothing sees it changed
    ::umask(masque);
    return 0666 & ~masque;
}

// Where a write to `chemin` must go: the file a link leads to (through every link on the way,
// even to a file not made yet), or `chemin` itself.
bool cible_du_lien(const std::string& chemin, std::string& cible, int& numero_erreur) {
    cible = chemin;
    for (int liens = 0;; ++liens) {
        struct stat etat {};
        if (::lstat(cible.c_str(), &etat) != 0 || !S_ISLNK(etat.st_mode)) {
            return true;
        }
        if (liens == LIENS_MAX) {
            numero_erreur = ELOOP;
            return false;
        }
        std::string vers(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(cible.c_str(), vers.data(), vers.size());
        if (n < 0) {
            numero_erreur = errno;
            return false;
        }
        vers.resize(static_cast<std::size_t>(n));
        // A relative link leads from the folder that holds it.
        const std::size_t barre = cible.rfind('/');
        cible = vers.starts_with('/') || barre == std::string::npos
                    ? vers
                    : cible.substr(0, barre + 1) + vers;
    }
}

} // namespace

bool lire_fichier(const std::string& chemin, std::string& contenu, int& numero_erreur) {
    // Opened without waiting, so that a pipe cannot hang the game; its kind is then checked on
    // the descriptor itself, which nothing can swap in between.
    const int descripteur = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descripteur < 0) {
        numero_erreur = errno;
        return false;
    }
    struct stat etat {};
    if (::fstat(descripteur, &etat) != 0) {
        numero_erreur = errno;
    } else if (const int refus = refus_selon_type(etat.st_mode); refus != 0) {
        numero_erreur = refus;
    } else if (static_cast<unsigned long long>(etat.st_size) > TAILLE_LECTURE_MAX) {
        numero_erreur = ERREUR_TROP_GRAND;
    } else {
        std::string lu;
        char tampon[65536];
        for (;;) {
            const ssize_t n = ::read(descripteur, tampon, sizeof tampon);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                numero_erreur = errno;
                break;
            }
            if (n == 0) {
                contenu = std::move(lu);
                ::close(descripteur);
                return true;
            }
            // A file that grows while it is read is held to the same limit.
            if (lu.size() + static_cast<std::size_t>(n) > TAILLE_LECTURE_MAX) {
                numero_erreur = ERREUR_TROP_GRAND;
                break;
            }
            lu.append(tampon, static_cast<std::size_t>(n));
        }
    }
    ::close(descripteur);
    return false;
}

bool ajouter_au_fichier(const std::string& chemin, std::string_view ligne, int& numero_erreur) {
    // O_APPEND: each write lands whole at the end of the file as it then stands, whoever else
    // writes there at the same moment.
    const int descripteur =
        ::open(chemin.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (descripteur < 0) {
        numero_erreur = errno;
        return false;
    }
    struct stat etat {};
    ssize_t ecrits = -1;
    if (::fstat(descripteur, &etat) != 0) {
        numero_erreur = errno;
    } else if (const int refus = refus_selon_type(etat.st_mode); refus != 0) {
        numero_erreur = refus;
    } else {
        do {
            ecrits = ::write(descripteur, ligne.data(), ligne.size());
        } while (ecrits < 0 && errno == EINTR);
        numero_erreur = ecrits < 0 ? errno : EIO;
    }
    ::close(descripteur);
    return ecrits >= 0 && static_cast<std::size_t>(ecrits) == ligne.size();
}

bool fichier_existe(const std::string& chemin) {
    struct stat etat {};
    return ::lstat(chemin.c_str(), &etat) == 0;
}

bool ecrire_fichier_atomique(const std::string& lien_ou_fichier, std::string_view contenu,
                             int& numero_erreur) {
    // A file kept elsewhere through a link is written where it lies, and the link stays.
    std::string chemin;
    if (!cible_du_lien(lien_ou_fichier, chemin, numero_erreur)) {
        return false;
    }
    // The file replaced passes its permissions on: a private save stays private, and one its
    // owner made read-only is not replaced at all.
    struct stat ancien {};
    mode_t permissions = 0;
    if (::stat(chemin.c_str(), &ancien) == 0) {
        if (const int refus = refus_selon_type(ancien.st_mode); refus != 0) {
            numero_erreur = refus;
            return false;
        }
        if ((ancien.st_mode & S_IWUSR) == 0 || ::access(chemin.c_str(), W_OK) != 0) {
            numero_erreur = EACCES;
            return false;
        }
        permissions = ancien.st_mode & 07777;
    } else {
        permissions = permissions_nouvelles();
    }
    std::string temporaire = chemin + ".XXXXXX";
    const int descripteur = ::mkostemp(temporaire.data(), O_CLOEXEC);
    if (descripteur < 0) {
        numero_erreur = errno;
        return false;
    }
    ::fchmod(descripteur, permissions);
    bool reussi = tout_ecrire(descripteur, contenu) && ::fsync(descripteur) == 0;
    if (!reussi) {
        numero_erreur = errno;
    }
    if (::close(descripteur) != 0 && reussi) {
        numero_erreur = errno;
        reussi = false;
    }
    if (reussi && ::rename(temporaire.c_str(), chemin.c_str()) != 0) {
        numero_erreur = errno;
        reussi = false;
    }
    if (!reussi) {
        ::unlink(temporaire.c_str());
        return false;
    }
    synchroniser_dossier(chemin);
    return true;
}

VerrouFichier::VerrouFichier(const std::string& chemin_garde) {
    // A file reached through a link is locked beside the file itself, so that every folder
    // linked to it takes turns with the others.
    std::string garde;
    if (!cible_du_lien(chemin_garde, garde, erreur_)) {
        return;
    }
    const std::string chemin = garde + ".lock";
    descripteur_ = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descripteur_ < 0) {
        erreur_ = errno;
        return;
    }
    while (::flock(descripteur_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            erreur_ = errno;
            ::close(descripteur_);
            descripteur_ = -1;
            return;
        }
    }
}

VerrouFichier::~VerrouFichier() {
    if (descripteur_ >= 0) {
        ::flock(descripteur_, LOCK_UN);
        ::close(descripteur_);
    }
}

} // namespace korva
