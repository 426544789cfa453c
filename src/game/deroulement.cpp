#include "characters/registre.hpp"
#include "console/affichage.hpp"
#include "console/console.hpp"
#include "dungeon/deplacement.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "game/jeu.hpp"
#include "items/sac.hpp"

namespace korva {

namespace {

constexpr int TOUCHE_SAC = 'i';
constexpr int TOUCHE_SAUVEGARDE = 's';
constexpr int TOUCHE_AIDE = 'h';
constexpr int TOUCHE_QUITTER = 'q';

constexpr const char* ECHEC_SAUVEGARDE = "\nThe back-up of your game failed: your game goes on.\n";
constexpr const char* ECHEC_VICTOIRE = "\nThe back-up of your won game failed.\n";

// The game is kept from Ctrl-C and a lost terminal for as long as its turn loop runs.
class PartieGardee {
public:
    PartieGardee() { console().garder_partie(true); }
    ~PartieGardee() { console().garder_partie(false); }
    PartieGardee(const PartieGardee&) = delete;
    PartieGardee& operator=(const PartieGardee&) = delete;
};

bool est_fleche(int a) {
    return a == FLECHE_HAUT || a == FLECHE_BAS || a == FLECHE_GAUCHE || a == FLECHE_DROITE;
}

// Only a save that wrote nothing has failed: when the registry alone could not be updated, the
// game itself is safe in its file. Either failure has been reported on the screen.
int sauvegarder(const Plateau& plateau, int l, int c, const sPerso& p, const Sacoche& sacoche) {
    return sauvegarde_carte_en_cour(plateau, l, c, p, sacoche, mettre_a_jour_registre);
}

// The way out of the dungeon: the won game is saved, under the victory screen, so that the
// ranking shows the winning score and the hero's file holds the won game.
void sauver_la_victoire(const Plateau& plateau, int l, int c, const sPerso& p,
                        const Sacoche& sacoche) {
    if (sauvegarder(plateau, l, c, p, sacoche) == SAUVEGARDE_ECHOUEE) {
        afficher("%s", ECHEC_VICTOIRE);
    }
    // The game is over: a hang-up at the victory screen has nothing left to save.
    console().garder_partie(false);
}

// One arrow key: resolve what lies ahead, then step or change level. False when the game ends.
bool jouer_fleche(Plateau& plateau, int& l, int& c, int a, sPerso& p, Sacoche& sacoche,
                  uneSerrure& f) {
    switch (calcul_deplacement(plateau, l, c, a, p, sacoche, f)) {
    case PAS_LIBRE:
        deplacement(plateau, l, c, a);
        return true;
    case PAS_SORTIE: {
        const auto victoire = [&] { sauver_la_victoire(plateau, l, c, p, sacoche); };
        return nouvellecarte(plateau, l, c, a, p, victoire) == 0;
    }
    default:
        return true;
    }
}

void ouvrir_sac(Plateau& plateau, sPerso& p, Sacoche& sacoche, const uneSerrure& f) {
    affichage_sac(sacoche);
    if (sacoche[0].nbObjet <= 0) {
        afficher_ligne("\nEMPTY \n");
        console().pause();
        return;
    }
    gestion_sac(sacoche, p, plateau, f);
}

void sauvegarder_en_jeu(const Plateau& plateau, int l, int c, const sPerso& p,
                        const Sacoche& sacoche) {
    afficher("\n");
    afficher_ligne("\nBack-up of your game...");
    const int resultat = sauvegarder(plateau, l, c, p, sacoche);
    if (resultat == SAUVEGARDE_FAITE) {
        console().dormir(UNE_SECONDE);
        return;
    }
    if (resultat == SAUVEGARDE_ECHOUEE) {
        afficher("%s", ECHEC_SAUVEGARDE);
    }
    console().pause(); // a report stays on the screen until the player has read it
}

// The end of the game after 'q'. False when the player chose to save and the save failed: the
// game goes on, so that the player may try again or leave without saving.
bool terminer_partie(const Plateau& plateau, int l, int c, const sPerso& p,
                     const Sacoche& sacoche) {
    console().effacer();
    int reponse = 0;
    do {
        afficher("\nBack-up of your game Y/N ? : ");
        reponse = console().lire_touche();
    } while (reponse != 'Y' && reponse != 'N');
    if (reponse == 'N') {
        return true;
    }
    const int resultat = sauvegarder(plateau, l, c, p, sacoche);
    if (resultat == SAUVEGARDE_ECHOUEE) {
        afficher("%s", ECHEC_SAUVEGARDE);
        console().pause();
        return false;
    }
    afficher("\nBack-up of your game in progress... ");
    if (resultat == SAUVEGARDE_REGISTRE_ECHOUE) {
        console().pause(); // the registry's report stays until the player has read it
    } else {
        console().dormir(UNE_SECONDE);
    }
    return true;
}

// One turn: false when the game ends.
bool jouer_un_tour(Plateau& plateau, int& l, int& c, sPerso& p, Sacoche& sacoche, uneSerrure& f) {
    console().effacer();
    affichage_plateau(plateau, l, c, p);
    // An arrow's prefix code lands here like any unknown key: one more redraw.
    const int a = console().lire_touche();
    if (est_fleche(a) && !jouer_fleche(plateau, l, c, a, p, sacoche, f)) {
        return false;
    }
    switch (a) {
    case TOUCHE_SAC:
        ouvrir_sac(plateau, p, sacoche, f);
        break;
    case TOUCHE_SAUVEGARDE:
        sauvegarder_en_jeu(plateau, l, c, p, sacoche);
        break;
    case TOUCHE_AIDE:
        affichage_aide();
        afficher("\n");
        console().pause();
        break;
    case TOUCHE_QUITTER:
        return !terminer_partie(plateau, l, c, p, sacoche);
    default:
        break;
    }
    return true;
}

// The terminal is gone: the game is saved as 's' saves it, with nobody left to read a word,
// then the process ends as it would have.
[[noreturn]] void sauver_et_finir(const Plateau& plateau, int l, int c, const sPerso& p,
                                  const Sacoche& sacoche, int statut) {
    sauvegarder(plateau, l, c, p, sacoche);
    terminer(statut);
}

} // namespace

int deroulement_jeu(Plateau& plateau, int l, int c, sPerso monPersonnage, Sacoche& sacoche,
                    uneSerrure f) {
    const PartieGardee garde;
    // Ctrl-C asks what 'q' asks, wherever the game stood; asked again if pressed at the question.
    bool question = false;
    for (;;) {
        try {
            if (question ? terminer_partie(plateau, l, c, monPersonnage, sacoche)
                         : !jouer_un_tour(plateau, l, c, monPersonnage, sacoche, f)) {
                return 1;
            }
            question = false;
        } catch (const PartieInterrompue& interruption) {
            if (interruption.cause == Interruption::terminal_perdu) {
                sauver_et_finir(plateau, l, c, monPersonnage, sacoche, interruption.statut);
            }
            question = true;
        }
    }
}

} // namespace korva
