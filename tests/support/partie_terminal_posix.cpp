#include "support/partie_terminal.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

namespace korva::test {

namespace {

using Horloge = std::chrono::steady_clock;

// The modes that matter for the player, as comparable bytes.
std::string modes_de(int fd) {
    termios modes{};
    if (::tcgetattr(fd, &modes) != 0) {
        return "unreadable: " + std::string(std::strerror(errno));
    }
    std::string octets;
    auto ajouter = [&octets](const void* p, std::size_t n) {
        octets.append(static_cast<const char*>(p), n);
    };
    ajouter(&modes.c_iflag, sizeof modes.c_iflag);
    ajouter(&modes.c_oflag, sizeof modes.c_oflag);
    ajouter(&modes.c_cflag, sizeof modes.c_cflag);
    ajouter(&modes.c_lflag, sizeof modes.c_lflag);
    ajouter(modes.c_cc, sizeof modes.c_cc);
    return octets;
}

int millisecondes_restantes(Horloge::time_point fin) {
    const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(fin - Horloge::now());
    return reste.count() > 0 ? static_cast<int>(reste.count()) : 0;
}

} // namespace

PartieTerminal::PartieTerminal(const std::filesystem::path& dossier, int lignes, int colonnes) {
    demarrer(lignes, colonnes, [&dossier] {
        if (::chdir(dossier.c_str()) != 0) {
            ::_exit(126);
        }
        ::execl(KORVA_BINAIRE, "korva", static_cast<char*>(nullptr));
        ::_exit(127);
    });
}

PartieTerminal::PartieTerminal(const std::function<void()>& enfant, int lignes, int colonnes) {
    demarrer(lignes, colonnes, [&enfant] {
        enfant();
        ::_exit(0);
    });
}

void PartieTerminal::demarrer(int lignes, int colonnes, const std::function<void()>& enfant) {
    std::string modele = (std::filesystem::temp_directory_path() / "korva-erreurs-XXXXXX").string();
    const int fd_erreurs = ::mkstemp(modele.data());
    if (fd_erreurs < 0) {
        throw std::runtime_error("no file for the error stream");
    }
    ::close(fd_erreurs);
    fichier_erreurs_ = modele;

    winsize taille{};
    taille.ws_row = static_cast<unsigned short>(lignes);
    taille.ws_col = static_cast<unsigned short>(colonnes);
    if (::openpty(&maitre_, &esclave_, nullptr, nullptr, &taille) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    ::fcntl(maitre_, F_SETFD, FD_CLOEXEC);
    ::fcntl(esclave_, F_SETFD, FD_CLOEXEC);
    // Read before the game can change them.
    modes_depart_ = modes_de(esclave_);

    std::fflush(nullptr); // nothing buffered here may come out twice
    pid_ = ::fork();
    if (pid_ < 0) {
        throw std::runtime_error("no process for the game");
    }
    if (pid_ == 0) {
        sigset_t aucun;
        sigemptyset(&aucun);
        ::sigprocmask(SIG_SETMASK, &aucun, nullptr);
        ::close(maitre_);
        if (::login_tty(::dup(esclave_)) != 0) {
            ::_exit(126);
        }
        const int erreurs = ::open(fichier_erreurs_.c_str(), O_WRONLY | O_TRUNC);
        if (erreurs < 0 || ::dup2(erreurs, STDERR_FILENO) < 0) {
            ::_exit(126);
        }
        ::close(erreurs);
        ::setenv("TERM", "xterm-256color", 1);
        enfant();
        ::_exit(127);
    }
}

PartieTerminal::~PartieTerminal() {
    if (statut_ < 0 && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(maitre_);
    ::close(esclave_);
    std::error_code ignore;
    std::filesystem::remove(fichier_erreurs_, ignore);
}

void PartieTerminal::envoyer(std::string_view octets) {
    while (!octets.empty()) {
        const ssize_t ecrits = ::write(maitre_, octets.data(), octets.size());
        if (ecrits < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        octets.remove_prefix(static_cast<std::size_t>(ecrits));
    }
}

void PartieTerminal::lire_disponible(std::chrono::milliseconds delai) {
    pollfd attente{maitre_, POLLIN, 0};
    int duree = static_cast<int>(delai.count());
    for (;;) {
        const int pret = ::poll(&attente, 1, duree);
        if (pret <= 0 || (attente.revents & POLLIN) == 0) {
            return;
        }
        std::array<char, 4096> tampon{};
        const ssize_t lus = ::read(maitre_, tampon.data(), tampon.size());
        if (lus <= 0) {
            return;
        }
        sortie_.append(tampon.data(), static_cast<std::size_t>(lus));
        duree = 0; // then take whatever else is already there
    }
}

bool PartieTerminal::attendre(std::string_view texte, std::chrono::milliseconds delai) {
    const auto fin = Horloge::now() + delai;
    for (;;) {
        const std::size_t trouve = sortie_.find(texte, curseur_);
        if (trouve != std::string::npos) {
            curseur_ = trouve + texte.size();
            return true;
        }
        const int reste = millisecondes_restantes(fin);
        if (reste == 0) {
            return false;
        }
        lire_disponible(std::chrono::milliseconds(std::min(reste, 100)));
    }
}

const std::string& PartieTerminal::sortie() {
    lire_disponible(std::chrono::milliseconds(0));
    return sortie_;
}

std::string PartieTerminal::erreurs() const {
    std::ifstream fichier(fichier_erreurs_, std::ios::binary);
    std::ostringstream contenu;
    contenu << fichier.rdbuf();
    return contenu.str();
}

int PartieTerminal::attendre_fin(std::chrono::milliseconds delai) {
    const auto fin = Horloge::now() + delai;
    while (statut_ < 0) {
        int etat = 0;
        const pid_t fini = ::waitpid(pid_, &etat, WNOHANG);
        if (fini == pid_) {
            statut_ = WIFSIGNALED(etat) ? 128 + WTERMSIG(etat) : WEXITSTATUS(etat);
            break;
        }
        const int reste = millisecondes_restantes(fin);
        if (reste == 0) {
            return -1;
        }
        // The game must never block on a full terminal while we wait.
        lire_disponible(std::chrono::milliseconds(std::min(reste, 20)));
    }
    lire_disponible(std::chrono::milliseconds(0));
    return statut_;
}

void PartieTerminal::fermer_entree() {
    ::kill(pid_, SIGHUP);
}

bool PartieTerminal::attendre_mode(bool ligne, std::chrono::milliseconds delai) {
    const auto fin = Horloge::now() + delai;
    for (;;) {
        termios modes{};
        if (::tcgetattr(esclave_, &modes) == 0) {
            const bool canonique = (modes.c_lflag & ICANON) != 0 && (modes.c_lflag & ECHO) != 0;
            const bool touches = (modes.c_lflag & (ICANON | ECHO)) == 0;
            if (ligne ? canonique : touches) {
                return true;
            }
        }
        const int reste = millisecondes_restantes(fin);
        if (reste == 0) {
            return false;
        }
        lire_disponible(std::chrono::milliseconds(std::min(reste, 10)));
    }
}

void PartieTerminal::fermer_terminal() {
    lire_disponible(std::chrono::milliseconds(0));
    ::close(maitre_);
    maitre_ = -1;
    ::close(esclave_);
    esclave_ = -1;
}

bool PartieTerminal::modes_restaures() const {
    return modes_de(esclave_) == modes_depart_;
}

} // namespace korva::test
