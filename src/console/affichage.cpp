#include "console/affichage.hpp"

#include "console/console.hpp"
#include "records/somme_bornee.hpp"

namespace korva {

namespace {

struct Glyphe {
    int couleur;
    char octet;
};

// What each cell type looks like once seen, by type code.
constexpr Glyphe GLYPHES_PAR_TYPE[] = {
    {BLANC, '\x00'},         // CASE_VIDE
    {GRIS_FONCE, '\x23'},    // MUR_EXTERIEUR
    {GRIS_CLAIR, '\x2B'},    // MUR_INTERIEUR
    {BLANC, '\x40'},         // PORTE_FERMEE
    {BLANC, '\x20'},         // CASE_PASSAGE
    {BLANC, '\x2A'},         // EBOULEMENT
    {BLANC, '\x40'},         // PORTE_CLE
    {ROUGE_CLAIR, '\x94'},   // MONSTRE
    {MAGENTA_FONCE, '\xE8'}, // POTION
    {CYAN_FONCE, '\xED'},    // ARMURE
    {BLEU_CLAIR, '\xAA'},    // EPEE
    {JAUNE, '\x0F'},         // PIECE_OR
    {BLANC, ' '},            // CLE: a key always carries its number and is drawn as one
    {VERT_FONCE, '\x15'},    // PARCHEMIN
    {ROUGE_CLAIR, '\xBE'},   // GARDIEN
};

// A seen cell that has no glyph of its own (an unknown type, a key without a number) is drawn
// as a blank, so that the rest of its row stays in its columns.
constexpr Glyphe GLYPHE_INCONNU{BLANC, ' '};

Glyphe glyphe_de(const sCaseJeu& cellule) {
    if (cellule.visible != 1) {
        return {BLANC, '\x00'};
    }
    const int statut = cellule.statutCase;
    if (statut == 0) {
        const int type = cellule.typeCase;
        if (type < CASE_VIDE || type > GARDIEN) {
            return GLYPHE_INCONNU;
        }
        return GLYPHES_PAR_TYPE[type];
    }
    if (statut == STATUT_HEROS) {
        return {BLANC, GLYPHE_HEROS};
    }
    if (cellule.typeCase == PORTE_CLE) {
        return {BLANC, '\x40'};
    }
    if (statut < STATUT_CLE_MIN) {
        return {GRIS_FONCE, '\x23'};
    }
    return {ROUGE_FONCE, GLYPHE_CLE};
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
    afficher(" i : inventory - contents of the bag \n ");
    afficher(" s : save your game \n ");
    afficher(" h : help \n ");
    afficher(" q : save and quit \n ");
}

void affichage_aide() {
    struct Legende {
        int couleur;
        const char* format;
        char octet;
    };
    static constexpr Legende LEGENDE[] = {
        {GRIS_FONCE, " %c : external wall \n ", '\x23'},
        {GRIS_CLAIR, " %c : internal wall \n ", '\x2B'},
        {BLANC, " %c : closed door \n ", '\x40'},
        {BLANC, " %c : collapsed rocks \n ", '\x2A'},
        {BLANC, " %c : you  \n ", GLYPHE_HEROS},
        {ROUGE_CLAIR, " %c : The Dungeon Guardian \n ", '\xBE'},
        {ROUGE_CLAIR, " %c : a monster \n ", GLYPHE_MONSTRE},
        {MAGENTA_FONCE, " %c : a potion \n ", '\xE8'},
        {CYAN_FONCE, " %c : a armor \n ", '\xED'},
        {BLEU_CLAIR, " %c : a sword \n ", '\xAA'},
        {JAUNE, " %c : gold coin \n ", '\x0F'},
        {ROUGE_FONCE, " %c : a key \n ", GLYPHE_CLE},
        {VERT_FONCE, " %c : a parchment \n ", '\x15'},
    };
    static constexpr Legende FLECHES[] = {
        {BLANC, " %c : up\n ", '\x18'},
        {BLANC, " %c : down\n ", '\x19'},
        {BLANC, " %c : left\n ", '\x1B'},
        {BLANC, " %c : right\n ", '\x1A'},
    };

    console().effacer();
    afficher("--------------------------- \n ");
    afficher("\n Key : \n\n ");
    for (const Legende& ligne : LEGENDE) {
        Color(ligne.couleur, NOIR);
        afficher(ligne.format, ligne.octet);
    }
    Color(BLANC, NOIR);
    afficher("\n");
    afficher("--------------------------- \n ");
    afficher("Move : \n ");
    for (const Legende& ligne : FLECHES) {
        afficher(ligne.format, ligne.octet);
    }
}

void fin_du_jeu(sPerso p, const std::function<void()>& avant_attente) {
    console().effacer();
    Color(ROUGE_CLAIR, NOIR);
    afficher("!!! CONGRATULATION your adventure is over !!! \n ");
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
