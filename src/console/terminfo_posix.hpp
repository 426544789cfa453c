// The terminal's own description, read from terminfo through ncurses' library.
#pragma once

#include "console/description_terminal.hpp"

#include <optional>
#include <string>

namespace korva {

// What the game sends the terminal of type `term`: UTF-8 glyphs or the line-drawing set and
// ASCII, colours or none. Nothing when the terminal cannot address its cursor or clear its
// screen, or has no description: `raison` then says so in one line. The screen drawn on has
// `lignes` lines of `colonnes` columns.
std::optional<DescriptionTerminal> decrire_terminal(const std::string& term, bool utf8,
                                                    bool couleurs, std::string& raison,
                                                    int lignes = CONSOLE_LIGNES,
                                                    int colonnes = CONSOLE_COLONNES);

// The same for the terminal of this process, as TERM, NO_COLOR and the locale's character set
// say.
std::optional<DescriptionTerminal> decrire_ce_terminal(std::string& raison, int lignes,
                                                       int colonnes);

} // namespace korva
