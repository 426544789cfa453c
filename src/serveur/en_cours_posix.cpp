#include "serveur/en_cours.hpp"

#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva::serveur {

namespace fs = std::filesystem;

namespace {

constexpr const char* DOSSIER_EN_COURS = "en-cours";

std::string dossier(const Configuration& c) {
    return c.donnees + "/" + DOSSIER_EN_COURS;
}

// A lock of the open file's own on its first byte; readers only ask whether it is held, so that
// looking never keeps a game from starting.
flock premier_octet() {
    flock verrou{};
    verrou.l_type = F_WRLCK;
    verrou.l_whence = SEEK_SET;
    verrou.l_len = 1;
    return verrou;
}

} // namespace

std::optional<PartieTenue> PartieTenue::prendre(const Configuration& c, const std::string& compte) {
    std::error_code erreur;
    fs::create_directories(dossier(c), erreur);
    const std::string chemin = dossier(c) + "/" + compte;
    // The file goes when its game ends: one taken from a file another holder has just removed
    // would stand for nothing, so the name must still lead to the file locked.
    for (;;) {
        const int d = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (d < 0) {
            return std::nullopt;
        }
        flock verrou = premier_octet();
        if (::fcntl(d, F_OFD_SETLK, &verrou) != 0) {
            ::close(d);
            return std::nullopt;
        }
        struct stat tenu {
        }, nomme{};
        if (::fstat(d, &tenu) == 0 && ::lstat(chemin.c_str(), &nomme) == 0 &&
            tenu.st_ino == nomme.st_ino && tenu.st_dev == nomme.st_dev) {
            return PartieTenue(chemin, d);
        }
        ::close(d);
    }
}

PartieTenue::PartieTenue(PartieTenue&& autre) noexcept
    : chemin_(std::move(autre.chemin_)), descripteur_(std::exchange(autre.descripteur_, -1)) {}

PartieTenue::~PartieTenue() {
    if (descripteur_ >= 0) {
        ::unlink(chemin_.c_str());
        ::close(descripteur_);
    }
}

std::vector<std::string> comptes_en_jeu(const Configuration& c) {
    std::vector<std::string> comptes;
    std::error_code erreur;
    for (fs::directory_iterator i(dossier(c), erreur), fin; !erreur && i != fin;
         i.increment(erreur)) {
        const int d = ::open(i->path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (d < 0) {
            continue;
        }
        // Held: a game goes on. Free: its lobby ended without taking it away.
        flock verrou = premier_octet();
        if (::fcntl(d, F_OFD_GETLK, &verrou) == 0 && verrou.l_type != F_UNLCK) {
            comptes.push_back(i->path().filename().string());
        }
        ::close(d);
    }
    return comptes;
}

} // namespace korva::serveur
