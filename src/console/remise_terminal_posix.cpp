#include "console/remise_terminal_posix.hpp"

#include "console/signaux_terminal_posix.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace korva::remise {

namespace {

constexpr int ENTREE = STDIN_FILENO;

constexpr std::string_view EMPILER_TITRE = "\x1b[22;0t";
constexpr std::string_view DEPILER_TITRE = "\x1b[23;0t";
constexpr std::string_view COULEURS_ORIGINE = "\x1b[0m";
constexpr std::string_view CURSEUR_VISIBLE = "\x1b[?25h";

// What the game changed, in order, and the modes it switches between; touched outside the
// handlers only.
enum class Changement { Couleur, Titre };
std::vector<Changement> changements;
bool titre_empile = false;
std::string sequence_titre;
termios mode_touches{};
termios mode_ligne{};
const termios* mode_courant = nullptr;

// A sequence cut short would garble the terminal: one that does not fit is left out.
template <std::size_t N>
void copier(std::array<char, N>& vers, std::size_t& longueur, const std::string& texte) {
    longueur = texte.size() <= vers.size() ? texte.size() : 0;
    std::copy_n(texte.begin(), longueur, vers.begin());
}

// Writes the strings the handlers send; called with the signals blocked.
void preparer_remise() {
    std::string defaire;
    for (auto c = changements.rbegin(); c != changements.rend(); ++c) {
        defaire += *c == Changement::Titre ? DEPILER_TITRE : COULEURS_ORIGINE;
    }
    defaire += CURSEUR_VISIBLE;
    copier(etat.defaire, etat.longueur_defaire, defaire);
    std::string refaire;
    if (titre_empile) {
        refaire += EMPILER_TITRE;
        refaire += sequence_titre;
    }
    copier(etat.refaire, etat.longueur_refaire, refaire);
}

} // namespace

bool prendre(bool reveil) {
    termios origine{};
    const bool terminal = ::isatty(ENTREE) == 1 && ::tcgetattr(ENTREE, &origine) == 0;
    if (terminal) {
        // Single keys: no line editing, no echo; signals stay so that Ctrl-C interrupts.
        mode_touches = origine;
        mode_touches.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        mode_touches.c_oflag |= OPOST | ONLCR; // a line feed starts the next line at column 0
        mode_touches.c_cc[VMIN] = 1;
        mode_touches.c_cc[VTIME] = 0;
        mode_ligne = origine;
        mode_ligne.c_lflag |= ICANON | ECHO;
        mode_ligne.c_oflag |= OPOST | ONLCR;
    }
    if (reveil && ::pipe(etat.reveil.data()) == 0) {
        for (const int fd : etat.reveil) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    {
        const SignauxBloques bloques;
        changements.clear();
        titre_empile = false;
        mode_courant = nullptr;
        etat.terminal = terminal ? 1 : 0;
        etat.origine = origine;
        etat.courant = mode_touches;
        etat.couleur_changee = 0;
        etat.suspendu = 0;
        etat.active = 1;
        preparer_remise();
        installer_gestionnaires();
    }
    passer_en(Mode::Touches);
    return terminal;
}

void rendre() {
    {
        const SignauxBloques bloques;
        defaire_changements();
        etat.active = 0;
        retirer_gestionnaires();
    }
    for (int& fd : etat.reveil) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void passer_en(Mode mode) {
    const termios& voulu = mode == Mode::Touches ? mode_touches : mode_ligne;
    if (etat.terminal == 0 || mode_courant == &voulu) {
        return;
    }
    mode_courant = &voulu;
    {
        const SignauxBloques bloques;
        etat.courant = voulu;
    }
    ::tcsetattr(ENTREE, TCSANOW, &voulu);
}

void noter_couleur(int attribut) {
    etat.attribut = attribut;
    if (etat.couleur_changee == 0) {
        changements.push_back(Changement::Couleur);
        const SignauxBloques bloques;
        etat.couleur_changee = 1;
        preparer_remise();
    }
}

std::string noter_titre(std::string_view sequence) {
    std::string a_envoyer;
    if (!titre_empile) {
        titre_empile = true;
        a_envoyer += EMPILER_TITRE;
        changements.push_back(Changement::Titre);
    }
    sequence_titre = sequence;
    a_envoyer += sequence;
    const SignauxBloques bloques;
    preparer_remise();
    return a_envoyer;
}

bool repeinte_demandee() {
    if (etat.repeindre == 0) {
        return false;
    }
    etat.repeindre = 0;
    return true;
}

int reveil() {
    return etat.reveil[0];
}

void vider_reveil() {
    std::array<char, 16> vidange{};
    while (::read(etat.reveil[0], vidange.data(), vidange.size()) > 0) {
    }
}

} // namespace korva::remise
