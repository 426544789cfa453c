// The console of the platform the game runs on.
#pragma once

#include "console/console.hpp"

#include <memory>
#include <string>

namespace korva {

// The real console: the terminal on POSIX systems, the console window on Windows. Nothing when
// the game cannot be played there (on POSIX, input or output not a terminal, or a terminal
// that cannot address its cursor): `raison` then says why in one line, and nothing has been
// written to the terminal. The screen drawn on has `lignes` lines of `colonnes` columns: a
// smaller terminal shows a notice in its place until it is made large enough.
std::unique_ptr<Console> creer_console_terminal(std::string& raison, int lignes = CONSOLE_LIGNES,
                                                int colonnes = CONSOLE_COLONNES);
inline std::unique_ptr<Console> creer_console_terminal() {
    std::string raison;
    return creer_console_terminal(raison);
}

} // namespace korva
