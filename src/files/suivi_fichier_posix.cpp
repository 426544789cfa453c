#include "files/suivi_fichier.hpp"

#include "files/fichier_sur.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif

namespace korva {

namespace {

// Without inotify the file is looked at this often: often enough for a move to show at once,
// seldom enough to cost nothing.
constexpr int REGARD_SANS_INOTIFY_MS = 50;
constexpr std::size_t TAILLE_MORCEAU = 65536;

// The writer holds the file's lock alone; readers only look, sharing it for an instant, so
// that two of them never take each other for a writer.
bool tenu_par_un_ecrivain(int descripteur) {
    if (::flock(descripteur, LOCK_SH | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK;
    }
    ::flock(descripteur, LOCK_UN);
    return false;
}

} // namespace

SuiviFichier::SuiviFichier(const std::string& chemin, int& numero_erreur) {
#ifdef __linux__
    // Watched before the first read, so that nothing written in between goes unseen.
    signe_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (signe_ >= 0 &&
        ::inotify_add_watch(signe_, chemin.c_str(),
                            IN_MODIFY | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
        ::close(signe_);
        signe_ = -1;
    }
#endif
    descripteur_ = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat etat {};
    numero_erreur = descripteur_ < 0 || ::fstat(descripteur_, &etat) != 0 ? errno
                    : S_ISREG(etat.st_mode)                               ? 0
                    : S_ISDIR(etat.st_mode)                               ? EISDIR
                                                                          : ERREUR_PAS_UN_FICHIER;
    if (numero_erreur != 0 && descripteur_ >= 0) {
        ::close(descripteur_);
        descripteur_ = -1;
    }
}

SuiviFichier::~SuiviFichier() {
    if (descripteur_ >= 0) {
        ::close(descripteur_);
    }
    if (signe_ >= 0) {
        ::close(signe_);
    }
}

void SuiviFichier::lire_suite() {
    // What woke the reader is taken first: whatever was written before it is read below. The
    // writer's file closed is told before its lock goes, so it counts as the writer gone.
    std::array<char, TAILLE_MORCEAU> tampon{};
#ifdef __linux__
    for (ssize_t n; signe_ >= 0 && (n = ::read(signe_, tampon.data(), tampon.size())) > 0;) {
        for (ssize_t i = 0; i < n;) {
            inotify_event e{};
            std::memcpy(&e, tampon.data() + i, sizeof e);
            ferme_ = ferme_ || (e.mask & (IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF)) != 0;
            i += static_cast<ssize_t>(sizeof e + e.len);
        }
    }
#endif
    for (;;) {
        const ssize_t n = ::read(descripteur_, tampon.data(), tampon.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || lus_ + static_cast<std::size_t>(n) > TAILLE_LECTURE_MAX) {
            break;
        }
        lus_ += static_cast<std::size_t>(n);
        reste_.append(tampon.data(), static_cast<std::size_t>(n));
    }
}

bool SuiviFichier::ecrivain_parti() const {
    return descripteur_ < 0 || ferme_ || !tenu_par_un_ecrivain(descripteur_);
}

int SuiviFichier::attente_ms() const {
    return signe_ >= 0 ? -1 : REGARD_SANS_INOTIFY_MS;
}

void marquer_en_ecriture(std::FILE* fichier) {
    while (::flock(::fileno(fichier), LOCK_EX) != 0 && errno == EINTR) {
    }
}

bool ecrit_en_ce_moment(const std::string& chemin) {
    const int descripteur = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descripteur < 0) {
        return false;
    }
    const bool tenu = tenu_par_un_ecrivain(descripteur);
    ::close(descripteur);
    return tenu;
}

} // namespace korva
