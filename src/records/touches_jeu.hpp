// The keys of the turn loop, one row each: the code the key read delivers, what the loop does
// with it, and its line in the board's command legend or in the help screen's list of moves.
// A key is added here and in the loop's dispatch (src/game/deroulement.cpp).
#pragma once

#include <iterator>

namespace korva {

// Arrow key codes, as the key read delivers them after the prefix code; 'H', 'P', 'K' and 'M'
// carry the same codes and so move the hero too.
inline constexpr int TOUCHE_PREFIXE = 224;
inline constexpr int FLECHE_HAUT = 72;
inline constexpr int FLECHE_BAS = 80;
inline constexpr int FLECHE_GAUCHE = 75;
inline constexpr int FLECHE_DROITE = 77;

enum class Action { deplacer, sac, sauvegarder, aide, quitter };

// Where a key is listed: under the board, or in the help screen's moves.
enum class Legende { plateau, deplacements };

struct ToucheJeu {
    int code;
    Action action;
    Legende legende;
    char signe;        // what its legend line shows for it (the arrows' code page 437 glyphs)
    const char* texte; // what its legend line says it does
};

// clang-format off
inline constexpr ToucheJeu TOUCHES_JEU[] = {
    {FLECHE_HAUT,   Action::deplacer,    Legende::deplacements, '\x18', "up"},
    {FLECHE_BAS,    Action::deplacer,    Legende::deplacements, '\x19', "down"},
    {FLECHE_GAUCHE, Action::deplacer,    Legende::deplacements, '\x1B', "left"},
    {FLECHE_DROITE, Action::deplacer,    Legende::deplacements, '\x1A', "right"},
    {'i',           Action::sac,         Legende::plateau,      'i',    "inventory - contents of the bag"},
    {'s',           Action::sauvegarder, Legende::plateau,      's',    "save your game"},
    {'h',           Action::aide,        Legende::plateau,      'h',    "help"},
    {'q',           Action::quitter,     Legende::plateau,      'q',    "save and quit"},
};
// clang-format on

// The key of a code; nullptr for a code that is no key of the loop (the arrows' prefix code
// among them: that turn only redraws).
constexpr const ToucheJeu* touche_jeu(int code) {
    for (const ToucheJeu& touche : TOUCHES_JEU) {
        if (touche.code == code) {
            return &touche;
        }
    }
    return nullptr;
}

// The code of the first key that gives `action`.
constexpr int code_de(Action action) {
    for (const ToucheJeu& touche : TOUCHES_JEU) {
        if (touche.action == action) {
            return touche.code;
        }
    }
    return -1;
}

constexpr bool touches_tenues() {
    for (std::size_t i = 0; i < std::size(TOUCHES_JEU); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (TOUCHES_JEU[i].code == TOUCHES_JEU[j].code) {
                return false;
            }
        }
        if (TOUCHES_JEU[i].code == TOUCHE_PREFIXE) {
            return false;
        }
    }
    return true;
}
// Two rows of one code would leave the second unreachable; the prefix code is no key.
static_assert(touches_tenues());

} // namespace korva
