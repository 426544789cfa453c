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

bool est_fleche(int a) {
    return a == FLECHE_HAUT || a == FLECHE_BAS || a == FLECHE_GAUCHE || a == FLECHE_DROITE;
}

// Only a save that wrote nothing has failed: when the registry alone could not be updated, the
// game itself is safe in its file. Either failure has been reported on the screen.
int sauvegarder(const Plateau& plateau, int l, int c, const sPerso& p, const Sacoche& sacoche) {
    return sauvegarde_carte_en_cour(plateau, l, c, p, sacoche, mettre_a_jour_registre);
}

// One arrow key: resolve what lies ahead, then step or change level. False when the game ends.
bool jouer_fleche(Plateau& plateau, int& l, int& c, int a, sPerso& p, Sacoche& sacoche,
                  uneSerrure& f) {
    switch (calcul_deplacement(plateau, l, c, a, p, sacoche, f)) {
    case PAS_LIBRE:
        deplacement(plateau, l, c, a);
        return true;
    case PAS_SORTIE:
        return nouvellecarte(plateau, l, c, a, p) == 0;
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

} // namespace

int deroulement_jeu(Plateau& plateau, int l, int c, sPerso monPersonnage, Sacoche& sacoche,
                    uneSerrure f) {
    for (;;) {
        console().effacer();
        affichage_plateau(plateau, l, c, monPersonnage);
        // An arrow's prefix code lands here like any unknown key: one more redraw.
        const int a = console().lire_touche();
        if (est_fleche(a) && !jouer_fleche(plateau, l, c, a, monPersonnage, sacoche, f)) {
            return 1;
        }
        switch (a) {
        case TOUCHE_SAC:
            ouvrir_sac(plateau, monPersonnage, sacoche, f);
            break;
        case TOUCHE_SAUVEGARDE:
            sauvegarder_en_jeu(plateau, l, c, monPersonnage, sacoche);
            break;
        case TOUCHE_AIDE:
            affichage_aide();
            afficher("\n");
            console().pause();
            break;
        case TOUCHE_QUITTER:
            if (terminer_partie(plateau, l, c, monPersonnage, sacoche)) {
                return 1;
            }
            break;
        default:
            break;
        }
    }
}

} // namespace korva
