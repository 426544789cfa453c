// What the page shows beside its terminal, as JSON: the ranking, the latest games won and the
// games in progress, each with the name a watch asks for it by. Made on a thread of its own,
// since reading the server's files can take long; the connections only ever read the last made.
#pragma once

#include "files/journal_parties.hpp"
#include "serveur/configuration.hpp"
#include "serveur/parties.hpp"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace korva::web {

// The server as it stood when last looked at.
struct Instantane {
    std::string json;
    std::map<std::string, serveur::Partie> en_cours; // by the name a watch asks for it by
};

class Etat {
public:
    Etat() = default;
    ~Etat();
    Etat(const Etat&) = delete;
    Etat& operator=(const Etat&) = delete;

    // Starts looking at the server of `c`, again and again until this ends.
    void demarrer(const serveur::Configuration& c);
    // The last look; an empty one before the first.
    std::shared_ptr<const Instantane> instantane() const;

private:
    void regarder(std::stop_token arret);

    const serveur::Configuration* c_ = nullptr;
    mutable std::mutex garde_;
    std::condition_variable_any reveil_;
    std::shared_ptr<const Instantane> instantane_ = std::make_shared<Instantane>();
    std::jthread fil_;
};

} // namespace korva::web
