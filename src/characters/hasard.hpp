// The game's one source of dice. Play draws from the standard library's generator, seeded once
// with the time at creation; a replay draws the numbers its recording kept; the tests and the
// tools draw from a generator that gives the same numbers on every system.
#pragma once

#include <functional>

namespace korva {

struct Hasard {
    std::function<void(unsigned graine)> semer;
    // A number from 0 to a large bound, as `rand` gives it.
    std::function<int()> tirer;
};

// Makes `source` the game's dice; returns the one it replaces.
Hasard installer_hasard(Hasard source);

void semer_hasard(unsigned graine);
int tirer_hasard();

// The standard library's `rand` and `srand`: the game's dice when it is played.
Hasard hasard_systeme();

// A generator of the game's own that draws, from a seed, the very numbers the GNU C library's
// `rand` draws from it, on any system: transcripts and balance figures made on one system hold
// on every other.
Hasard hasard_portable();

} // namespace korva
