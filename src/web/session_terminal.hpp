// One WebSocket of a page, bound to a program on a pseudo-terminal of its own: the page's keys
// go in, the screen's bytes come out, and the page's size is the terminal's (protocole.hpp).
// Closing either end ends both: the program is hung up as on a lost terminal, a game under way
// saved.
#pragma once

#include "web/connexion.hpp"
#include "web/routes.hpp"
#include "web/service.hpp"

namespace korva::web {

// Accepts on `connexion` the WebSocket that `requete` asks for, then runs `ouverture`'s program
// for as long as both last.
void ouvrir_terminal(Connexion connexion, const Requete& requete, Service& s, Ouverture ouverture);

} // namespace korva::web
