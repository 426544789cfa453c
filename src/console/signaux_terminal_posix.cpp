#include "console/signaux_terminal_posix.hpp"

#include <cerrno>

#include <unistd.h>

namespace korva::remise {

Remise etat;

namespace {

constexpr int ENTREE = STDIN_FILENO;
constexpr int ECRAN = STDOUT_FILENO;

// Everything below, down to the handlers, is async-signal-safe.
void refaire_changements() {
    if (etat.active == 0) {
        return;
    }
    if (etat.terminal != 0) {
        ::tcsetattr(ENTREE, TCSANOW, &etat.courant);
    }
    ecrire_tout(ECRAN, etat.refaire.data(), etat.longueur_refaire);
}

int rang_signal(int numero) {
    for (int i = 0; i < NOMBRE_SIGNAUX; ++i) {
        if (etat.numeros[static_cast<std::size_t>(i)] == numero) {
            return i;
        }
    }
    return -1;
}

void debloquer(int numero) {
    sigset_t un;
    sigemptyset(&un);
    sigaddset(&un, numero);
    ::sigprocmask(SIG_UNBLOCK, &un, nullptr);
}

void reveiller() {
    if (etat.reveil[1] >= 0) {
        const char octet = 0;
        if (::write(etat.reveil[1], &octet, 1) < 0) {
            // A full pipe already holds the news.
        }
    }
}

void demander_repeinte() {
    etat.repeindre = 1;
    reveiller();
}

// While a game is kept: Ctrl-C and a lost terminal are only noted, for the game's own path to
// take; once the terminal is lost, nothing cuts the save short. True when so.
bool noter_pour_la_partie(int numero) {
    if (etat.active == 0 || (etat.gardee == 0 && etat.perdu == 0)) {
        return false;
    }
    if (numero == SIGHUP || numero == SIGTERM || numero == SIGPIPE || numero == SIGNAL_INACTIVITE) {
        if (etat.perdu == 0) {
            etat.statut_perdu = 128 + numero;
            etat.perdu = 1;
        }
    } else if (numero == SIGINT) {
        etat.ctrl_c = etat.perdu == 0 ? etat.ctrl_c + 1 : 0;
    } else {
        return false;
    }
    reveiller();
    return true;
}

bool au_premier_plan() {
    return etat.terminal == 0 || ::tcgetpgrp(ENTREE) == ::getpgrp();
}

// Once continued, and only in the foreground: continued in the background, the game stops
// again at its next read, and takes the terminal back when brought to the foreground.
void reprendre() {
    if (etat.suspendu != 0 && au_premier_plan()) {
        etat.suspendu = 0;
        refaire_changements();
        demander_repeinte();
    }
}

// Stops with the terminal as the shell wants it.
void suspendre() {
    defaire_changements();
    etat.suspendu = 1;
    struct sigaction defaut {};
    defaut.sa_handler = SIG_DFL;
    sigemptyset(&defaut.sa_mask);
    struct sigaction la_notre {};
    ::sigaction(SIGTSTP, &defaut, &la_notre);
    ::raise(SIGTSTP);
    debloquer(SIGTSTP); // the process stops here until continued
    ::sigaction(SIGTSTP, &la_notre, nullptr);
    // A process group with no shell to continue it is not stopped: go on at once. Otherwise
    // the continue signal waits, blocked, and its handler takes the terminal back.
    sigset_t en_attente;
    ::sigpending(&en_attente);
    if (sigismember(&en_attente, SIGCONT) == 0) {
        reprendre();
    }
}

extern "C" void sur_redimensionnement(int) {
    const int errno_sauve = errno;
    demander_repeinte();
    errno = errno_sauve;
}

extern "C" void sur_signal(int numero, siginfo_t* info, void*) {
    const int errno_sauve = errno;
    if (numero == SIGTSTP || numero == SIGCONT) {
        if (numero == SIGTSTP) {
            suspendre();
        } else {
            reprendre();
        }
        errno = errno_sauve;
        return;
    }
    if (noter_pour_la_partie(numero)) {
        errno = errno_sauve;
        return;
    }
    defaire_changements();
    etat.active = 0;
    const int rang = rang_signal(numero);
    if (rang >= 0) {
        ::sigaction(numero, &etat.anciennes[static_cast<std::size_t>(rang)], nullptr);
    }
    const bool faute = (numero == SIGSEGV || numero == SIGBUS || numero == SIGFPE ||
                        numero == SIGILL || numero == SIGSYS) &&
                       info != nullptr && info->si_code > 0;
    if (faute) {
        return; // the faulting instruction runs again, under the handling it had before
    }
    ::raise(numero);
    debloquer(numero);
    ::_exit(128 + numero);
}

// While a handler runs: the others wait, and a shell that has already taken the terminal back
// does not stop the game for changing the terminal's modes (SIGTTOU).
sigset_t masque_gestionnaires() {
    sigset_t ensemble = signaux_geres();
    sigaddset(&ensemble, SIGTTOU);
    return ensemble;
}

} // namespace

// Async-signal-safe, as the handlers call it.
void defaire_changements() {
    if (etat.active == 0) {
        return;
    }
    ecrire_tout(ECRAN, etat.defaire.data(), etat.longueur_defaire);
    if (etat.terminal != 0) {
        ::tcsetattr(ENTREE, TCSANOW, &etat.origine);
    }
}

sigset_t signaux_geres() {
    sigset_t ensemble;
    sigemptyset(&ensemble);
    for (const int numero : SIGNAUX_FATALS) {
        sigaddset(&ensemble, numero);
    }
    sigaddset(&ensemble, SIGTSTP);
    sigaddset(&ensemble, SIGCONT);
    return ensemble;
}

void installer_gestionnaires() {
    std::size_t rang = 0;
    auto installer = [&rang](int numero) {
        etat.numeros[rang] = numero;
        struct sigaction ancienne {};
        ::sigaction(numero, nullptr, &ancienne);
        etat.anciennes[rang] = ancienne;
        // A signal ignored when the game starts (as under nohup) stays ignored; ignoring the
        // continue signal does not keep a process stopped, so it is always heard.
        const bool ignore = numero != SIGCONT && (ancienne.sa_flags & SA_SIGINFO) == 0 &&
                            ancienne.sa_handler == SIG_IGN;
        if (!ignore) {
            struct sigaction nouvelle {};
            nouvelle.sa_sigaction = sur_signal;
            nouvelle.sa_mask = masque_gestionnaires();
            // A read stopped in the background (SIGTTIN) is not taken up again when continued:
            // it would wait for a key before the screen is drawn again after `fg`.
            nouvelle.sa_flags = SA_SIGINFO | (numero == SIGCONT ? 0 : SA_RESTART);
            ::sigaction(numero, &nouvelle, nullptr);
        }
        etat.installes[rang] = !ignore;
        ++rang;
    };
    for (const int numero : SIGNAUX_FATALS) {
        installer(numero);
    }
    installer(SIGTSTP);
    installer(SIGCONT);
    struct sigaction taille {};
    taille.sa_handler = sur_redimensionnement;
    sigemptyset(&taille.sa_mask);
    taille.sa_flags = SA_RESTART;
    etat.taille_installee = ::sigaction(SIGWINCH, &taille, &etat.ancienne_taille) == 0;
}

void retirer_gestionnaires() {
    for (std::size_t i = 0; i < etat.numeros.size(); ++i) {
        if (etat.installes[i]) {
            ::sigaction(etat.numeros[i], &etat.anciennes[i], nullptr);
            etat.installes[i] = false;
        }
    }
    if (etat.taille_installee) {
        ::sigaction(SIGWINCH, &etat.ancienne_taille, nullptr);
        etat.taille_installee = false;
    }
}

void ecrire_tout(int fd, const char* octets, std::size_t taille) {
    while (taille > 0) {
        const ssize_t ecrits = ::write(fd, octets, taille);
        if (ecrits < 0) {
            if (errno == EINTR) {
                continue;
            }
            return; // a terminal gone away: nothing more can be shown
        }
        octets += ecrits;
        taille -= static_cast<std::size_t>(ecrits);
    }
}

} // namespace korva::remise
