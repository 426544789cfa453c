// The server's games log, as the lobby and korva-web read it: the game writes a line when it
// ends (files/journal_parties.hpp); these read the latest lines back without reading the whole
// log, and follow it as it grows.
#pragma once

#include "files/journal_parties.hpp"
#include "serveur/configuration.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korva::serveur {

// The log, in the server's data folder; each account's folder links it where its game writes.
std::string chemin_journal_parties(const Configuration& c);

// The latest `nombre` games of the log that `garder` keeps (all when it is empty), the newest
// first, read from the log's end backwards. Lines that are not a game's are passed over.
std::vector<PartieFinie>
dernieres_parties(const std::string& chemin, std::size_t nombre,
                  const std::function<bool(const PartieFinie&)>& garder = nullptr);

// The log's size now, where the games that end from now on will be found.
std::uintmax_t fin_du_journal(const std::string& chemin);
// The games of the lines written after the log's first `debut` bytes (up to a bound), in order.
std::vector<PartieFinie> parties_depuis(const std::string& chemin, std::uintmax_t debut);

// Follows the log: each call gives the games added since the last, oldest first. The first
// call starts near the log's end (its last `TAILLE_REPRISE` bytes), and so does a call after the
// log was replaced or cut; a line still being written waits for its end.
class SuiviJournal {
public:
    static constexpr std::uintmax_t TAILLE_REPRISE = std::uintmax_t{1} << 20;
    explicit SuiviJournal(std::string chemin) : chemin_(std::move(chemin)) {}
    std::vector<PartieFinie> suite();

private:
    std::string chemin_;
    std::uintmax_t lus_ = 0;
    std::uintmax_t fichier_ = 0; // the file followed (its inode), 0 before the first read
    std::string reste_;
};

} // namespace korva::serveur
