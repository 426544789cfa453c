#include "dungeon/deplacement.hpp"

#include "records/heros.hpp"

namespace korva {

namespace {

// Sight reaches three cells ahead of the hero's new cell; at each distance ahead the hero sees
// the cell on the path and one cell on either side, this far across it.
constexpr int PORTEE_AVANT = 3;
constexpr int PORTEE_COTE = 4;

struct Pas {
    int ligne;
    int colonne;
};

std::optional<Pas> pas_de(int a) {
    switch (a) {
    case FLECHE_HAUT:
        return Pas{-1, 0};
    case FLECHE_BAS:
        return Pas{1, 0};
    case FLECHE_GAUCHE:
        return Pas{0, -1};
    case FLECHE_DROITE:
        return Pas{0, 1};
    default:
        return std::nullopt;
    }
}

bool dans_niveau(int i, int j, int l, int c) {
    return i >= 0 && j >= 0 && i < l && j < c && i < TAILLE_PLATEAU && j < TAILLE_PLATEAU;
}

} // namespace

void deplacement(Plateau& plateau, int l, int c, int a) {
    const std::optional<Pas> pas = pas_de(a);
    const std::optional<CaseHeros> heros = trouver_heros(plateau, l, c);
    if (!pas || !heros) {
        return;
    }
    const int i = heros->ligne + pas->ligne;
    const int j = heros->colonne + pas->colonne;
    if (!dans_niveau(i, j, l, c)) {
        return;
    }
    plateau[heros->ligne][heros->colonne].statutCase = 0;
    plateau[i][j].statutCase = STATUT_HEROS;

    // Across the path is a row offset for a sideways step and a column offset for a vertical
    // one. Cells that fall off the level are not part of it and are left alone.
    const Pas travers{pas->colonne != 0 ? 1 : 0, pas->ligne != 0 ? 1 : 0};
    for (int avant = 0; avant <= PORTEE_AVANT; ++avant) {
        const int ecart = PORTEE_COTE - avant;
        for (const int cote : {0, -ecart, ecart}) {
            const int vi = i + avant * pas->ligne + cote * travers.ligne;
            const int vj = j + avant * pas->colonne + cote * travers.colonne;
            if (dans_niveau(vi, vj, l, c)) {
                plateau[vi][vj].visible = 1;
            }
        }
    }
}

} // namespace korva
