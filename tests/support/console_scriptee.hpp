// A console for tests: it plays keys and typed lines from a script and records everything the
// game writes, with markers for the console operations, and never sleeps.
#pragma once

#include "console/console.hpp"

#include <deque>
#include <string>
#include <vector>

namespace korva::test {

// Thrown where the game would end the process.
struct FinDuProcessus {
    int statut;
};

// Thrown when the game reads more input than the script holds.
struct ScriptEpuise {};

class ConsoleScriptee final : public Console {
public:
    // Becomes the game's console for as long as it lives.
    ConsoleScriptee();
    ~ConsoleScriptee() override;
    ConsoleScriptee(const ConsoleScriptee&) = delete;
    ConsoleScriptee& operator=(const ConsoleScriptee&) = delete;

    // The script.
    ConsoleScriptee& touche(int code);
    ConsoleScriptee& touches(std::string_view lettres); // one key per character
    ConsoleScriptee& fleche(int code);                  // the prefix code, then the arrow's
    ConsoleScriptee& ligne(std::string texte);          // a line typed and ended with Enter
    std::size_t reste() const { return script_.size(); }
    // When on, a pause is answered at once and takes nothing from the script: for long games
    // whose fights last a random number of rounds.
    void pauses_automatiques(bool actives) { pauses_automatiques_ = actives; }

    // What was written. `sortie` holds the bytes with markers: <cls>, <pause>, <sleep N>,
    // <color N> (the attribute), <title T>, <size LxC>, <flush>, <exit N>.
    const std::string& sortie() const { return sortie_; }
    // The bytes only, without markers.
    const std::string& texte() const { return texte_; }
    // The attribute in force for each byte of `texte`.
    const std::vector<int>& attributs() const { return attributs_; }
    // The bytes written since the last clear of the screen.
    std::string ecran() const { return texte_.substr(debut_ecran_); }
    // Every screen in turn: the bytes written between one clear and the next (the first one
    // holds what came before any clear).
    std::vector<std::string> ecrans() const;
    const std::string& erreurs() const { return erreurs_; }
    int attribut() const { return attribut_; }
    int nombre(std::string_view marqueur) const;
    void oublier(); // forgets what was written so far

    void ecrire(std::string_view octets) override;
    void ecrire_erreur(std::string_view texte) override;
    void effacer() override;
    void pause() override;
    void redimensionner(int lignes, int colonnes) override;
    void titre(std::string_view texte) override;
    void couleur(int attribut) override;
    int lire_touche() override;
    std::string lire_ligne() override;
    void vider_entree() override;
    void dormir(int millisecondes) override;
    [[noreturn]] void terminer(int statut) override;

private:
    struct Entree {
        bool est_ligne;
        int code;
        std::string texte;
    };
    Entree suivante();

    Console* precedente_ = nullptr;
    std::deque<Entree> script_;
    std::string sortie_;
    std::string texte_;
    std::vector<int> attributs_;
    std::string erreurs_;
    std::size_t debut_ecran_ = 0;
    std::vector<std::size_t> debuts_ecrans_;
    int attribut_ = 15;
    bool pauses_automatiques_ = false;
};

} // namespace korva::test
