// Taking the Windows console and giving it back whatever ends the game, Ctrl-C included: its
// modes, colours, code page and title.
#pragma once

#include "console/console.hpp"

#include <windows.h>

#include <optional>
#include <string>

namespace korva {

// Light grey on black, the console's own colours, when the old ones cannot be read.
inline constexpr WORD ATTRIBUT_ORDINAIRE = 7;

// The console as the player had it.
struct EtatConsole {
    HANDLE entree = nullptr;
    HANDLE sortie = nullptr;
    bool entree_console = false;
    bool sortie_console = false;
    DWORD mode_entree = 0;
    DWORD mode_sortie = 0;
    UINT page_de_code = 0;
    WORD attribut = ATTRIBUT_ORDINAIRE;
    std::string titre;
};

// Keys one at a time, without echo (Ctrl-C still interrupts), or typed lines echoed.
DWORD mode_touches(DWORD mode);
DWORD mode_ligne(DWORD mode);

// Notes the console in `etat`, then sets it for the game: single keys, code page 437, glyphs
// below 0x20 drawn rather than obeyed; Ctrl-C gives it back before the process ends.
void prendre_console(EtatConsole& etat);
// Puts it back as `etat` holds it; Ctrl-C is left to the system again.
void rendre_console(const EtatConsole& etat);

// A game in progress is kept: Ctrl-C and Ctrl-Break are only counted, and the console window
// closed, a logoff or a shutdown only noted, the process held meanwhile until the game ends it.
void garder_console(bool gardee);
// What interrupts the kept game now: the console lost (at every call from then on), or one
// Ctrl-C (once for each).
std::optional<PartieInterrompue> interruption_console();
// The input has ended under a kept game.
void perdre_console();
// Set whenever the game is interrupted, for a wait to watch; reset by the waiter.
HANDLE reveil_console();

} // namespace korva
