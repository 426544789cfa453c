// Creating the character, its sheet, and the dice every rule rolls.
#pragma once

#include "records/enregistrements.hpp"

#include <ctime>

namespace korva {

// Class codes.
inline constexpr int GUERRIER = 0;
inline constexpr int MAGICIEN = 1;
inline constexpr int PRETRE = 2;
inline constexpr int RUSE = 3;

// Asks for the name and the class, rolls the stats; 0 when the character is made, 1 when it
// cannot be (the registry could not be checked), and the game goes back to the main menu.
int saisirPerso(sPerso& p);

// Sets the class, rolls Body, Intellect and Mind in that order with the class's weights, and
// derives Endurance, Power and Skill from them; draws from the generator as it stands.
void tirer_caracteristiques(sPerso& p, int classe);

// The game's clock: the calendar time the generator is seeded with at creation, and a
// recording's file name is dated by. Tests install a clock of their own, so that every draw of a
// game and every name is known; returns the clock it replaces.
using Horloge = std::time_t (*)();
Horloge installer_horloge(Horloge horloge);
std::time_t heure_du_jeu();

// A pseudo-random whole number from a to b - 1, from the game's dice; the caller passes b > a.
int rand_a_b(int a, int b);

// Prints the character sheet.
void afficherPerso(sPerso p);

} // namespace korva
