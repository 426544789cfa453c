// Fights against monsters and the Dungeon Guardian.
#pragma once

#include "records/enregistrements.hpp"

namespace korva {

// Fights one monster on level `niveau`; returns when it is dead, ends the process when the hero
// dies.
void bataille(sPerso& unPersonnage, int niveau);

} // namespace korva
