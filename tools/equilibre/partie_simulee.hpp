// One hero plays a planned walk through the game's own code: creation dice, move resolution
// with its fights, potions, armor, swords, gold and parchments, and the bag menu for potions
// and keys, in the order the turn loop calls them.
#pragma once

#include "console_muette.hpp"
#include "politiques.hpp"

#include <vector>

namespace korva {

struct Issue {
    bool gagne = false;
    int niveau_de_la_mort = 0; // 1 to 5 when the hero died
    int score = 0;
};

// Seeds the generator with `graine`, creates a hero of `classe` as the game does, and plays
// `plan`. When `journal` is given, it receives every key the real game would read, from the
// first key of the turn loop on.
Issue jouer_partie(const Donjon& donjon, const Plan& plan, bool boit, int classe, unsigned graine,
                   ConsoleMuette& console, std::vector<Lecture>* journal = nullptr);

} // namespace korva
