#include "items/sac.hpp"

#include "console/console.hpp"

namespace korva {

// Stand-ins until the bag lands.
int sac(sPerso&, Sacoche&, int, int) { return SAC_PLEIN; }

void affichage_sac(const Sacoche&) {}

void rangement_sac(Sacoche&) {}

void gestion_sac(Sacoche&, sPerso&, Plateau&, uneSerrure) {}

void fin() { terminer(0); }

} // namespace korva
