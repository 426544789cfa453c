#include "files/suivi_fichier.hpp"

#include "files/fichier_sur.hpp"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace korva {

namespace {

// Windows has no descriptor to wait on for a file that grows: it is looked at this often.
constexpr int REGARD_MS = 50;
constexpr std::size_t TAILLE_MORCEAU = 65536;

} // namespace

SuiviFichier::SuiviFichier(const std::string& chemin, int& numero_erreur) {
    descripteur_ = ::_open(chemin.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    struct _stat etat {};
    numero_erreur = descripteur_ < 0 || ::_fstat(descripteur_, &etat) != 0 ? errno
                    : (etat.st_mode & _S_IFREG) != 0                       ? 0
                    : (etat.st_mode & _S_IFDIR) != 0                       ? EISDIR
                                                                           : ERREUR_PAS_UN_FICHIER;
    if (numero_erreur != 0 && descripteur_ >= 0) {
        ::_close(descripteur_);
        descripteur_ = -1;
    }
}

SuiviFichier::~SuiviFichier() {
    if (descripteur_ >= 0) {
        ::_close(descripteur_);
    }
}

void SuiviFichier::lire_suite() {
    std::array<char, TAILLE_MORCEAU> tampon{};
    for (;;) {
        const int n = ::_read(descripteur_, tampon.data(), static_cast<unsigned>(tampon.size()));
        if (n <= 0 || lus_ + static_cast<std::size_t>(n) > TAILLE_LECTURE_MAX) {
            break;
        }
        lus_ += static_cast<std::size_t>(n);
        reste_.append(tampon.data(), static_cast<std::size_t>(n));
    }
}

// The game's server runs on POSIX systems; here a replay follows a game until its recording
// says it ended, or the watcher leaves.
bool SuiviFichier::ecrivain_parti() const {
    return descripteur_ < 0;
}

int SuiviFichier::attente_ms() const {
    return REGARD_MS;
}

void marquer_en_ecriture(std::FILE*) {}

bool ecrit_en_ce_moment(const std::string&) {
    return false;
}

} // namespace korva
