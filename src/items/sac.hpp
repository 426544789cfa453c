// The bag of potions and keys, and using what it holds.
#pragma once

#include "core/enregistrements.hpp"

namespace korva {

// Results of a pick-up.
inline constexpr int OBJET_PRIS = 0;
inline constexpr int SAC_PLEIN = 1; // the object stays where it lies

// Puts a potion (POTION) or a key (CLE, from a cell of status `numCle`) into the bag.
int sac(sPerso& p, Sacoche& sacoche, int typeObjet, int numCle);

// Lists the bag on a cleared screen.
void affichage_sac(const Sacoche& sacoche);

// Closes the gap left by the slot just used.
void rangement_sac(Sacoche& sacoche);

// The bag menu: uses at most one object.
void gestion_sac(Sacoche& sacoche, sPerso& p, Plateau& plateau, uneSerrure f);

// A potion brought a stat to exactly 0: the adventure ends.
[[noreturn]] void fin();

} // namespace korva
