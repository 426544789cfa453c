// The accounts whose game is being played now: each holds a file of its name in one folder of
// the server's data, locked for as long as its game runs. One account plays one game at once,
// and the lists read that one small folder rather than every account's.
#pragma once

#include "serveur/configuration.hpp"

#include <optional>
#include <string>
#include <vector>

namespace korva::serveur {

class PartieTenue {
public:
    // The account's place among the games in progress; nothing when its game is being played
    // already (or the folder cannot be written).
    static std::optional<PartieTenue> prendre(const Configuration& c, const std::string& compte);
    PartieTenue(PartieTenue&& autre) noexcept;
    PartieTenue& operator=(PartieTenue&&) = delete;
    PartieTenue(const PartieTenue&) = delete;
    PartieTenue& operator=(const PartieTenue&) = delete;
    ~PartieTenue();

private:
    PartieTenue(std::string chemin, int descripteur)
        : chemin_(std::move(chemin)), descripteur_(descripteur) {}
    std::string chemin_;
    int descripteur_ = -1;
};

// The accounts playing now, in no order.
std::vector<std::string> comptes_en_jeu(const Configuration& c);

} // namespace korva::serveur
