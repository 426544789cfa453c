// The server as the page shows it at one moment (protocole.hpp): the lists' JSON, and what a
// watch, a replay or an account's list asks for, found by name. Made from the games the games
// log told, the server's folders and its registry, on the state thread (etat.hpp); read, never
// changed, by the connections.
#pragma once

#include "files/journal_parties.hpp"
#include "serveur/classement.hpp"
#include "serveur/configuration.hpp"
#include "serveur/parties.hpp"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace korva::web {

// The games the log told last: bounded whatever the log holds, each account's list among them.
inline constexpr std::size_t PARTIES_RETENUES = 4000;
// An account's own list, the newest first.
inline constexpr std::size_t PARTIES_PAR_COMPTE = 20;

// The latest games of the games log, by account and by replay.
struct Index {
    // Each account's latest games, by the account's name in hexadecimal.
    std::map<std::string, std::vector<PartieFinie>> par_compte;
    // Every game listed whose recording the log names, by the name a replay asks for it by.
    std::map<std::string, PartieFinie> rejeux;
};

struct Instantane {
    std::shared_ptr<const std::string> json = std::make_shared<const std::string>();
    std::map<std::string, serveur::Partie> en_cours; // by the name a watch asks for it by
    std::shared_ptr<const Index> index = std::make_shared<const Index>();
};

// What the log told so far, the newest first: its latest games, of a server's account, and
// the latest of them won.
struct JournalLu {
    std::deque<PartieFinie> dernieres; // PARTIES_RETENUES at most
    std::deque<PartieFinie> gagnees;
    // Takes the games the log added, oldest first.
    void ajouter(std::vector<PartieFinie> parties);
};

std::shared_ptr<const Index> indexer(const JournalLu& lu);

// The snapshot, and the same JSON with each idle time in whole minutes: what the page needs
// to be told again when it changes.
struct Fait {
    std::shared_ptr<const Instantane> instantane;
    std::string cle;
};
// What one look keeps for the next, so that each file is read again only once changed: every
// account's registry, and each game in progress's.
struct Memoires {
    serveur::Registres registres;
    serveur::MemoireEnCours en_cours;
};
Fait faire_instantane(const serveur::Configuration& c, const JournalLu& lu,
                      std::shared_ptr<const Index> index, Memoires& memoires);

// A game ended, as the lists give it: with its replay's name while its recording is kept.
std::string json_partie_finie(const serveur::Configuration& c, const PartieFinie& p);

} // namespace korva::web
