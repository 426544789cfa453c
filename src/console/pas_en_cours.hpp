// A step under way (a move and all it resolves, an object used from the bag) plays to its end
// whatever happens meanwhile, so that a game saved for Ctrl-C or a lost terminal holds the game
// as it stood before the step or after it, never half of one: points without the monster or
// the parchment taken, a fight's wounds with the monster whole.
#pragma once

#include "console/console_relais.hpp"

#include <functional>
#include <optional>

namespace korva {

// What a key read inside a step gives for Ctrl-C, or once the terminal is gone: the code Ctrl-C
// types. A question takes it as the answer that changes nothing.
inline constexpr int TOUCHE_CTRL_C = 3;

// The game's console while a step is under way: it stands on the console below for as long as
// it lives. Ctrl-C at a wait is remembered and stands for the key that wait wants (a pause ends,
// a key read gives TOUCHE_CTRL_C, a typed line is empty); once the terminal is lost, no wait
// waits any more, and the dice go on as they would have.
class PasEnCours final : public ConsoleRelais {
public:
    PasEnCours();
    ~PasEnCours() override;
    PasEnCours(const PasEnCours&) = delete;
    PasEnCours& operator=(const PasEnCours&) = delete;

    // The step is over: the console below is the game's again, and what interrupted the step
    // is handed back, for the game to meet at the step's edge.
    std::optional<PartieInterrompue> finir();

    void pause() override;
    int lire_touche() override;
    std::string lire_ligne() override;
    void dormir(int millisecondes) override;
    // With the terminal gone, the process ends as the signal that took it ends it.
    [[noreturn]] void terminer(int statut) override;

private:
    // Runs one wait of the console below; false when it was interrupted (or the terminal is
    // already gone, and nothing is waited for).
    bool attendre(const std::function<void()>& attente);

    bool installee_ = true;
    std::optional<PartieInterrompue> interruption_;
};

// Plays `pas` as one step, then meets what interrupted it: thrown at the step's edge, where the
// game asks or saves as it does at a turn's.
void jouer_un_pas(const std::function<void()>& pas);

} // namespace korva
