#include "files/fichier_sur.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {

namespace {

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

} // namespace

bool ecrire_fichier_atomique(const std::string& chemin, std::string_view contenu,
                             int& numero_erreur) {
    std::string temporaire = chemin + ".XXXXXX";
    const int descripteur = ::mkostemp(temporaire.data(), O_CLOEXEC);
    if (descripteur < 0) {
        numero_erreur = errno;
        return false;
    }
    ::fchmod(descripteur, 0644);
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
    const std::string chemin = chemin_garde + ".lock";
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
