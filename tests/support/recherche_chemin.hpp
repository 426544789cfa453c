// A walk through a level for tests: the arrow keys that take the hero from its cell to an exit
// (or to a chosen cell), with keys taken before the locked doors they open.
//
// Rules of the walk, those of the game's move resolution: walls (external, internal) and
// collapsed rocks block; floor and passages are entered freely; a closed door is entered once the
// player answers 'y'; monsters, the Guardian and objects are entered after being resolved; a
// locked door can be entered only once a key of its number has been picked up on this level
// (keys already in the bag are not counted). A cell is resolved the first time it is entered and
// is plain floor afterwards.
//
// Use, for example to walk the first level of a new game to its forward exit:
//
//     auto chemin = korva::test::chemin_vers_bord(plateau, l, c, korva::test::Sens::avant);
//     // chemin->fleches: one arrow code (72 up, 80 down, 75 left, 77 right) per cell, the last
//     // one stepping off the board, which makes the game load the next level.
//     // chemin->rencontres: what each step resolves, in order, with the index of the arrow
//     // that enters the cell (`pas`).
//
// Playing it through the game, for each arrow in turn:
//  - a step whose index is the `pas` of a closed door (PORTE_FERMEE) asks the door question:
//    answer 'y' and the hero enters;
//  - a step onto a locked door (PORTE_CLE) is refused: answer 'y', pass the pause, use the key
//    numbered `numero` from the bag (which opens the door just tried), then press the same
//    arrow again;
//  - monsters and the Guardian start a fight, armor, swords and parchments show a message and
//    pause, potions and keys go into the bag, gold is counted silently.
// The search prefers the way with the fewest fights (each costs `Contraintes::cout_combat`
// steps), then the shortest.
#pragma once

#include "records/enregistrements.hpp"

#include <compare>
#include <cstddef>
#include <optional>
#include <vector>

namespace korva::test {

struct Position {
    int ligne;
    int colonne;
    auto operator<=>(const Position&) const = default;
};

// Where a level leads: back to the previous level (its left edge) or forward (the other edges).
enum class Sens { arriere, avant };

// A way off the level: a border cell that is not a wall or rocks, and the arrow that steps
// off the board from it (a corner cell gives one exit per edge it lies on).
struct Sortie {
    Position depart;
    int fleche;
    Sens sens;
    bool operator==(const Sortie&) const = default;
};

// A cell resolved by the walk.
struct Rencontre {
    std::size_t pas;   // index in `fleches` of the arrow that enters the cell
    Position position; // the cell
    int typeCase;      // what stood there (PORTE_FERMEE, PORTE_CLE, MONSTRE, CLE, POTION, ...)
    int numero;        // the key number of a key or a locked door, 0 for anything else
};

struct Chemin {
    std::vector<int> fleches;
    std::vector<Rencontre> rencontres;

    // The doors (both kinds) and the keys met, in order.
    std::vector<Rencontre> portes() const;
    std::vector<Rencontre> cles() const;
    // How many fights (monsters and the Guardian) the walk starts.
    int combats() const;
};

struct Contraintes {
    // Cells the walk must not enter, as if they were walls.
    std::vector<Position> interdites;
    // The price of a fight, in steps: the walk goes round a monster when the detour is shorter.
    int cout_combat = 1000;
};

// The hero's cell: the first, in row order, whose status is 1; {-1, -1} when there is none.
Position position_du_heros(const Plateau& plateau, int l, int c);

// Every exit of the level, in row order of its border cells.
std::vector<Sortie> sorties_du_niveau(const Plateau& plateau, int l, int c);

// The walk from the hero to `sortie`, ending with the arrow that leaves the level there;
// nothing when it cannot be reached.
std::optional<Chemin> chemin_vers_sortie(const Plateau& plateau, int l, int c, const Sortie& sortie,
                                         const Contraintes& contraintes = {});

// The cheapest walk out of the level in direction `sens`, whichever exit it uses.
std::optional<Chemin> chemin_vers_bord(const Plateau& plateau, int l, int c, Sens sens,
                                       const Contraintes& contraintes = {});

// The walk from the hero onto `cible` (the last arrow enters it; nothing leaves the level).
std::optional<Chemin> chemin_vers_case(const Plateau& plateau, int l, int c, Position cible,
                                       const Contraintes& contraintes = {});

} // namespace korva::test
