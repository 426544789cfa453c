// The lobbies logged in to each account, so that the operator can end them: each holds a lock on
// a file of its own, sessions/NAME/PID under the data folder, for as long as it runs. The
// system lets go of the lock however a lobby ends, so a file whose lock is free is a lobby's
// that has ended: it is removed when next met.
#pragma once

#include "serveur/configuration.hpp"

#include <string>

namespace korva::serveur {

// The longest the operator's command waits for the lobbies it ends: each saves the game under
// way first, as on a lost connection.
inline constexpr int FIN_SESSIONS_MAX_MS = 30000;

// This lobby, logged in to the account `nom`, for as long as this lives.
class Session {
public:
    Session(const Configuration& c, const std::string& nom);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    // False when its file could not be made: the operator could not end this lobby.
    bool tenue() const { return descripteur_ >= 0; }

private:
    int descripteur_ = -1;
    std::string chemin_;
};

// How many lobbies of an account were ended, and how many were still ending when the wait
// stopped.
struct Fins {
    int terminees = 0;
    int en_cours = 0;
};

// Hangs up every lobby logged in to the account `nom` (a game under way is saved, as on a lost
// connection) and waits for their end, FIN_SESSIONS_MAX_MS at most.
Fins terminer_sessions(const Configuration& c, const std::string& nom);

} // namespace korva::serveur
