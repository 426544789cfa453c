// A console for tests: it plays keys and typed lines from a script, keeps what the game writes
// (the bytes with markers for the console operations, and the screen as a player would see it),
// and never sleeps.
#pragma once

#include "console/console.hpp"
#include "console/ecran_modele.hpp"

#include <deque>
#include <functional>
#include <optional>
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
    ConsoleScriptee& fleche(int code);         // the prefix code, then the arrow's
    ConsoleScriptee& ligne(std::string texte); // a line typed and ended with Enter
    ConsoleScriptee& fin_de_saisie();          // Ctrl-D on an empty typed line
    // Ctrl-C, or the terminal lost with the status the signal gives, at the next read.
    ConsoleScriptee& interruption(PartieInterrompue interrompue);
    std::size_t reste() const { return script_.size(); }
    // Called each time the game waits for the player (a key, a line, a pause, a sleep), with
    // the kind of wait, before anything is taken from the script.
    void observer(std::function<void(std::string_view attente)> observateur) {
        observateur_ = std::move(observateur);
    }

    // The bytes with markers: <cls>, <pause>, <sleep N>, <color N>, <title T>, <size LxC>,
    // <flush>, <exit N>.
    const std::string& sortie() const { return sortie_; }
    const std::string& erreurs() const { return erreurs_; }
    // The screen as the player sees it; error reports show there too, as on a terminal.
    const EcranModele& modele() const { return modele_; }

    void ecrire(std::string_view octets) override;
    void ecrire_nom(std::string_view nom) override { modele_.ecrire_nom(nom); }
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
    void garder_partie(bool gardee) override;

private:
    enum class Sorte { touche, ligne, fin_de_saisie, interruption };
    struct Entree {
        Sorte sorte;
        int code; // a key's code; an interruption's status
        std::string texte;
        PartieInterrompue interrompue{Interruption::ctrl_c};
    };
    Entree suivante(std::string_view attente, bool ligne);
    void attendre(std::string_view attente);

    Console* precedente_ = nullptr;
    std::deque<Entree> script_;
    std::function<void(std::string_view)> observateur_;
    std::string sortie_;
    std::string erreurs_;
    EcranModele modele_;
    bool gardee_ = false;
    std::optional<PartieInterrompue> perte_; // the terminal is gone: every later wait is so
};

} // namespace korva::test
