// What the page shows beside its terminal, as JSON: the ranking, the latest games won and the
// games in progress, each with the name a watch asks for it by.
#pragma once

#include "serveur/configuration.hpp"
#include "serveur/parties.hpp"
#include "web/victoires.hpp"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace korva::web {

// The state, looked at again once it is a few seconds old, however many pages ask for it.
class Etat {
public:
    const std::string& json(const serveur::Configuration& c);

private:
    Victoires victoires_;
    std::string json_;
    std::chrono::steady_clock::time_point quand_;
};

// The game in progress a watch names (as etat_du_serveur names it), when it is one now.
std::optional<serveur::Partie> partie_nommee(const serveur::Configuration& c, std::string_view nom);

} // namespace korva::web
