// What the page shows beside its terminal, as JSON: the ranking, the latest games won and the
// games in progress, each with the name a watch asks for it by.
#pragma once

#include "serveur/configuration.hpp"
#include "serveur/parties.hpp"
#include "web/victoires.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace korva::web {

std::string etat_du_serveur(const serveur::Configuration& c, Victoires& victoires);

// The game in progress a watch names (as etat_du_serveur names it), when it is one now.
std::optional<serveur::Partie> partie_nommee(const serveur::Configuration& c, std::string_view nom);

} // namespace korva::web
