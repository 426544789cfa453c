// A line typed in the lobby, edited key by key so that no byte the server did not expect gets
// in: printable ASCII only, a bounded length, shown as typed or hidden (a password).
#pragma once

#include "console/console.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korva::serveur {

// Reads a line of at most `longueur` characters: Backspace takes one back, Ctrl-U all, Enter
// ends it; other control keys, escape sequences and characters past the limit are left out.
// Nothing when Ctrl-D is typed on an empty line (back to the menu). A hidden line shows
// nothing of what is typed.
std::optional<std::string> saisir(Console& console, std::size_t longueur, bool cachee = false);

// A choice of a menu: the key, once it is one of `touches`.
char choisir(Console& console, std::string_view touches);

} // namespace korva::serveur
