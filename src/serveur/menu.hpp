// The lobby's menus as data: a menu is its heading, its lines and the words under them; a line
// is the key that chooses it, its words and what it does. Drawing a menu, the keys it takes and
// what each key does all come from its lines (Hall::menu), so a new entry is one line here and
// the function it names. Leaving is 'q' in every menu, so that an entry added before it moves
// no key a player knows. The menus themselves are Hall's, in serveur/menus.cpp.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korva::serveur {

class Hall;

struct EntreeMenu {
    char touche;
    std::string_view texte;
    // What the entry does, for the account logged in (empty before a login).
    void (Hall::*action)(const std::string& nom);
};

struct Menu {
    std::string_view titre; // empty: the account's name
    std::span<const EntreeMenu> entrees;
    std::string_view pied; // under the lines, after a blank one; empty: nothing
};

} // namespace korva::serveur
