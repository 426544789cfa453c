// A watcher of a player's game through korva-web (`/watch?game=...`): each key the player sends is
// timed to the first byte of the screen it brings on the watcher's side.
#pragma once

#include "joueur.hpp"

namespace korva::charge {

class Spectateur {
public:
    explicit Spectateur(std::unique_ptr<Lien> lien);

    void commencer();
    // Its first screen came: the watch is under way.
    bool pret() const { return pret_; }
    bool perdu() const { return perdu_; }
    int statut() const { return statut_; } // the HTTP status that refused it, 0 for none
    // Keys of the watched game from now on are timed into `collecte` (none: no longer).
    void chronometrer(Collecte* collecte) { collecte_ = collecte; }
    void touche(Horloge::time_point moment);
    void fermer();

private:
    std::unique_ptr<Lien> lien_;
    Collecte* collecte_ = nullptr;
    std::optional<Horloge::time_point> attendue_;
    bool pret_ = false, perdu_ = false;
    int statut_ = 0;
};

} // namespace korva::charge
