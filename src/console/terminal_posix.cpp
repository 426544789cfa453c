#include "console/decodeur_touches.hpp"
#include "console/terminal.hpp"
#include "console/traduction_terminal.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace korva {

namespace {

constexpr int ENTREE = STDIN_FILENO;
constexpr int ECRAN = STDOUT_FILENO;
constexpr int ERREURS = STDERR_FILENO;

// The rest of an escape sequence follows its first byte within this; a lone Escape does not.
constexpr int ATTENTE_SEQUENCE_MS = 50;
constexpr int SANS_FIN = -1;
// A terminal that honours the resize request does so within this (checked in small steps).
constexpr int ESSAIS_TAILLE = 10;
constexpr long PAS_TAILLE_NS = 20'000'000;
constexpr std::size_t TAILLE_LECTURE = 256;

constexpr std::string_view INVITE_PAUSE = "Press any key to continue . . . ";
constexpr std::string_view EFFACER = "\x1b[H\x1b[2J";
constexpr std::string_view EMPILER_TITRE = "\x1b[22;0t";
constexpr std::string_view DEPILER_TITRE = "\x1b[23;0t";
constexpr std::string_view COULEURS_ORIGINE = "\x1b[0m";
constexpr std::string_view CURSEUR_VISIBLE = "\x1b[?25h";

// Every signal whose default action ends the process; the game's output going to a closed pipe
// (SIGPIPE) must not leave the keyboard in single-key mode either.
constexpr std::array SIGNAUX_FATALS = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGPIPE, SIGALRM,
                                       SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGSEGV, SIGBUS,
                                       SIGFPE,  SIGILL,  SIGSYS,  SIGABRT};
// And the stop and continue signals of job control.
constexpr int NOMBRE_SIGNAUX = static_cast<int>(SIGNAUX_FATALS.size()) + 2;

// A signal handler reaches nothing but statics: this is all it needs to put the terminal back
// and to take it again after a stop, prepared by the console while those signals are blocked.
struct Remise {
    volatile sig_atomic_t active = 0;   // the console holds the terminal
    volatile sig_atomic_t terminal = 0; // standard input is a terminal: the modes below count
    volatile sig_atomic_t suspendu = 0; // stopped by Ctrl-Z with the changes undone
    termios origine{};
    termios courant{};
    std::array<char, 128> defaire{}; // undoes the changes, the last one first
    std::size_t longueur_defaire = 0;
    std::array<char, 256> refaire{}; // makes them again after a stop, colour aside
    std::size_t longueur_refaire = 0;
    volatile sig_atomic_t couleur_changee = 0;
    volatile sig_atomic_t attribut = 0;
    std::array<int, NOMBRE_SIGNAUX> numeros{};
    std::array<struct sigaction, NOMBRE_SIGNAUX> anciennes{};
    std::array<bool, NOMBRE_SIGNAUX> installes{};
};

Remise remise;

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

void ajouter_nombre(char* tampon, std::size_t& n, int valeur) {
    char chiffres[4];
    int k = 0;
    do {
        chiffres[k++] = static_cast<char>('0' + valeur % 10);
        valeur /= 10;
    } while (valeur > 0 && k < 4);
    while (k > 0) {
        tampon[n++] = chiffres[--k];
    }
}

// Everything below, down to the handler, is async-signal-safe.
void defaire_changements() {
    if (remise.active == 0) {
        return;
    }
    ecrire_tout(ECRAN, remise.defaire.data(), remise.longueur_defaire);
    if (remise.terminal != 0) {
        ::tcsetattr(ENTREE, TCSANOW, &remise.origine);
    }
}

void refaire_changements() {
    if (remise.active == 0) {
        return;
    }
    if (remise.terminal != 0) {
        ::tcsetattr(ENTREE, TCSANOW, &remise.courant);
    }
    ecrire_tout(ECRAN, remise.refaire.data(), remise.longueur_refaire);
    if (remise.couleur_changee != 0) {
        char sgr[16];
        std::size_t n = 0;
        sgr[n++] = '\x1b';
        sgr[n++] = '[';
        ajouter_nombre(sgr, n, code_ansi_texte(remise.attribut));
        sgr[n++] = ';';
        ajouter_nombre(sgr, n, code_ansi_fond(remise.attribut));
        sgr[n++] = 'm';
        ecrire_tout(ECRAN, sgr, n);
    }
}

int rang_signal(int numero) {
    for (int i = 0; i < NOMBRE_SIGNAUX; ++i) {
        if (remise.numeros[static_cast<std::size_t>(i)] == numero) {
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

bool au_premier_plan() {
    return remise.terminal == 0 || ::tcgetpgrp(ENTREE) == ::getpgrp();
}

// Once continued, and only in the foreground: continued in the background, the game stops
// again at its next read, and takes the terminal back when brought to the foreground.
void reprendre() {
    if (remise.suspendu != 0 && au_premier_plan()) {
        remise.suspendu = 0;
        refaire_changements();
    }
}

// Stops with the terminal as the shell wants it.
void suspendre() {
    defaire_changements();
    remise.suspendu = 1;
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
    defaire_changements();
    remise.active = 0;
    const int rang = rang_signal(numero);
    if (rang >= 0) {
        ::sigaction(numero, &remise.anciennes[static_cast<std::size_t>(rang)], nullptr);
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

// While a handler runs: the others wait, and a shell that has already taken the terminal back
// does not stop the game for changing the terminal's modes (SIGTTOU).
sigset_t masque_gestionnaires() {
    sigset_t ensemble = signaux_geres();
    sigaddset(&ensemble, SIGTTOU);
    return ensemble;
}

// Keeps the handlers away while the prepared strings change.
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

void installer_gestionnaires() {
    std::size_t rang = 0;
    auto installer = [&rang](int numero) {
        remise.numeros[rang] = numero;
        struct sigaction ancienne {};
        ::sigaction(numero, nullptr, &ancienne);
        remise.anciennes[rang] = ancienne;
        // A signal ignored when the game starts (as under nohup) stays ignored; ignoring the
        // continue signal does not keep a process stopped, so it is always heard.
        const bool ignore = numero != SIGCONT && (ancienne.sa_flags & SA_SIGINFO) == 0 &&
                            ancienne.sa_handler == SIG_IGN;
        if (!ignore) {
            struct sigaction nouvelle {};
            nouvelle.sa_sigaction = sur_signal;
            nouvelle.sa_mask = masque_gestionnaires();
            nouvelle.sa_flags = SA_SIGINFO | SA_RESTART;
            ::sigaction(numero, &nouvelle, nullptr);
        }
        remise.installes[rang] = !ignore;
        ++rang;
    };
    for (const int numero : SIGNAUX_FATALS) {
        installer(numero);
    }
    installer(SIGTSTP);
    installer(SIGCONT);
}

void retirer_gestionnaires() {
    for (std::size_t i = 0; i < remise.numeros.size(); ++i) {
        if (remise.installes[i]) {
            ::sigaction(remise.numeros[i], &remise.anciennes[i], nullptr);
            remise.installes[i] = false;
        }
    }
}

// A sequence cut short would garble the terminal: one that does not fit is left out.
template <std::size_t N>
void copier(std::array<char, N>& vers, std::size_t& longueur, const std::string& texte) {
    longueur = texte.size() <= vers.size() ? texte.size() : 0;
    std::copy_n(texte.begin(), longueur, vers.begin());
}

// The game's console on a POSIX terminal, or on plain streams when input is not a terminal
// (a script driving the game through a pipe).
class ConsoleTerminal final : public Console {
public:
    ConsoleTerminal() {
        termios origine{};
        terminal_ = ::isatty(ENTREE) == 1 && ::tcgetattr(ENTREE, &origine) == 0;
        if (terminal_) {
            // Single keys: no line editing, no echo; signals stay so that Ctrl-C interrupts.
            brut_ = origine;
            brut_.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
            brut_.c_oflag |= OPOST | ONLCR; // a line feed starts the next line at column 0
            brut_.c_cc[VMIN] = 1;
            brut_.c_cc[VTIME] = 0;
            ligne_ = origine;
            ligne_.c_lflag |= ICANON | ECHO;
            ligne_.c_oflag |= OPOST | ONLCR;
        }
        {
            const SignauxBloques bloques;
            remise.terminal = terminal_ ? 1 : 0;
            remise.origine = origine;
            remise.courant = brut_;
            remise.couleur_changee = 0;
            remise.suspendu = 0;
            remise.active = 1;
            preparer_remise();
            installer_gestionnaires();
        }
        passer_en(brut_);
    }

    ~ConsoleTerminal() override {
        vider_sortie();
        restaurer();
    }

    ConsoleTerminal(const ConsoleTerminal&) = delete;
    ConsoleTerminal& operator=(const ConsoleTerminal&) = delete;

    void ecrire(std::string_view octets) override {
        for (const char octet : octets) {
            if (octet == '\n') {
                sortie_ += '\n';
            } else {
                sortie_ += glyphe_utf8(static_cast<unsigned char>(octet));
            }
        }
        if (!octets.empty()) {
            colonne_zero_ = octets.back() == '\n' || octets.back() == '\r';
        }
    }

    void ecrire_erreur(std::string_view texte) override {
        vider_sortie(); // the report comes after what the screen already shows
        ecrire_tout(ERREURS, texte.data(), texte.size());
        if (!texte.empty() && erreurs_a_l_ecran_) {
            colonne_zero_ = texte.back() == '\n';
        }
    }

    void effacer() override {
        sortie_ += EFFACER;
        colonne_zero_ = true;
    }

    void pause() override {
        if (!colonne_zero_) {
            ecrire("\n");
        }
        ecrire(INVITE_PAUSE);
        // An arrow is one key press even though it reads as two codes.
        if (lire_touche() == TOUCHE_PREFIXE) {
            lire_touche();
        }
        ecrire("\n");
    }

    void redimensionner(int lignes, int colonnes) override {
        sortie_ += "\x1b[8;" + std::to_string(lignes) + ";" + std::to_string(colonnes) + "t";
        vider_sortie();
        if (taille_signalee_ || ::isatty(ECRAN) != 1) {
            return;
        }
        winsize taille{};
        for (int essai = 0; essai < ESSAIS_TAILLE; ++essai) {
            if (::ioctl(ECRAN, TIOCGWINSZ, &taille) != 0 || taille.ws_row == 0) {
                return; // a terminal that does not tell its size: nothing to say
            }
            if (taille.ws_row >= lignes && taille.ws_col >= colonnes) {
                return;
            }
            const timespec pas{0, PAS_TAILLE_NS};
            ::nanosleep(&pas, nullptr);
        }
        taille_signalee_ = true;
        const std::string avis = "KORVA needs a terminal of " + std::to_string(colonnes) +
                                 " columns by " + std::to_string(lignes) + " lines; this one has " +
                                 std::to_string(taille.ws_col) + " by " +
                                 std::to_string(taille.ws_row) + ".\n";
        ecrire_erreur(avis);
    }

    void titre(std::string_view texte) override {
        std::string titre;
        for (const char octet : texte) {
            // Control bytes would end the sequence early.
            if (static_cast<unsigned char>(octet) >= 0x20) {
                titre += glyphe_utf8(static_cast<unsigned char>(octet));
            }
        }
        if (!titre_empile_) {
            titre_empile_ = true;
            sortie_ += EMPILER_TITRE;
            changements_.push_back(Changement::Titre);
        }
        sequence_titre_ = "\x1b]0;" + titre + "\x07";
        sortie_ += sequence_titre_;
        const SignauxBloques bloques;
        preparer_remise();
    }

    void couleur(int attribut) override {
        attribut &= 0xFF;
        if (attribut == attribut_) {
            return; // the board sets a colour before every cell: most change nothing
        }
        attribut_ = attribut;
        sortie_ += sequence_couleur(attribut);
        remise.attribut = attribut;
        if (remise.couleur_changee == 0) {
            changements_.push_back(Changement::Couleur);
            const SignauxBloques bloques;
            remise.couleur_changee = 1;
            preparer_remise();
        }
    }

    int lire_touche() override {
        vider_sortie();
        passer_en(brut_);
        for (;;) {
            if (decodeur_.touche_prete()) {
                return decodeur_.prendre();
            }
            if (lu_ < entree_.size()) {
                decodeur_.recevoir(static_cast<unsigned char>(entree_[lu_++]));
                continue;
            }
            if (fin_entree_) {
                decodeur_.fin_entree();
                if (decodeur_.touche_prete()) {
                    continue;
                }
                terminer(0); // nobody is left to answer
            }
            switch (remplir(decodeur_.sequence_en_cours() ? ATTENTE_SEQUENCE_MS : SANS_FIN)) {
            case Lecture::Delai:
                decodeur_.delai_ecoule();
                break;
            case Lecture::Fin:
                fin_entree_ = true;
                break;
            case Lecture::Octets:
                break;
            }
        }
    }

    std::string lire_ligne() override {
        vider_sortie();
        decodeur_.oublier();
        passer_en(ligne_);
        // Bytes read earlier, in single-key mode, were never echoed: echo them now.
        std::size_t sans_echo = terminal_ ? entree_.size() - lu_ : 0;
        std::string ligne;
        bool entiere = false;
        for (;;) {
            if (lu_ < entree_.size()) {
                const char octet = entree_[lu_++];
                if (sans_echo > 0) {
                    --sans_echo;
                    if (octet == '\n' ||
                        (static_cast<unsigned char>(octet) >= 0x20 && octet != 0x7F)) {
                        sortie_ += octet; // never a control byte the terminal would obey
                    }
                }
                if (octet == '\n') {
                    entiere = true;
                    break;
                }
                ligne += octet;
                continue;
            }
            if (fin_entree_) {
                break;
            }
            vider_sortie();
            if (remplir(SANS_FIN) == Lecture::Fin) {
                fin_entree_ = true;
            }
        }
        vider_sortie();
        passer_en(brut_);
        if (!entiere && ligne.empty()) {
            terminer(0);
        }
        if (!ligne.empty() && ligne.back() == '\r') {
            ligne.pop_back();
        }
        colonne_zero_ = true;
        return ligne;
    }

    void vider_entree() override {
        if (!terminal_) {
            return; // a script's input is all meant to be read
        }
        ::tcflush(ENTREE, TCIFLUSH);
        entree_.clear();
        lu_ = 0;
        decodeur_.oublier();
    }

    void dormir(int millisecondes) override {
        vider_sortie();
        timespec reste{millisecondes / 1000, static_cast<long>(millisecondes % 1000) * 1'000'000};
        while (::nanosleep(&reste, &reste) != 0 && errno == EINTR) {
        }
    }

    [[noreturn]] void terminer(int statut) override {
        vider_sortie();
        restaurer();
        std::exit(statut);
    }

private:
    enum class Changement { Couleur, Titre };
    enum class Lecture { Octets, Delai, Fin };

    // Writes the prepared strings the handlers use; called with the signals blocked.
    void preparer_remise() {
        std::string defaire;
        for (auto c = changements_.rbegin(); c != changements_.rend(); ++c) {
            defaire += *c == Changement::Titre ? DEPILER_TITRE : COULEURS_ORIGINE;
        }
        defaire += CURSEUR_VISIBLE;
        copier(remise.defaire, remise.longueur_defaire, defaire);
        std::string refaire;
        if (titre_empile_) {
            refaire += EMPILER_TITRE;
            refaire += sequence_titre_;
        }
        copier(remise.refaire, remise.longueur_refaire, refaire);
    }

    void passer_en(const termios& mode) {
        if (!terminal_ || mode_courant_ == &mode) {
            return;
        }
        mode_courant_ = &mode;
        {
            const SignauxBloques bloques;
            remise.courant = mode;
        }
        ::tcsetattr(ENTREE, TCSANOW, &mode);
    }

    void restaurer() {
        const SignauxBloques bloques;
        defaire_changements();
        remise.active = 0;
        retirer_gestionnaires();
    }

    void vider_sortie() {
        if (sortie_.empty()) {
            return;
        }
        ecrire_tout(ECRAN, sortie_.data(), sortie_.size());
        sortie_.clear();
    }

    // Waits for input, `delai` milliseconds at most (or without end), and reads what came.
    Lecture remplir(int delai) {
        if (lu_ == entree_.size()) {
            entree_.clear();
            lu_ = 0;
        }
        pollfd attente{ENTREE, POLLIN, 0};
        const int pret = ::poll(&attente, 1, delai);
        if (pret == 0) {
            return Lecture::Delai;
        }
        if (pret < 0) {
            return errno == EINTR ? Lecture::Octets : Lecture::Fin;
        }
        std::array<char, TAILLE_LECTURE> tampon{};
        const ssize_t lus = ::read(ENTREE, tampon.data(), tampon.size());
        if (lus > 0) {
            entree_.append(tampon.data(), static_cast<std::size_t>(lus));
            return Lecture::Octets;
        }
        if (lus < 0 && (errno == EINTR || errno == EAGAIN)) {
            return Lecture::Octets;
        }
        return Lecture::Fin; // closed input, or a terminal hung up (EIO)
    }

    bool terminal_ = false;
    termios brut_{};
    termios ligne_{};
    const termios* mode_courant_ = nullptr;
    std::string sortie_;
    std::string entree_; // bytes read and not yet taken, shared by keys and lines
    std::size_t lu_ = 0;
    bool fin_entree_ = false;
    DecodeurTouches decodeur_;
    int attribut_ = -1;
    bool colonne_zero_ = true;
    std::vector<Changement> changements_;
    bool titre_empile_ = false;
    std::string sequence_titre_;
    bool taille_signalee_ = false;
    // Reports shown on the same screen move its cursor too.
    bool erreurs_a_l_ecran_ = ::isatty(ERREURS) == 1 && ::isatty(ECRAN) == 1;
};

} // namespace

std::unique_ptr<Console> creer_console_terminal() {
    return std::make_unique<ConsoleTerminal>();
}

} // namespace korva
