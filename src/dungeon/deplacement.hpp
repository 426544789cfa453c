// What an arrow key means for the cell next to the hero, and the hero's step with its sight.
#pragma once

#include "records/enregistrements.hpp"

namespace korva {

// Results of move resolution.
inline constexpr int PAS_LIBRE = 0;  // the hero may step onto the target cell
inline constexpr int PAS_BLOQUE = 1; // the hero stays
inline constexpr int PAS_SORTIE = 2; // the step leaves the board

// Resolves what stands one step from the hero in direction `a`; returns PAS_LIBRE, PAS_BLOQUE
// or PAS_SORTIE.
int calcul_deplacement(Plateau& plateau, int l, int c, int a, sPerso& p, Sacoche& sacoche,
                       uneSerrure& f);

// Asks whether to open the door at row `l`, column `c`; 0 when it has just opened, 1 when it
// stays shut.
int porte_fermee(Plateau& plateau, int l, int c);

// Moves the hero's marker one cell in direction `a` and uncovers the cells around it.
void deplacement(Plateau& plateau, int l, int c, int a);

} // namespace korva
