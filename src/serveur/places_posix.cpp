#include "serveur/places.hpp"

#include <cerrno>
#include <random>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace korva::serveur {

namespace {

// Locks of the open file (not of the process): two places of one process exclude each other,
// and closing one descriptor lets go of its own place only.
flock octet(int rang, short sorte) {
    flock verrou{};
    verrou.l_type = sorte;
    verrou.l_whence = SEEK_SET;
    verrou.l_start = rang;
    verrou.l_len = 1;
    return verrou;
}

int ouvrir(const std::string& fichier) {
    int d;
    do {
        d = ::open(fichier.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (d < 0 && errno == EINTR);
    return d;
}

} // namespace

Place::Place(Place&& autre) noexcept : descripteur_(std::exchange(autre.descripteur_, -1)) {}

Place& Place::operator=(Place&& autre) noexcept {
    if (this != &autre) {
        if (descripteur_ >= 0) {
            ::close(descripteur_);
        }
        descripteur_ = std::exchange(autre.descripteur_, -1);
    }
    return *this;
}

Place::~Place() {
    if (descripteur_ >= 0) {
        ::close(descripteur_);
    }
}

std::optional<Place> prendre_place(const std::string& fichier, int nombre) {
    const int d = ouvrir(fichier);
    if (d < 0) {
        return std::nullopt;
    }
    for (int rang = 0; rang < nombre; ++rang) {
        flock verrou = octet(rang, F_WRLCK);
        if (::fcntl(d, F_OFD_SETLK, &verrou) == 0) {
            return Place(d);
        }
    }
    ::close(d);
    return std::nullopt;
}

Place attendre_place(const std::string& fichier, int nombre) {
    if (std::optional<Place> place = prendre_place(fichier, nombre)) {
        return std::move(*place);
    }
    const int d = ouvrir(fichier);
    if (d < 0 || nombre < 1) {
        if (d >= 0) {
            ::close(d);
        }
        return Place();
    }
    // Every waiter queues on a place drawn at random, so that no place gathers them all.
    static thread_local std::minstd_rand tirage(static_cast<unsigned>(::getpid()));
    flock verrou = octet(static_cast<int>(tirage() % static_cast<unsigned>(nombre)), F_WRLCK);
    while (::fcntl(d, F_OFD_SETLKW, &verrou) != 0) {
        if (errno != EINTR) {
            ::close(d);
            return Place();
        }
    }
    return Place(d);
}

int places_tenues(const std::string& fichier, int nombre) {
    const int d = ouvrir(fichier);
    if (d < 0) {
        return 0;
    }
    int tenues = 0;
    for (int rang = 0; rang < nombre; ++rang) {
        flock verrou = octet(rang, F_WRLCK);
        tenues += ::fcntl(d, F_OFD_GETLK, &verrou) == 0 && verrou.l_type != F_UNLCK ? 1 : 0;
    }
    ::close(d);
    return tenues;
}

} // namespace korva::serveur
