// The bag of potions and keys, and using what it holds.
#pragma once

#include "records/enregistrements.hpp"

namespace korva {

// Results of a pick-up.
inline constexpr int OBJET_PRIS = 0;
inline constexpr int SAC_PLEIN = 1; // the object stays where it lies

// Points for every object picked up, every door opened with a key and every armor, sword and
// parchment found.
inline constexpr int POINTS_OBJET = 5;

// What a potion may be: the stat it acts on (`attribut`) and the change it makes
// (`puissance`), each drawn from the first bound to the second minus one.
inline constexpr int ATTRIBUT_MIN = 0;
inline constexpr int ATTRIBUT_FIN = 7; // 0 no effect, then 1 Body to 6 Skill
inline constexpr int PUISSANCE_MIN = -5;
inline constexpr int PUISSANCE_FIN = 5; // -5 to 4

// Potion `attribut` codes.
inline constexpr int SANS_EFFET = 0;
inline constexpr int ATTRIBUT_CORPS = 1;
inline constexpr int ATTRIBUT_INTELLECT = 2;
inline constexpr int ATTRIBUT_ESPRIT = 3;
inline constexpr int ATTRIBUT_ENDURANCE = 4;
inline constexpr int ATTRIBUT_POUVOIR = 5;
inline constexpr int ATTRIBUT_HABILETE = 6;

// A used slot carries this number until the bag is compacted.
inline constexpr int NUMERO_UTILISE = -1;

// Puts a potion (POTION) or a key (CLE, from a cell of status `numCle`) into the bag and adds
// the points. A full bag (99 objects) refuses it with a message: SAC_PLEIN, nothing changes.
// Any other type is not a bag object and is refused silently.
int sac(sPerso& p, Sacoche& sacoche, int typeObjet, int numCle);

// Lists the bag on a cleared screen.
void affichage_sac(const Sacoche& sacoche);

// Closes the gap left by the slot just used: the count drops by one, the order is kept.
void rangement_sac(Sacoche& sacoche);

// The bag menu: uses at most one object. A key of the lock's number clears the cell the lock
// names, whatever it holds, unless the hero stands there.
void gestion_sac(Sacoche& sacoche, sPerso& p, Plateau& plateau, uneSerrure f);

// A potion brought a stat to exactly 0: the adventure ends.
[[noreturn]] void fin();

} // namespace korva
