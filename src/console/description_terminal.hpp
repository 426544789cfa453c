// What one terminal is sent for each thing the game asks of it, as its own description says:
// filled in once at start-up (from terminfo on POSIX systems), then only read, so that the
// frame writer that uses it makes no system call and builds everywhere.
#pragma once

#include "console/console.hpp"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

struct DescriptionTerminal {
    int lignes = CONSOLE_LIGNES;
    int colonnes = CONSOLE_COLONNES;

    // The cursor to a cell: `adresses[ligne * colonnes + colonne]`. Relative moves of n cells,
    // at index n (index 0 unused); empty where the terminal has no such move.
    std::vector<std::string> adresses;
    std::vector<std::string> haut, bas, droite, gauche;
    std::string retour = "\r"; // to the first column of the line

    std::string effacer_ecran;     // the whole screen, the cursor to the top-left corner
    std::string effacer_fin_ligne; // from the cursor on; may be empty
    std::vector<std::string> effacer_cellules; // n cells from the cursor, at index n; may be empty

    // Colours, per console index (0 to 15, bright from 8), text and background: none at all
    // when `couleurs` is false. `origine` puts every attribute back as the terminal had it.
    bool couleurs = false;
    std::array<std::string, 16> texte;
    std::array<std::string, 16> fond;
    // Where bright text is bold text: a move from bright to dark starts again from `origine`.
    bool texte_gras = false;
    std::string origine;

    // How each code page 437 byte shows; those marked `trace` come from the terminal's
    // line-drawing set, between `entrer_traces` and `sortir_traces`.
    struct Glyphe {
        std::string texte;
        bool trace = false;
    };
    std::array<Glyphe, 256> glyphes;
    // The locale is UTF-8: a name's characters are sent as they are, not as '?'.
    bool utf8 = false;
    std::string entrer_traces;
    std::string sortir_traces;

    // Taking the screen (the alternate one, where the terminal has it, and the line-drawing
    // set made ready) and giving it back.
    std::string prendre_ecran;
    std::string rendre_ecran;
    std::string curseur_visible;
    // The window's title, around its text; empty where the terminal shows none.
    std::string titre_debut;
    std::string titre_fin;
    // xterm's window operations: the window may be asked for a size.
    bool taille_fenetre = false;
};

// Fills `glyphes`: UTF-8 under a UTF-8 locale; otherwise the terminal's line-drawing set for
// the characters its `acsc` pairs hold (the VT100 character, then the terminal's), and plain
// ASCII for every other.
void choisir_glyphes(DescriptionTerminal& d, bool utf8, std::string_view acsc);

// The request for a window of that size, where the terminal takes one.
std::string demande_taille(const DescriptionTerminal& d, int lignes, int colonnes);

// What the game said last (`mots`, as the terminal shows it outside the line-drawing set) as the
// shell's screen keeps it once the game has ended: line by line as the game wrote it, tabs
// included, without the blanks that end a line; each line ends in `a_la_ligne`, and the shell's
// prompt comes on a line of its own.
std::string derniers_mots(std::string_view mots, std::string_view a_la_ligne);

// Puts the ESC [ … m sequences that follow each other in `sequences` into one.
std::string fusionner_sgr(const std::string& sequences);

} // namespace korva
