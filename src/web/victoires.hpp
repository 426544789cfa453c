// The games won on the server: a won game is not saved, so the ranking never shows it; its
// recording does, played again to its end where nobody sees it.
#pragma once

#include "serveur/configuration.hpp"
#include "serveur/parties.hpp"

#include <cstddef>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace korva::web {

// The `nombre` most recent games won among the games ended, the newest first. Each recording
// is played again once (in a process of its own, so that its end ends nothing here) and its
// outcome kept while the file stays as it was.
class Victoires {
public:
    std::vector<serveur::Partie> recentes(const serveur::Configuration& c, std::size_t nombre);

private:
    struct Issue {
        std::time_t ecrite;
        bool gagnee;
    };
    std::map<std::string, Issue> connues_;
};

} // namespace korva::web
