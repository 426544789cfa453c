// What the signal handlers need to put the terminal back whatever ends the game, to take it
// again after Ctrl-Z and `fg`, and to keep a game in progress from Ctrl-C and a lost terminal.
// A handler reaches nothing but statics, so this state is prepared beforehand, with those
// signals blocked.
#pragma once

#include <array>
#include <csignal>
#include <cstddef>

#include <termios.h>

namespace korva::remise {

// Every signal whose default action ends the process; the game's output going to a closed pipe
// (SIGPIPE) must not leave the keyboard in single-key mode either.
inline constexpr std::array SIGNAUX_FATALS = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGPIPE, SIGALRM,
                                              SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGSEGV, SIGBUS,
                                              SIGFPE,  SIGILL,  SIGSYS,  SIGABRT};
// The signal by which a server hangs up a game left idle too long: to the game, a lost terminal
// like any other, but for the word the games log gives it.
inline constexpr int SIGNAL_INACTIVITE = SIGUSR1;
// And the stop and continue signals of job control.
inline constexpr int NOMBRE_SIGNAUX = static_cast<int>(SIGNAUX_FATALS.size()) + 2;

// All a handler reads or writes.
struct Remise {
    volatile sig_atomic_t active = 0;   // the game holds the terminal
    volatile sig_atomic_t terminal = 0; // standard input is a terminal: the modes below count
    volatile sig_atomic_t suspendu = 0; // stopped by Ctrl-Z with the changes undone
    termios origine{};
    termios courant{};
    std::array<char, 512> defaire{}; // undoes the changes, the last one first
    std::size_t longueur_defaire = 0;
    std::array<char, 512> refaire{}; // makes them again after a stop
    std::size_t longueur_refaire = 0;
    // The screen may no longer show what the game drew (resized, or written on while stopped).
    volatile sig_atomic_t repeindre = 0;
    // A game in progress is kept: Ctrl-C is counted, a lost terminal noted with the status
    // its signal gives, and both wake the wait under way.
    volatile sig_atomic_t gardee = 0;
    volatile sig_atomic_t ctrl_c = 0;
    volatile sig_atomic_t perdu = 0;
    volatile sig_atomic_t statut_perdu = 0;
    // Wakes up a wait for a key when it is so: a byte is written into this pipe.
    std::array<int, 2> reveil{-1, -1};
    struct sigaction ancienne_taille {};
    bool taille_installee = false;
    std::array<int, NOMBRE_SIGNAUX> numeros{};
    std::array<struct sigaction, NOMBRE_SIGNAUX> anciennes{};
    std::array<bool, NOMBRE_SIGNAUX> installes{};
};

extern Remise etat;

// Writes the undoing sequences and puts back the terminal's modes; async-signal-safe.
void defaire_changements();

void installer_gestionnaires();
void retirer_gestionnaires();

sigset_t signaux_geres();

// Every byte reaches the descriptor unless it has gone away; async-signal-safe.
void ecrire_tout(int fd, const char* octets, std::size_t taille);

// Keeps the handlers away while what they read changes.
class SignauxBloques {
public:
    SignauxBloques() {
        const sigset_t ensemble = signaux_geres();
        ::sigprocmask(SIG_BLOCK, &ensemble, &avant_);
    }
    ~SignauxBloques() { ::sigprocmask(SIG_SETMASK, &avant_, nullptr); }
    SignauxBloques(const SignauxBloques&) = delete;
    SignauxBloques& operator=(const SignauxBloques&) = delete;

private:
    sigset_t avant_{};
};

} // namespace korva::remise
