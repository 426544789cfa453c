// A page's WebSocket told of each change of the lists (CHEMIN_EVENEMENTS, protocole.hpp): the
// JSON at once, then each new one. A page that does not read keeps one waiting at most, the
// newest, besides the one being sent: however slow it is, it holds no more.
#pragma once

#include "web/connexion.hpp"
#include "web/routes.hpp"
#include "web/service.hpp"

namespace korva::web {

// Accepts on `connexion` the WebSocket that `requete` asks for, then pushes the lists on it
// for as long as it lasts.
void ouvrir_evenements(Connexion connexion, const Requete& requete, Service& s,
                       Abonnement abonnement);

} // namespace korva::web
