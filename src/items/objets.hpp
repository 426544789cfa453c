// Things that act the moment the hero finds them: armor, swords and parchments.
#pragma once

#include "records/enregistrements.hpp"

namespace korva {

// Where the parchments lie: `chemin` + `fichier` + the number + `extension`.
inline constexpr const char* CHEMIN_PARCHEMINS = "fichiers/parchemins/";
inline constexpr const char* FICHIER_PARCHEMIN = "fichier";
inline constexpr const char* EXTENSION_PARCHEMIN = ".txt";
inline constexpr int NOMBRE_PARCHEMINS = 10;
// Only this much of a parchment's first line is shown.
inline constexpr int LONGUEUR_MESSAGE_MAX = 98;
// Armor and swords raise their stat by 1 to this bound minus one; a parchment asks for an
// Intellect of 1 to this bound minus one.
inline constexpr int GAIN_FIN = 5;
inline constexpr int INTELLECT_REQUIS_FIN = 5;

// Armor: Endurance rises by 1 to 4, score by 5.
void armuR(sPerso& p);
// Sword: Skill rises by 1 to 4, score by 5.
void epe(sPerso& p);
// Parchment: its first line is shown if the hero's Intellect is high enough (score + 5). A
// file that cannot be read is reported and play goes on.
void parch(sPerso& p);

} // namespace korva
