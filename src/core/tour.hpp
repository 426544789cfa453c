// One arrow key of the turn loop, on the loop's own size, character and lock.
#pragma once

#include "core/enregistrements.hpp"

namespace korva {

// Resolves what lies one step away in direction `a`, then steps the hero or changes level.
// False when the game ends: the dungeon is won or the next level could not be loaded.
bool jouer_fleche(Plateau& plateau, int& l, int& c, int a, sPerso& p, Sacoche& sacoche,
                  uneSerrure& f);

} // namespace korva
