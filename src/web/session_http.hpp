// One connection of a browser: its requests read, each answered as the routes say, until one
// opens a WebSocket, whose terminal's session then takes the connection over.
#pragma once

#include "web/acces.hpp"
#include "web/connexion.hpp"
#include "web/service.hpp"

#include <string>

namespace korva::web {

// Serves `connexion`, from `pair`, which holds `place` among its address's (none for a proxy's).
void servir_http(Connexion connexion, Service& s, std::string pair, Places::Jeton place);

} // namespace korva::web
