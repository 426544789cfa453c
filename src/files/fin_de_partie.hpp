// The end of a game told from where it happens (a fight lost, a potion that kills, the way out
// of the dungeon), for the games log: those places know how the game ended, and the turn loop,
// which keeps the game's figures, writes its line.
#pragma once

#include "files/journal_parties.hpp"

#include <functional>

namespace korva {

using EcouteFin = std::function<void(IssuePartie)>;

// Makes `ecoute` hear each end told from now on; returns the one it replaces (may be empty).
EcouteFin installer_ecoute_fin(EcouteFin ecoute);

// The game ends here, as `issue` says: it is told, then nothing of the game is ever saved again
// (a hang-up met from here on ends the process without a save).
void finir_partie(IssuePartie issue);

} // namespace korva
