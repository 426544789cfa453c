// How the balance tool's players walk the dungeon: each policy is planned once over the level
// files as they are, then replayed for every hero.
#pragma once

#include "recherche_niveau.hpp"

#include <optional>
#include <string>
#include <vector>

namespace korva {

inline constexpr int NIVEAUX_DU_DONJON = 5;

enum class Politique {
    presse,     // "rush": the fewest fights to each forward exit, nothing else
    prudent,    // "careful": also takes everything reachable without a fight, drinks what helps
    moissonneur // "farmer": careful, plus the loops of level changes that regain objects
};
inline constexpr Politique POLITIQUES[] = {Politique::presse, Politique::prudent,
                                           Politique::moissonneur};
const char* nom_politique(Politique politique);
// Careful players drink a potion before a fight when it raises Endurance or Skill.
bool boit_avant_combat(Politique politique);

// The nine level files: `aller` levels 1 to 5 entered going forward, `retour` levels 1 to 4
// entered coming back.
struct Donjon {
    std::vector<Carte> aller;
    std::vector<Carte> retour;
};
std::optional<Donjon> lire_donjon(const std::string& dossier_niveaux);

// One stay on a level: the file entered and the walk until the hero leaves it.
struct Visite {
    int niveau;
    bool retour;
    std::vector<Etape> etapes;
};
struct Plan {
    std::vector<Visite> visites;
    int combats = 0; // fights on the way
};
std::optional<Plan> planifier(const Donjon& donjon, Politique politique);

// A farmer goes back for a loop at most this many times from each level.
inline constexpr int BOUCLES_PAR_NIVEAU = 3;

} // namespace korva
