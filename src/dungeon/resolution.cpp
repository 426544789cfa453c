#include "characters/combat.hpp"
#include "characters/personnage.hpp"
#include "console/console.hpp"
#include "console/pas_en_cours.hpp"
#include "dungeon/deplacement.hpp"
#include "items/objets.hpp"
#include "items/sac.hpp"
#include "records/heros.hpp"
#include "records/somme_bornee.hpp"

namespace korva {

namespace {

// A gold coin is worth rand_a_b(1, 20), that is 1 to 19.
constexpr int OR_MIN = 1;
constexpr int OR_BORNE = 20;

// Asks at the door and records it in the lock. A step down records the door only when it stays
// shut, so opening a door downwards leaves the lock naming the last door tried before.
int essayer_porte(Plateau& plateau, int i, int j, int a, uneSerrure& f) {
    const int reponse = porte_fermee(plateau, i, j);
    if (a != FLECHE_BAS || reponse == 1) {
        f.numero = somme_bornee(plateau[i][j].statutCase, -DECALAGE_CLE);
        f.l = i;
        f.c = j;
    }
    return reponse;
}

// A potion or a key goes into the bag; when the bag refuses it, it stays where it lies and so
// does the hero.
int ramasser(Plateau& plateau, int i, int j, sPerso& p, Sacoche& sacoche) {
    sCaseJeu& cible = plateau[i][j];
    if (sac(p, sacoche, cible.typeCase, cible.statutCase) == SAC_PLEIN) {
        return PAS_BLOQUE;
    }
    cible.typeCase = CASE_VIDE;
    return PAS_LIBRE;
}

} // namespace

int calcul_deplacement(Plateau& plateau, int l, int c, int a, sPerso& p, Sacoche& sacoche,
                       uneSerrure& f) {
    const std::optional<CaseHeros> heros = trouver_heros(plateau, l, c);
    if (!heros) {
        return PAS_LIBRE;
    }
    int i = heros->ligne;
    int j = heros->colonne;
    switch (a) {
    case FLECHE_DROITE:
        ++j;
        break;
    case FLECHE_BAS:
        ++i;
        break;
    case FLECHE_GAUCHE:
        --j;
        break;
    default:
        --i;
        break;
    }
    if (i < 0 || j < 0 || i >= l || j >= c || i >= TAILLE_PLATEAU || j >= TAILLE_PLATEAU) {
        return PAS_SORTIE;
    }

    sCaseJeu& cible = plateau[i][j];
    switch (cible.typeCase) {
    case PORTE_FERMEE:
        return essayer_porte(plateau, i, j, a, f);
    case PORTE_CLE:
        essayer_porte(plateau, i, j, a, f);
        return PAS_BLOQUE;
    case MONSTRE:
    case GARDIEN:
        // The fight is told the level of the board, not what it faces.
        bataille(p, somme_bornee(plateau[0][0].statutCase, -DECALAGE_NIVEAU));
        break;
    case POTION:
    case CLE:
        return ramasser(plateau, i, j, p, sacoche);
    case ARMURE:
        armuR(p);
        break;
    case EPEE:
        epe(p);
        break;
    case PIECE_OR: {
        const int gain = rand_a_b(OR_MIN, OR_BORNE);
        p.piecOr = somme_bornee(p.piecOr, gain);
        p.score = somme_bornee(p.score, gain);
        break;
    }
    case PARCHEMIN:
        parch(p);
        break;
    default:
        // Floor and passages let the hero in untouched, walls and rocks keep him out, as the
        // table of kinds says; a cell of no known kind is kept out of reach rather than guessed
        // at.
        return sorte_connue(cible.typeCase) && !sorte(cible.typeCase).bloque ? PAS_LIBRE
                                                                             : PAS_BLOQUE;
    }
    cible.typeCase = CASE_VIDE;
    return PAS_LIBRE;
}

int porte_fermee(Plateau& plateau, int l, int c) {
    sCaseJeu& porte = plateau[l][c];
    const int numero = somme_bornee(porte.statutCase, -DECALAGE_CLE);
    int touche = 0;
    do {
        afficher("\nOpen the door ?  y/n : ");
        touche = console().lire_touche();
    } while (touche != 'y' && touche != 'n' && touche != TOUCHE_CTRL_C);
    if (touche != 'y') {
        return 1; // Ctrl-C answers what changes nothing
    }
    if (porte.typeCase == PORTE_CLE) {
        // Only a key used from the bag opens it.
        afficher("\nYou need the key number : %d \n\n", numero);
        console().pause();
        return 1;
    }
    porte.typeCase = CASE_VIDE;
    return 0;
}

} // namespace korva
