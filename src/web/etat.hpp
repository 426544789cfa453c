// What the page shows beside its terminal, as JSON: the ranking, the latest games (won, and of
// any end), the games in progress, and each account's own latest games, each with the name a
// watch or a replay asks for it by. Made on a thread of its own, since reading the server's
// files can take long; the connections only ever read the last made, and are told of a change
// by a call the thread makes (which must only hand it over to their own thread).
#pragma once

#include "serveur/configuration.hpp"
#include "web/instantane.hpp"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace korva::web {

class Etat {
public:
    // Told the new JSON each time the lists change in what the page shows of them.
    using Publier = std::function<void(std::shared_ptr<const std::string>)>;

    Etat() = default;
    ~Etat() { arreter(); }
    Etat(const Etat&) = delete;
    Etat& operator=(const Etat&) = delete;

    // Starts looking at the server of `c`, again and again until `arreter`.
    void demarrer(const serveur::Configuration& c, Publier publier);
    // Stops looking; `publier` is not called any more once this returns.
    void arreter();
    // The last look; an empty one before the first.
    std::shared_ptr<const Instantane> instantane() const;

private:
    void regarder(std::stop_token arret);

    const serveur::Configuration* c_ = nullptr;
    Publier publier_;
    mutable std::mutex garde_;
    std::condition_variable_any reveil_;
    std::shared_ptr<const Instantane> instantane_ = std::make_shared<Instantane>();
    std::jthread fil_;
};

} // namespace korva::web
