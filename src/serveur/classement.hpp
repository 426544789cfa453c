// The server's ranking: every account's own registry merged, each hero named with its account.
// The lobby makes it when a player asks for it; korva-web keeps what it read between two looks,
// so that a server of thousands of accounts costs it a look at each registry's date, and a read
// of the few that changed.
#pragma once

#include "serveur/configuration.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace korva::serveur {

struct Rang {
    std::string compte;
    std::string heros;
    int score;
};

// Whether `a` ranks before `b`: the higher score first; on a tie, by account, then by hero,
// byte for byte, so that the order never hangs on the order the system lists the folders in.
bool avant(const Rang& a, const Rang& b);

// The accounts' registries as last read.
class Registres {
public:
    // The first `nombre` of every account's heroes, ranked. A registry is read (by the game's
    // own reader) only when its date or size changed since; one the game would refuse, or that
    // is no file of the account's own (a link an older server left), ranks nobody, and the
    // server's log says so each time it is found so.
    std::vector<Rang> classement(const Configuration& c, std::size_t nombre);

private:
    struct Lu {
        std::filesystem::file_time_type date;
        std::uintmax_t taille = 0;
        std::vector<Rang> rangs;
    };
    std::map<std::string, Lu> lus_; // by account
};

// The same, every registry read now.
std::vector<Rang> classement(const Configuration& c, std::size_t nombre);

} // namespace korva::serveur
