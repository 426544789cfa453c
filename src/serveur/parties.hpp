// What the lobby lists: the games in progress on the server, every account's recordings, and
// the shared ranking.
#pragma once

#include "serveur/configuration.hpp"

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace korva::serveur {

// A game's recording, written now or done.
struct Partie {
    std::string compte;
    std::string heros;
    std::string chemin; // the recording, absolute
    std::time_t ecrite; // when it was written last
    // The same, as finely as the system keeps it: two games of one second stand in order.
    std::filesystem::file_time_type modifiee;
    // Of a game in progress, as its hero's last save, or its start, holds them.
    int niveau = 0;
    int score = 0;
};

// The games being played now (their recordings still written), the longest idle last.
std::vector<Partie> parties_en_cours(const Configuration& c);
// Every account's recordings, the last written first.
std::vector<Partie> enregistrements(const Configuration& c);
// Keeps only the account's most recent recordings, as many as the server allows.
void elaguer_enregistrements(const Configuration& c, const std::string& compte);

struct Rang {
    std::string heros;
    int score;
};
// The shared registry's players, as ranked there; nothing when it cannot be read.
std::vector<Rang> classement(const Configuration& c);

} // namespace korva::serveur
