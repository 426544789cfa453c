// The kinds of cell (`typeCase`), one row each. The loader and its checker, the board view, the
// help legend, move resolution, the level search and the balance tool, the tests' map legend
// and tools/niveaux/generer_niveaux.py all take what they know of a kind from this table, so a
// kind is added here. The generator reads the constants and the rows as text: keep each on one
// line, in the shape they have.
#pragma once

#include "records/couleurs.hpp"

#include <iterator>

namespace korva {

inline constexpr int CASE_VIDE = 0;
inline constexpr int MUR_EXTERIEUR = 1;
inline constexpr int MUR_INTERIEUR = 2;
inline constexpr int PORTE_FERMEE = 3;
inline constexpr int CASE_PASSAGE = 4;
inline constexpr int EBOULEMENT = 5;
inline constexpr int PORTE_CLE = 6;
inline constexpr int MONSTRE = 7;
inline constexpr int POTION = 8;
inline constexpr int ARMURE = 9;
inline constexpr int EPEE = 10;
inline constexpr int PIECE_OR = 11;
inline constexpr int CLE = 12;
inline constexpr int PARCHEMIN = 13;
inline constexpr int GARDIEN = 14;

struct SorteCase {
    int code;
    const char* nom;
    char glyphe; // the code page 437 byte the board shows once the cell is seen
    int couleur; // its colour on black
    char lettre; // its sign on the maps of tools/niveaux and of the transcripts
    bool bloque; // walls and rocks: no step enters it, sight stops at it
    bool objet;  // taken or used when stepped on, then the cell is empty
    bool numero; // carries a key number (status minus DECALAGE_CLE): the maps' letter is key 1's
    int rang;    // its row in the help legend, from 1 (0: none)
    const char* aide; // what the help legend calls it
};

// clang-format off
inline constexpr SorteCase SORTES_CASES[] = {
//   code            name                glyph   colour         map  blocks object number  help
    {CASE_VIDE,      "empty floor",      '\x00', BLANC,         '.', false, false, false,  0, ""},
    {MUR_EXTERIEUR,  "external wall",    '\x23', GRIS_FONCE,    '#', true,  false, false,  1, "external wall"},
    {MUR_INTERIEUR,  "internal wall",    '\x2B', GRIS_CLAIR,    '+', true,  false, false,  2, "internal wall"},
    {PORTE_FERMEE,   "closed door",      '\x40', BLANC,         '@', false, false, false,  3, "closed door"},
    {CASE_PASSAGE,   "passage",          '\x20', BLANC,         ':', false, false, false,  0, ""},
    {EBOULEMENT,     "collapsed rocks",  '\x2A', BLANC,         '*', true,  false, false,  4, "collapsed rocks"},
    {PORTE_CLE,      "locked door",      '\x40', BLANC,         'A', false, false, true,   0, ""},
    {MONSTRE,        "monster",          '\x94', ROUGE_CLAIR,   'M', false, false, false,  7, "a monster"},
    {POTION,         "potion",           '\xE8', MAGENTA_FONCE, '!', false, true,  false,  8, "a potion"},
    {ARMURE,         "armor",            '\xED', CYAN_FONCE,    '[', false, true,  false,  9, "a armor"},
    {EPEE,           "sword",            '\xAA', BLEU_CLAIR,    ')', false, true,  false, 10, "a sword"},
    {PIECE_OR,       "gold coin",        '\x0F', JAUNE,         '$', false, true,  false, 11, "gold coin"},
    {CLE,            "key",              '\x14', ROUGE_FONCE,   'a', false, true,  true,  12, "a key"},
    {PARCHEMIN,      "parchment",        '\x15', VERT_FONCE,    '?', false, true,  false, 13, "a parchment"},
    {GARDIEN,        "Dungeon Guardian", '\xBE', ROUGE_CLAIR,   '&', false, false, false,  6, "The Dungeon Guardian"},
};
// clang-format on

inline constexpr int NOMBRE_SORTES = static_cast<int>(std::size(SORTES_CASES));

// The help legend's row for the hero, who is no kind of cell.
inline constexpr int RANG_AIDE_HEROS = 5;

constexpr bool sorte_connue(int typeCase) {
    return typeCase >= 0 && typeCase < NOMBRE_SORTES;
}

// The kind of a known code.
constexpr const SorteCase& sorte(int typeCase) {
    return SORTES_CASES[typeCase];
}

// The key number a map sign gives a kind: 1 for the kind's own sign, 2 to 9 for the eight signs
// that follow the sign of a kind that carries a number; 0 when the sign is not the kind's.
constexpr int numero_du_signe(const SorteCase& s, char signe) {
    const int numero = signe - s.lettre + 1;
    return numero == 1 || (s.numero && numero > 1 && numero < 10) ? numero : 0;
}

// What every kind needs to be loaded, drawn, saved, listed and walked: its row at its code, map
// signs of its own (the heroes' 'S' and 'R' apart), and a help row of its own.
constexpr bool table_des_sortes_tenue() {
    for (int i = 0; i < NOMBRE_SORTES; ++i) {
        const SorteCase& s = SORTES_CASES[i];
        const bool aide = s.rang == 0 || (s.rang > 0 && s.rang <= NOMBRE_SORTES + 1 &&
                                          s.rang != RANG_AIDE_HEROS && s.aide[0] != '\0');
        if (s.code != i || s.lettre <= ' ' || s.lettre + (s.numero ? 8 : 0) > '~' || !aide) {
            return false;
        }
        for (int j = 0; j < i; ++j) {
            if (s.rang != 0 && s.rang == SORTES_CASES[j].rang) {
                return false;
            }
        }
    }
    for (char signe = '!'; signe <= '~'; ++signe) {
        int sortes = signe == 'S' || signe == 'R' ? 1 : 0;
        for (const SorteCase& s : SORTES_CASES) {
            sortes += numero_du_signe(s, signe) != 0 ? 1 : 0;
        }
        if (sortes > 1) {
            return false;
        }
    }
    return !sorte_connue(-1) && sorte_connue(0) && sorte_connue(NOMBRE_SORTES - 1) &&
           !sorte_connue(NOMBRE_SORTES);
}
static_assert(table_des_sortes_tenue());

} // namespace korva
