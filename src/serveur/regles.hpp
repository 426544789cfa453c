// Who may come in, play and watch, and how many at once: the server's rules in one place, which
// ssh's lobbies and korva-web both go through, so that a limit set once holds for both ways in.
// Every count is of places held across the server's processes (serveur/places.hpp).
#pragma once

#include "serveur/configuration.hpp"
#include "serveur/places.hpp"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korva::serveur {

// A way in refused: the setting that refused it, and what the player is told.
struct Refus {
    std::string_view reglage;
    std::string message;
};

// The places a connection, a game or a watch holds for as long as it lasts; or why it may not.
struct Admission {
    std::vector<Place> places;
    std::optional<Refus> refus;
};

// A lobby for a client at `adresse` (ssh's, or a page's through korva-web): its address's
// connections and the lobbies at once.
Admission admettre_hall(const Configuration& c, const std::string& adresse);
// A game on the server for a client at `adresse`: the games at once.
Admission admettre_partie(const Configuration& c, const std::string& adresse);
// A watch of `compte`'s game in progress: the game's watchers and the server's. From a lobby,
// the lobby holds its address's place already; a page's watch comes without one
// (`avec_connexion`: take its address's place too).
Admission admettre_regard(const Configuration& c, const std::string& compte,
                          const std::string& adresse, bool avec_connexion);

// A replay of a game ended, from its recording, for a page at `adresse`: its address's place
// (a page's replay comes without one) and the server's watchers, since it is a watch too.
Admission admettre_rejeu(const Configuration& c, const std::string& adresse);

// Refusals are summed up in the log: one line per address, setting and minute at most, naming
// the setting that refused, and how many more it refused since the last line. `etat` is the
// summary so far (empty at first), changed by a refusal at `maintenant`; what to log now comes
// back.
std::vector<std::string> resumer_refus(std::string& etat, const std::string& adresse,
                                       std::string_view reglage, std::time_t maintenant);
// The same for the lobbies, which share their summary in a file of the server's data.
void noter_refus(const Configuration& c, const std::string& adresse, std::string_view reglage);

} // namespace korva::serveur
