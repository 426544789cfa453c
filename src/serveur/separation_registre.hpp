// The one registry an older server shared between its accounts (the data folder's joueurs.txt,
// each account's registry a link to it), split into each account's own, so that an upgraded
// server's players find their own heroes, and only theirs, in the game's list of saved games.
#pragma once

#include "serveur/configuration.hpp"

#include <string>

namespace korva::serveur {

// In the data folder: the shared registry, and what the split leaves of it.
inline constexpr const char* REGISTRE_PARTAGE = "joueurs.txt";
inline constexpr const char* REGISTRE_GARDE = "joueurs-partage"; // the old registry, kept
inline constexpr const char* REGISTRE_SANS_COMPTE = "joueurs-sans-compte.txt";

// Splits the shared registry under its lock, the one every game saving through a link holds.
// Each line goes to the registry of every account whose folder holds its hero's save, keeping
// its score and the old registry's order (a registry the account already has keeps its lines,
// and a hero it names already is left out); every link to the shared registry becomes a registry
// of the account's own. The lines whose save no account holds are added to
// REGISTRE_SANS_COMPTE; then the old registry is renamed REGISTRE_GARDE.txt (-2.txt, -3.txt...
// when that is taken). Without a shared registry, nothing is done. `compte_rendu` says what was
// done, or why nothing was (false then: a registry the game would refuse, a file that cannot be
// written; what was split already stays, and the next run finishes the rest).
bool separer_registre(const Configuration& c, std::string& compte_rendu);

} // namespace korva::serveur
