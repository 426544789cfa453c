#include "items/objets.hpp"

namespace korva {

// Stand-ins until found items land.
void armuR(sPerso&) {}
void epe(sPerso&) {}
void parch(sPerso&) {}

} // namespace korva
