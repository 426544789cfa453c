// The keys a player presses to walk a computed way (tests/support/recherche_chemin.hpp) through
// the game: the arrows, 'y' at every door, the pauses of found things, and for a locked door its
// key used from the bag before the same arrow is pressed again.
#pragma once

#include "support/recherche_chemin.hpp"

#include <vector>

namespace korva::test {

struct Action {
    enum Genre {
        fleche,      // an arrow key: `code` is 72, 80, 75 or 77
        touche,      // one key: `code` is its character
        pause,       // a key that ends a pause (a fight's pauses are not listed: they vary)
        emplacement, // the bag slot typed at its prompt: `code` is the slot number
    };
    Genre genre;
    int code;
};

// The actions that play `chemin`. `sac` holds the key number of each object of the bag in slot
// order (0 for a potion); it is updated as objects are taken and keys used.
std::vector<Action> actions_du_chemin(const Chemin& chemin, std::vector<int>& sac);

} // namespace korva::test
