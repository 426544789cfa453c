// Hand-made boards and level files for the tests of movement, levels and the turn loop.
#pragma once

#include "records/enregistrements.hpp"

#include <memory>
#include <string>

namespace korva::test {

// A whole board (all 100 by 100 cells) holding the same cell; on the heap, as it is large.
inline std::unique_ptr<Plateau> plateau_rempli(sCaseJeu cellule) {
    auto plateau = std::make_unique<Plateau>();
    for (auto& ligne : *plateau) {
        ligne.fill(cellule);
    }
    return plateau;
}

// Floor everywhere, unseen, with the hero at (i, j).
inline std::unique_ptr<Plateau> plateau_avec_heros(int i, int j) {
    auto plateau = plateau_rempli({CASE_VIDE, 0, 0});
    (*plateau)[i][j].statutCase = STATUT_HEROS;
    return plateau;
}

inline bool memes_cases(const Plateau& a, const Plateau& b) {
    for (int i = 0; i < TAILLE_PLATEAU; ++i) {
        for (int j = 0; j < TAILLE_PLATEAU; ++j) {
            const sCaseJeu& x = a[i][j];
            const sCaseJeu& y = b[i][j];
            if (x.typeCase != y.typeCase || x.statutCase != y.statutCase ||
                x.visible != y.visible) {
                return false;
            }
        }
    }
    return true;
}

inline std::string enregistrement(const sCaseJeu& cellule) {
    return "{" + std::to_string(cellule.typeCase) + "," + std::to_string(cellule.statutCase) + "," +
           std::to_string(cellule.visible) + "},";
}

// The text of a level file: walls around seen floor, the level's number in cell (0,0) and the
// hero at (hi, hj); `entre_lignes` follows every row.
inline std::string texte_niveau(int l, int c, int niveau, int hi, int hj,
                                const std::string& entre_lignes = "\n") {
    std::string texte = std::to_string(l) + "\n" + std::to_string(c) + "\n";
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            sCaseJeu cellule{CASE_VIDE, 0, 1};
            if (i == 0 || j == 0 || i == l - 1 || j == c - 1) {
                cellule.typeCase = MUR_EXTERIEUR;
            }
            if (i == 0 && j == 0) {
                cellule.statutCase = niveau + DECALAGE_NIVEAU;
            }
            if (i == hi && j == hj) {
                cellule = {CASE_VIDE, STATUT_HEROS, 1};
            }
            texte += enregistrement(cellule);
        }
        texte += entre_lignes;
    }
    return texte;
}

} // namespace korva::test
