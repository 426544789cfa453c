// The balance tool's console: it shows nothing, answers the game's questions from the answers
// its player queued, and can keep every key the game reads, in the order the game reads them.
#pragma once

#include "console/console.hpp"

#include <deque>
#include <string>
#include <vector>

namespace korva {

// Thrown where the game would end the process: the hero is dead.
struct HerosMort {};

// One thing the game reads: a key (pauses take one too) or a typed line.
struct Lecture {
    enum class Sorte { touche, pause, ligne } sorte;
    int code = 0;
    std::string texte;
};

class ConsoleMuette final : public Console {
public:
    // Becomes the game's console for as long as it lives.
    ConsoleMuette();
    ~ConsoleMuette() override;
    ConsoleMuette(const ConsoleMuette&) = delete;
    ConsoleMuette& operator=(const ConsoleMuette&) = delete;

    // The answers to the next questions, in order.
    void repondre_touche(int code) { reponses_.push_back({Lecture::Sorte::touche, code, {}}); }
    void repondre_ligne(std::string texte) {
        reponses_.push_back({Lecture::Sorte::ligne, 0, std::move(texte)});
    }
    // Keeps every read in `journal` from now on (nothing when null).
    void tenir_journal(std::vector<Lecture>* journal) { journal_ = journal; }
    // Notes a key the turn loop itself reads (arrows, the bag key).
    void noter_touche(int code);

    void ecrire(std::string_view) override {}
    void ecrire_nom(std::string_view) override {}
    void ecrire_erreur(std::string_view) override {}
    void effacer() override {}
    void pause() override;
    void redimensionner(int, int) override {}
    void titre(std::string_view) override {}
    void couleur(int) override {}
    int lire_touche() override;
    std::string lire_ligne() override;
    void vider_entree() override {}
    void dormir(int) override {}
    [[noreturn]] void terminer(int statut) override;

private:
    Lecture suivante(Lecture::Sorte sorte);

    Console* precedente_ = nullptr;
    std::deque<Lecture> reponses_;
    std::vector<Lecture>* journal_ = nullptr;
};

} // namespace korva
