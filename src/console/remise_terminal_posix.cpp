#include "console/remise_terminal_posix.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace korva::remise {

namespace {

constexpr int ENTREE = STDIN_FILENO;
constexpr int ECRAN = STDOUT_FILENO;

// What the game changed, in order; touched outside the handlers only.
struct Changement {
    std::string defaire;
    std::string refaire;
};
std::vector<Changement> changements;
std::optional<Changement> couleur;
const DescriptionTerminal* description = nullptr;
std::optional<winsize> taille_origine;
bool taille_notee = false;
std::optional<std::size_t> rang_titre;

// A sequence cut short would garble the terminal: one that does not fit is left out.
template <std::size_t N>
void copier(std::array<char, N>& vers, std::size_t& longueur, const std::string& texte) {
    longueur = texte.size() <= vers.size() ? texte.size() : 0;
    std::copy_n(texte.begin(), longueur, vers.begin());
}

// Writes the strings the handlers send.
void preparer_remise() {
    std::string defaire = couleur ? couleur->defaire : std::string();
    defaire += description->curseur_visible;
    for (auto c = changements.rbegin(); c != changements.rend(); ++c) {
        defaire += c->defaire;
    }
    std::string refaire;
    for (const Changement& c : changements) {
        refaire += c.refaire;
    }
    refaire += couleur ? couleur->refaire : std::string();
    const SignauxBloques bloques;
    copier(etat.defaire, etat.longueur_defaire, defaire);
    copier(etat.refaire, etat.longueur_refaire, refaire);
}

} // namespace

void prendre(const DescriptionTerminal& d, bool reveil) {
    description = &d;
    termios origine{};
    etat.terminal = ::tcgetattr(ENTREE, &origine) == 0 ? 1 : 0;
    // Single keys: no line editing, no echo; signals stay so that Ctrl-C interrupts.
    termios touches = origine;
    touches.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    touches.c_oflag |= OPOST | ONLCR; // a line feed starts the next line at column 0
    touches.c_cc[VMIN] = 1;
    touches.c_cc[VTIME] = 0;
    winsize taille{};
    taille_origine.reset();
    if (::ioctl(ECRAN, TIOCGWINSZ, &taille) == 0 && taille.ws_row > 0 && taille.ws_col > 0) {
        taille_origine = taille;
    }
    if (reveil && ::pipe(etat.reveil.data()) == 0) {
        for (const int fd : etat.reveil) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    changements.clear();
    couleur.reset();
    taille_notee = false;
    rang_titre.reset();
    if (!d.prendre_ecran.empty()) {
        changements.push_back({d.rendre_ecran, d.prendre_ecran});
    }
    {
        const SignauxBloques bloques;
        etat.origine = origine;
        etat.courant = touches;
        for (volatile sig_atomic_t* valeur :
             {&etat.suspendu, &etat.gardee, &etat.ctrl_c, &etat.perdu, &etat.statut_perdu}) {
            *valeur = 0;
        }
        etat.active = 1;
        installer_gestionnaires();
    }
    preparer_remise();
    if (etat.terminal != 0) {
        ::tcsetattr(ENTREE, TCSANOW, &touches);
    }
    ecrire_tout(ECRAN, d.prendre_ecran.data(), d.prendre_ecran.size());
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

void noter_couleur(std::string_view sequence) {
    couleur = Changement{description->origine, std::string(sequence)};
    preparer_remise();
}

std::string noter_titre(std::string_view texte) {
    if (description->titre_debut.empty()) {
        return {};
    }
    const std::string sequence =
        description->titre_debut + std::string(texte) + description->titre_fin;
    // The title the player had comes back with the screen, where the terminal keeps it so.
    if (!rang_titre) {
        rang_titre = changements.size();
        changements.push_back({"", sequence});
    }
    changements[*rang_titre].refaire = sequence;
    preparer_remise();
    return sequence;
}

std::string noter_taille(int lignes, int colonnes) {
    const std::string demande = demande_taille(*description, lignes, colonnes);
    if (!demande.empty() && !taille_notee && taille_origine) {
        taille_notee = true;
        changements.push_back(
            {demande_taille(*description, taille_origine->ws_row, taille_origine->ws_col),
             demande});
        preparer_remise();
    }
    return demande;
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

void garder(bool gardee) {
    const SignauxBloques bloques;
    etat.gardee = gardee ? 1 : 0;
    etat.ctrl_c = 0; // a Ctrl-C pressed as the game ends belongs to no game
}

std::optional<PartieInterrompue> interruption() {
    const SignauxBloques bloques;
    if (etat.perdu != 0) {
        return PartieInterrompue{Interruption::terminal_perdu, etat.statut_perdu,
                                 etat.statut_perdu == 128 + SIGNAL_INACTIVITE};
    }
    if (etat.gardee != 0 && etat.ctrl_c > 0) {
        etat.ctrl_c = etat.ctrl_c - 1;
        return PartieInterrompue{Interruption::ctrl_c, 128 + SIGINT};
    }
    return std::nullopt;
}

void perdre_terminal() {
    const SignauxBloques bloques;
    if (etat.perdu == 0) {
        etat.statut_perdu = 0;
        etat.perdu = 1;
    }
}

int signal_de_fin(int statut) {
    return etat.perdu != 0 && statut == etat.statut_perdu && statut > 128 ? statut - 128 : 0;
}

} // namespace korva::remise
