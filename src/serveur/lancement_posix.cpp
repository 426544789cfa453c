#include "serveur/lancement.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::serveur {

namespace fs = std::filesystem;

namespace {

// The last time the player typed (the terminal was read: the system notes it, to within a few
// seconds) or the game wrote in `dossier`, or `depuis` when later.
std::time_t derniere_activite(const std::string& dossier, std::time_t depuis) {
    struct stat terminal {};
    if (::fstat(STDIN_FILENO, &terminal) == 0) {
        depuis = std::max(depuis, terminal.st_atime);
    }
    std::error_code erreur;
    const auto vers_time = [](fs::file_time_type t) {
        return std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(t));
    };
    std::time_t derniere = depuis;
    for (fs::directory_iterator i(dossier, erreur), fin; !erreur && i != fin; i.increment(erreur)) {
        const fs::file_time_type t = i->last_write_time(erreur);
        if (!erreur) {
            derniere = std::max(derniere, vers_time(t));
        }
    }
    return derniere;
}

int attendre_fin(pid_t pid) {
    int statut = 0;
    while (::waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    return statut;
}

} // namespace

bool attendre_entree(int delai_ms) {
    const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(delai_ms);
    for (;;) {
        const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(
            fin - std::chrono::steady_clock::now());
        pollfd entree{STDIN_FILENO, POLLIN, 0};
        const int pret =
            ::poll(&entree, 1,
                   delai_ms < 0 ? -1 : static_cast<int>(std::max<long long>(0, reste.count())));
        if (pret < 0 && errno == EINTR) {
            continue;
        }
        char octet = 0;
        if (pret <= 0 || ::read(STDIN_FILENO, &octet, 1) != 1) {
            return false;
        }
        if (octet == '\n' || octet == '\r') {
            return true;
        }
    }
}

void ignorer_touches_de_signal() {
    for (const int numero : {SIGINT, SIGQUIT, SIGTSTP}) {
        std::signal(numero, SIG_IGN);
    }
}

Fin lancer(const std::vector<std::string>& commande, const std::string& dossier, int inactivite_s,
           const std::string& activite) {
    sigset_t attendus;
    sigemptyset(&attendus);
    for (const int numero : {SIGCHLD, SIGHUP, SIGTERM}) {
        sigaddset(&attendus, numero);
    }
    sigset_t avant;
    ::sigprocmask(SIG_BLOCK, &attendus, &avant);
    const std::time_t debut = std::time(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGINT, SIG_DFL);
        ::sigprocmask(SIG_SETMASK, &avant, nullptr);
        ::dup2(STDOUT_FILENO, STDERR_FILENO); // the game's reports on its own screen
        std::vector<char*> arguments;
        for (const std::string& a : commande) {
            arguments.push_back(const_cast<char*>(a.c_str()));
        }
        arguments.push_back(nullptr);
        if (::chdir(dossier.c_str()) == 0) {
            ::execv(arguments[0], arguments.data());
        }
        ::_exit(127);
    }
    Fin fin = Fin::normale;
    while (pid > 0) {
        timespec reste{1L << 30, 0};
        if (inactivite_s > 0) {
            const std::time_t echeance = derniere_activite(activite, debut) + inactivite_s;
            reste.tv_sec = std::max<std::time_t>(0, echeance - std::time(nullptr));
            if (reste.tv_sec == 0) {
                // Told apart from a lost connection, so that the game logs why it ended.
                fin = Fin::inactive;
                ::kill(pid, SIGUSR1);
                attendre_fin(pid);
                break;
            }
        }
        const int numero = ::sigtimedwait(&attendus, nullptr, &reste);
        if (numero == SIGHUP || numero == SIGTERM) {
            fin = Fin::connexion_perdue;
            ::kill(pid, SIGHUP);
            attendre_fin(pid);
            break;
        }
        int statut = 0;
        if (numero == SIGCHLD && ::waitpid(pid, &statut, WNOHANG) == pid) {
            // Ctrl-C ends a watch or a replay as the player asked: nothing failed.
            const bool voulue = (WIFEXITED(statut) && WEXITSTATUS(statut) == 0) ||
                                (WIFSIGNALED(statut) && WTERMSIG(statut) == SIGINT);
            fin = voulue ? Fin::normale : Fin::echec;
            break;
        }
    }
    ::sigprocmask(SIG_SETMASK, &avant, nullptr);
    return fin;
}

} // namespace korva::serveur
