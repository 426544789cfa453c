// Games watched live through korva-web under load: 100 players in their games, playing at their
// pace, then 500 watchers of one game, then 1,000 watchers spread over the 100 games (10 each);
// the watched players' keys timed to their own first byte and to each watcher's.
#pragma once

#include "spectateur.hpp"
#include "voie.hpp"

namespace korva::charge {

struct ResultatRegards {
    std::string quoi, raison;
    int voulus = 0, prets = 0, refus = 0; // refusals before a watch opened, each tried again
    Collecte joueurs, spectateurs;
    double cpu_repos = 0; // korva-web and all it runs, everyone thinking
    double pss_par_spectateur_ko = 0;
    double charge = 0;
};

// The watched players log in to the accounts from `premier_compte` on.
std::vector<ResultatRegards> mesurer_regards(asio::io_context& io, int port, pid_t service,
                                             int premier_compte, Horloge::time_point limite);

} // namespace korva::charge
