// Taking the Windows console and giving it back whatever ends the game, Ctrl-C included: its
// modes, colours, code page and title.
#pragma once

#include <windows.h>

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

} // namespace korva
