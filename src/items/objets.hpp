// Things that act the moment the hero finds them: armor, swords and parchments.
#pragma once

#include "core/enregistrements.hpp"

namespace korva {

void armuR(sPerso& p);
void epe(sPerso& p);
void parch(sPerso& p);

} // namespace korva
