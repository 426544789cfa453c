#include "web/terminal_enfant.hpp"

#include <algorithm>
#include <csignal>
#include <set>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::web {

namespace {

// The children not collected yet: only these may be sent a signal, since a collected child's
// number may already be another process's.
std::set<pid_t> vivants;

winsize vers_winsize(Taille t) {
    winsize w{};
    w.ws_row = static_cast<unsigned short>(t.lignes);
    w.ws_col = static_cast<unsigned short>(t.colonnes);
    return w;
}

// The child's side after the fork: the signals as a new program expects them, no descriptor of
// another connection left open, then the program.
[[noreturn]] void executer(const std::vector<std::string>& commande,
                           const std::vector<std::string>& environnement,
                           const std::string& dossier) {
    sigset_t aucun;
    sigemptyset(&aucun);
    ::sigprocmask(SIG_SETMASK, &aucun, nullptr);
    for (const int numero : {SIGPIPE, SIGHUP, SIGINT, SIGTERM, SIGCHLD}) {
        std::signal(numero, SIG_DFL);
    }
    ::close_range(STDERR_FILENO + 1, ~0U, 0);
    std::vector<char*> arguments, variables;
    for (const std::string& a : commande) {
        arguments.push_back(const_cast<char*>(a.c_str()));
    }
    for (const std::string& v : environnement) {
        variables.push_back(const_cast<char*>(v.c_str()));
    }
    arguments.push_back(nullptr);
    variables.push_back(nullptr);
    if (::chdir(dossier.c_str()) == 0) {
        ::execve(arguments[0], arguments.data(), variables.data());
    }
    ::_exit(127);
}

} // namespace

Taille bornee(long lignes, long colonnes) {
    return {static_cast<int>(std::clamp<long>(lignes, TAILLE_MIN, LIGNES_MAX)),
            static_cast<int>(std::clamp<long>(colonnes, TAILLE_MIN, COLONNES_MAX))};
}

std::optional<Enfant> lancer_sur_terminal(const std::vector<std::string>& commande,
                                          const std::vector<std::string>& environnement,
                                          const std::string& dossier, Taille taille) {
    winsize w = vers_winsize(taille);
    int maitre = -1;
    const pid_t pid = ::forkpty(&maitre, nullptr, nullptr, &w);
    if (pid < 0) {
        return std::nullopt;
    }
    if (pid == 0) {
        executer(commande, environnement, dossier);
    }
    vivants.insert(pid);
    ::fcntl(maitre, F_SETFD, FD_CLOEXEC);
    ::fcntl(maitre, F_SETFL, ::fcntl(maitre, F_GETFL) | O_NONBLOCK);
    return Enfant{pid, maitre};
}

void redimensionner(int maitre, Taille taille) {
    const winsize w = vers_winsize(taille);
    ::ioctl(maitre, TIOCSWINSZ, &w);
}

void raccrocher(const Enfant& enfant) {
    if (vivants.count(enfant.pid) != 0) {
        ::kill(enfant.pid, SIGHUP);
    }
}

void recolter() {
    int statut = 0;
    for (pid_t pid; (pid = ::waitpid(-1, &statut, WNOHANG)) > 0;) {
        vivants.erase(pid);
    }
}

} // namespace korva::web
