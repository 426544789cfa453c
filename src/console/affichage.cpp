#include "console/affichage.hpp"

#include "console/console.hpp"
#include "records/somme_bornee.hpp"

namespace korva {

namespace {

struct Glyphe {
    int couleur;
    char octet;
};

// A seen cell that has no glyph of its own (an unknown type, a key without a number) is drawn
// as a blank, so that the rest of its row stays in its columns.
constexpr Glyphe GLYPHE_INCONNU{BLANC, ' '};

Glyphe glyphe_de_sorte(int type) {
    return {sorte(type).couleur, sorte(type).glyphe};
}

Glyphe glyphe_de(const sCaseJeu& cellule) {
    if (cellule.visible != 1) {
        return {BLANC, '\x00'};
    }
    const int statut = cellule.statutCase;
    if (statut == 0) {
        const int type = cellule.typeCase;
        if (!sorte_connue(type) || type == CLE) {
            return GLYPHE_INCONNU;
        }
        return glyphe_de_sorte(type);
    }
    if (statut == STATUT_HEROS) {
        return {BLANC, GLYPHE_HEROS};
    }
    if (cellule.typeCase == PORTE_CLE) {
        return glyphe_de_sorte(PORTE_CLE);
    }
    if (statut < STATUT_CLE_MIN) {
        return glyphe_de_sorte(MUR_EXTERIEUR);
    }
    return glyphe_de_sorte(CLE);
}

void ecrire_octet(char octet) {
    console().ecrire(std::string_view(&octet, 1));
}

} // namespace

void affichage_plateau(const Plateau& plateau, int l, int c, sPerso p) {
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            const Glyphe g = glyphe_de(plateau[i][j]);
            Color(g.couleur, NOIR);
            ecrire_octet(g.octet);
        }
        ecrire_octet('\n');
    }
    Color(ROUGE_CLAIR, NOIR);
    afficher("\nScore : %d \t Level : %d  \t ", p.score,
             somme_bornee(plateau[0][0].statutCase, -DECALAGE_NIVEAU));
    Color(JAUNE, NOIR);
    afficher("Gold : %d \n", p.piecOr);
    Color(BLANC, NOIR);
    afficher("\nBody : %d \t Intellect : %d \t Mind : %d \n", p.corps, p.intellect, p.esprit);
    afficher("\nEndurance : %d \t Power : %d \t Skill : %d \n", p.endurance, p.pouvoir, p.habilete);
    afficher("---------------------------------------------- \n ");
    for (const ToucheJeu& touche : TOUCHES_JEU) {
        if (touche.legende == Legende::plateau) {
            afficher(" %c : %s \n ", touche.signe, touche.texte);
        }
    }
}

void affichage_aide() {
    console().effacer();
    afficher("--------------------------- \n ");
    afficher("\n Key : \n\n ");
    // The rows go by their rank in the help, which is not the order of the codes.
    for (int rang = 1; rang <= NOMBRE_SORTES + 1; ++rang) {
        if (rang == RANG_AIDE_HEROS) {
            Color(BLANC, NOIR);
            afficher(" %c : you  \n ", GLYPHE_HEROS);
        }
        for (const SorteCase& s : SORTES_CASES) {
            if (s.rang == rang) {
                Color(s.couleur, NOIR);
                afficher(" %c : %s \n ", s.glyphe, s.aide);
            }
        }
    }
    Color(BLANC, NOIR);
    afficher("\n");
    afficher("--------------------------- \n ");
    afficher("Move : \n ");
    for (const ToucheJeu& touche : TOUCHES_JEU) {
        if (touche.legende == Legende::deplacements) {
            afficher(" %c : %s\n ", touche.signe, touche.texte);
        }
    }
}

void fin_du_jeu(sPerso p, const std::function<void()>& avant_attente) {
    console().effacer();
    Color(ROUGE_CLAIR, NOIR);
    console().ecrire(TITRE_VICTOIRE);
    afficher("\n");
    afficher("\n\n");
    Color(BLANC, NOIR);
    afficher("Your score : %d \n", p.score);
    afficher("\n");
    Color(JAUNE, NOIR);
    afficher("The nummber of gold coin : %d \n", p.piecOr);
    afficher("\n");
    Color(BLANC, NOIR);
    afficher("The main features of your character are final: \n ");
    afficher("Body :\t %d \n ", p.corps);
    afficher("Intellect :\t %d \n ", p.intellect);
    afficher("Mind :\t %d \n ", p.esprit);
    afficher("\n\n");
    afficher("The derived are : \n ");
    afficher("Endurance :\t %d \n ", p.endurance);
    afficher("Power :\t %d \n ", p.pouvoir);
    afficher("Skill :\t %d \n ", p.habilete);
    afficher("\n  ");
    afficher("\n");
    if (avant_attente) {
        avant_attente();
    }
    console().pause();
}

} // namespace korva
