// What the lobby and korva-web list: the games in progress on the server, and the games ended
// (from the games log, each with its recording).
#pragma once

#include "files/journal_parties.hpp"
#include "serveur/configuration.hpp"

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korva::serveur {

// A game being played now.
struct Partie {
    std::string compte;
    std::string heros;
    std::string chemin; // its recording, absolute
    std::time_t ecrite; // when the recording was written last: the game's last move
    // As its hero's last save, or its start, holds them.
    int niveau = 0;
    int score = 0;
};

// The games being played now, the longest idle last.
std::vector<Partie> parties_en_cours(const Configuration& c);

// The same for one who looks again and again (korva-web's state thread, every second): what a
// look found is kept, and a game's recording, hero, level and score are read again only once
// its files changed, so that a look costs a few calls to the system a game.
class MemoireEnCours {
public:
    std::vector<Partie> parties_en_cours(const Configuration& c);

private:
    struct Suivie {
        std::filesystem::file_time_type dossier;    // of the account's recordings' folder
        std::filesystem::file_time_type sauvegarde; // of its hero's save, when there is one
        Partie partie;
    };
    std::map<std::string, Suivie> suivies_; // by account
};
// The game `compte` is playing now, when it plays one and its recording can be found.
std::optional<Partie> partie_de(const Configuration& c, const std::string& compte);
// Only its recording: the newest of the account's, while its game still writes it.
std::optional<std::string> enregistrement_en_cours(const Configuration& c,
                                                   const std::string& compte);

// The `nombre` latest games ended whose recording is still kept (and that `garder` keeps, all
// when it is empty), the newest first.
std::vector<PartieFinie>
parties_finies(const Configuration& c, std::size_t nombre,
               const std::function<bool(const PartieFinie&)>& garder = nullptr);
// The recording of a game ended, absolute.
std::string chemin_enregistrement(const Configuration& c, const PartieFinie& p);

// Keeps only the account's most recent recordings, as many as the server allows, the time each
// recording's name begins with deciding which are recent; an empty one goes too.
void elaguer_enregistrements(const Configuration& c, const std::string& compte);

} // namespace korva::serveur
