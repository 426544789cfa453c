#include "support/partie_terminal.hpp"

#include <array>
#include <chrono>
#include <csignal>
#include <stdexcept>

#include <cstddef>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>
#include <vterm.h>

namespace korva::test {

namespace {

// Generous: a wait for the game, never a measure of its speed.
constexpr auto LONGTEMPS = std::chrono::seconds(20);

// ANSI colour numbers count red as bit 0 and blue as bit 2, the console the other way round.
int index_console(const VTermColor& couleur, bool defaut) {
    constexpr std::array<int, 16> INDEX = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
    return defaut ? -1 : VTERM_COLOR_IS_INDEXED(&couleur) ? INDEX.at(couleur.indexed.idx) : -2;
}

// As on a system past its limit of inotify instances: asking for one fails with EMFILE, in this
// process and all it starts. No other call is touched.
bool refuser_inotify() {
    std::array filtre{sock_filter BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                      sock_filter BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_inotify_init1, 0, 1),
                      sock_filter BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EMFILE),
                      sock_filter BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
    const sock_fprog programme{static_cast<unsigned short>(filtre.size()), filtre.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &programme) == 0;
}

winsize taille_de(int lignes, int colonnes) {
    winsize taille{};
    taille.ws_row = static_cast<unsigned short>(lignes);
    taille.ws_col = static_cast<unsigned short>(colonnes);
    return taille;
}

std::string modes_de(int fd) {
    termios modes{};
    ::tcgetattr(fd, &modes);
    return std::string(reinterpret_cast<const char*>(&modes), sizeof modes);
}

} // namespace

EcranVirtuel::EcranVirtuel(int lignes, int colonnes, bool utf8)
    : vt(vterm_new(lignes, colonnes)), utf8(utf8) {
    vterm_set_utf8(vt, utf8 ? 1 : 0);
    static VTermScreenCallbacks rappels{};
    rappels.settermprop = [](VTermProp prop, VTermValue* valeur, void* ecran) {
        if (prop == VTERM_PROP_TITLE) {
            static_cast<EcranVirtuel*>(ecran)->titre = valeur->string;
        } else if (prop == VTERM_PROP_CURSORVISIBLE) {
            static_cast<EcranVirtuel*>(ecran)->curseur_visible = valeur->boolean != 0;
        }
        return 1;
    };
    rappels.bell = [](void* ecran) { return ++static_cast<EcranVirtuel*>(ecran)->sonneries; };
    // What libvterm leaves to us of xterm's window operations: the size request (CSI 8 ; lines
    // ; columns t) and the title stack (CSI 22 t pushes, CSI 23 t pops).
    static VTermParserCallbacks autres{};
    autres.csi = [](const char*, const long a[], int n, const char*, char fin, void* donnees) {
        auto& e = *static_cast<EcranVirtuel*>(donnees);
        const long operation = fin == 't' && n > 0 ? CSI_ARG(a[0]) : 0;
        if (operation == 8 && n == 3) {
            e.taille_demandee = {CSI_ARG(a[1]), CSI_ARG(a[2])};
        } else if (operation == 22) {
            e.titres_empiles.push_back(e.titre);
        } else if (operation == 23 && !e.titres_empiles.empty()) {
            e.titre = e.titres_empiles.back();
            e.titres_empiles.pop_back();
        }
        return 1;
    };
    vterm_screen_set_callbacks(vterm_obtain_screen(vt), &rappels, this);
    vterm_screen_set_unrecognised_fallbacks(vterm_obtain_screen(vt), &autres, this);
    vterm_screen_enable_altscreen(vterm_obtain_screen(vt), 1);
    vterm_screen_reset(vterm_obtain_screen(vt), 1);
}

EcranVirtuel::~EcranVirtuel() {
    vterm_free(vt);
}

void EcranVirtuel::recevoir(std::string_view octets) {
    for (const char octet : octets) {
        octets_hauts += !utf8 && static_cast<unsigned char>(octet) >= 0x80 ? 1 : 0;
    }
    vterm_input_write(vt, octets.data(), octets.size());
}

CaseVue EcranVirtuel::case_(int ligne, int colonne) const {
    VTermScreenCell cellule{};
    vterm_screen_get_cell(vterm_obtain_screen(vt), VTermPos{ligne, colonne}, &cellule);
    std::array<char, 16> utf8{};
    const std::size_t n = vterm_screen_get_text(vterm_obtain_screen(vt), utf8.data(), utf8.size(),
                                                VTermRect{ligne, ligne + 1, colonne, colonne + 1});
    // Bold text of the eight first colours shows bright, as a terminal of eight colours has it.
    const int texte = index_console(cellule.fg, VTERM_COLOR_IS_DEFAULT_FG(&cellule.fg));
    return {n == 0 ? " " : std::string(utf8.data(), n),
            cellule.attrs.bold != 0 && texte >= 0 && texte < 8 ? texte + 8 : texte,
            index_console(cellule.bg, VTERM_COLOR_IS_DEFAULT_BG(&cellule.bg))};
}

CaseVue EcranVirtuel::plume() const {
    std::array<VTermValue, 2> v{};
    vterm_state_get_penattr(vterm_obtain_state(vt), VTERM_ATTR_FOREGROUND, &v[0]);
    vterm_state_get_penattr(vterm_obtain_state(vt), VTERM_ATTR_BACKGROUND, &v[1]);
    return {"", index_console(v[0].color, VTERM_COLOR_IS_DEFAULT_FG(&v[0].color)),
            index_console(v[1].color, VTERM_COLOR_IS_DEFAULT_BG(&v[1].color))};
}

std::string EcranVirtuel::texte() const {
    int lignes = 0;
    int colonnes = 0;
    vterm_get_size(vt, &lignes, &colonnes);
    std::string texte;
    std::string ligne(static_cast<std::size_t>(colonnes) * 4, '\0');
    for (int l = 0; l < lignes; ++l) {
        const VTermRect rangee{l, l + 1, 0, colonnes};
        texte.append(ligne.data(), vterm_screen_get_text(vterm_obtain_screen(vt), ligne.data(),
                                                         ligne.size(), rangee));
        texte.erase(texte.find_last_not_of(' ') + 1); // blanks written, as well as cleared ones
        texte += '\n';
    }
    return texte;
}

PartieTerminal::PartieTerminal(const std::filesystem::path& dossier, int lignes, int colonnes,
                               std::vector<std::string> commande, const Reglages& reglages)
    : vue(lignes, colonnes, reglages.utf8) {
    winsize taille = taille_de(lignes, colonnes);
    if (::openpty(&maitre_, &esclave_, nullptr, nullptr, &taille) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    // Another connection's programs must not hold this terminal open: its hang-up is its own.
    ::fcntl(maitre_, F_SETFD, FD_CLOEXEC);
    ::fcntl(esclave_, F_SETFD, FD_CLOEXEC);
    modes_depart_ = modes_de(esclave_);
    pid = ::fork();
    if (pid == 0) {
        ::close(maitre_);
        if (::login_tty(::dup(esclave_)) != 0 || ::chdir(dossier.c_str()) != 0 ||
            (reglages.sans_inotify && !refuser_inotify())) {
            ::_exit(126);
        }
        ::setenv("TERM", reglages.term.c_str(), 1);
        ::setenv("LC_ALL", reglages.utf8 ? "C.UTF-8" : "C", 1);
        reglages.no_color ? ::setenv("NO_COLOR", reglages.no_color, 1) : ::unsetenv("NO_COLOR");
        ::setenv("PS1", "$ ", 1);
        std::vector<char*> arguments;
        for (std::string& argument : commande) {
            arguments.push_back(argument.data());
        }
        arguments.push_back(nullptr);
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
}

PartieTerminal::~PartieTerminal() {
    if (statut_ < 0 && pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    ::close(maitre_);
    ::close(esclave_);
}

void PartieTerminal::taper(std::string_view octets) {
    if (::write(maitre_, octets.data(), octets.size()) != static_cast<ssize_t>(octets.size())) {
        throw std::runtime_error("the terminal took no keys");
    }
}

// Takes what the game sent within `delai_ms` (once the terminal is closed, only waits); false
// when nothing came.
bool PartieTerminal::lire(int delai_ms) {
    pollfd attente{maitre_, POLLIN, 0};
    std::array<char, 8192> tampon{};
    if (::poll(&attente, 1, delai_ms) <= 0) {
        return false;
    }
    const ssize_t lus = ::read(maitre_, tampon.data(), tampon.size());
    vue.recevoir(std::string_view(tampon.data(), lus > 0 ? static_cast<std::size_t>(lus) : 0));
    return lus > 0;
}

bool PartieTerminal::attendre(const std::function<bool()>& vrai) {
    const auto fin = std::chrono::steady_clock::now() + LONGTEMPS;
    while (!vrai()) {
        if (std::chrono::steady_clock::now() > fin) {
            return false;
        }
        lire(100);
    }
    while (lire(50)) { // the rest of the frame
    }
    return true;
}

void PartieTerminal::redimensionner(int lignes, int colonnes) {
    const winsize taille = taille_de(lignes, colonnes);
    ::ioctl(maitre_, TIOCSWINSZ, &taille);
    vterm_set_size(vue.vt, lignes, colonnes);
}

void PartieTerminal::fermer() {
    ::close(maitre_);
    maitre_ = -1;
}

int PartieTerminal::attendre_fin() {
    attendre([this] {
        int etat = 0;
        if (statut_ < 0 && ::waitpid(pid, &etat, WNOHANG) == pid) {
            statut_ = WIFSIGNALED(etat) ? 128 + WTERMSIG(etat) : WEXITSTATUS(etat);
        }
        return statut_ >= 0;
    });
    return statut_;
}

bool PartieTerminal::modes_restaures() const {
    return modes_de(esclave_) == modes_depart_;
}

} // namespace korva::test
