#include "files/fin_de_partie.hpp"

#include "console/console.hpp"

#include <utility>

namespace korva {

namespace {

EcouteFin ecoute_fin;

} // namespace

EcouteFin installer_ecoute_fin(EcouteFin ecoute) {
    return std::exchange(ecoute_fin, std::move(ecoute));
}

void finir_partie(IssuePartie issue) {
    // Told while the game is still kept, so that a hang-up at that moment cannot end the
    // process before the line is written.
    if (ecoute_fin) {
        ecoute_fin(issue);
    }
    console().garder_partie(false);
}

} // namespace korva
