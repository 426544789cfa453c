#include "characters/combat.hpp"

namespace korva {

// Stand-in until combat lands: every monster falls at once.
void bataille(sPerso& unPersonnage, int) { unPersonnage.score += 50; }

} // namespace korva
