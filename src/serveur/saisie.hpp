// A line typed in the lobby, edited key by key so that no byte the server did not expect gets
// in: printable ASCII only, a bounded length, shown as typed or hidden (a password).
#pragma once

#include "console/console.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korva::serveur {

// Thrown when no key comes within the lobby's idle time: the lobby then closes.
struct HallInactif {};

// One key within `delai_ms` milliseconds (-1: no end); HallInactif when none comes.
int touche_du_hall(Console& console, int delai_ms);

// Reads a line of at most `longueur` characters: Backspace takes one back, Ctrl-U all, Enter
// ends it; other control keys, escape sequences and characters past the limit are left out.
// Nothing when Ctrl-D is typed on an empty line (back to the menu). A hidden line shows
// nothing of what is typed. Each key is waited for `delai_ms` at most, as touche_du_hall.
std::optional<std::string> saisir(Console& console, std::size_t longueur, bool cachee = false,
                                  int delai_ms = -1);

// A choice of a menu: the key, once it is one of `touches`.
char choisir(Console& console, std::string_view touches, int delai_ms = -1);

} // namespace korva::serveur
