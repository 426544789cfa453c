// Finding the hero's cell, shared by move resolution and the step.
#pragma once

#include "records/enregistrements.hpp"

#include <algorithm>
#include <optional>

namespace korva {

struct CaseHeros {
    int ligne;
    int colonne;
};

// The hero is not stored anywhere: it is the first cell, in row order from (0,0), whose status
// carries the hero's marker. The search never leaves the board, whatever size it is given.
inline std::optional<CaseHeros> trouver_heros(const Plateau& plateau, int l, int c) {
    const int lignes = std::min(l, TAILLE_PLATEAU);
    const int colonnes = std::min(c, TAILLE_PLATEAU);
    for (int i = 0; i < lignes; ++i) {
        for (int j = 0; j < colonnes; ++j) {
            if (plateau[i][j].statutCase == STATUT_HEROS) {
                return CaseHeros{i, j};
            }
        }
    }
    return std::nullopt;
}

} // namespace korva
