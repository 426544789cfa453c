// The board view with its status block, and the help and victory screens.
#pragma once

#include "records/couleurs.hpp"
#include "records/enregistrements.hpp"

#include <functional>
#include <string_view>

namespace korva {

// Glyphs, as code page 437 bytes.
inline constexpr char GLYPHE_HEROS = '\x02';
inline constexpr char GLYPHE_CLE = sorte(CLE).glyphe;
inline constexpr char GLYPHE_MONSTRE = sorte(MONSTRE).glyphe;

// Draws the seen part of the level and the status block.
void affichage_plateau(const Plateau& plateau, int l, int c, sPerso p);

// The help screen: the legend of glyphs and the move keys, from the tables of cell kinds and
// of keys.
void affichage_aide();

// The victory screen's first line: what tells a won game from any other, wherever it is shown.
inline constexpr std::string_view TITRE_VICTOIRE =
    "!!! CONGRATULATION your adventure is over !!! \n ";

// The victory screen; runs `avant_attente` (when given) under it, then waits for a key and
// returns.
void fin_du_jeu(sPerso p, const std::function<void()>& avant_attente = nullptr);

} // namespace korva
