// Runs the real `korva` binary on a pseudo-terminal, in a given working folder, and plays it by
// keys, as a player at a terminal would.
#pragma once

#include "support/emulateur_terminal.hpp"

#include "records/enregistrements.hpp"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korva::test {

// Key sequences as a terminal sends them.
inline constexpr std::string_view HAUT = "\x1b[A";
inline constexpr std::string_view BAS = "\x1b[B";
inline constexpr std::string_view DROITE = "\x1b[C";
inline constexpr std::string_view GAUCHE = "\x1b[D";

// The bytes a terminal sends for the arrow whose game code is `fleche`.
constexpr std::string_view touches_de(int fleche) {
    return fleche == FLECHE_HAUT     ? HAUT
           : fleche == FLECHE_BAS    ? BAS
           : fleche == FLECHE_GAUCHE ? GAUCHE
                                     : DROITE;
}

class PartieTerminal {
public:
    // Starts the game in `dossier` (which holds a `fichiers` folder) on a terminal of the given
    // size. The game's error stream goes to a file of its own, read by `erreurs`.
    explicit PartieTerminal(const std::filesystem::path& dossier, int lignes = 50,
                            int colonnes = 110);
    // Runs `enfant` in place of the game, in a child process whose standard streams are on
    // the terminal (errors to the file): for tests of the console itself. The child ends
    // with status 0 when `enfant` returns.
    explicit PartieTerminal(const std::function<void()>& enfant, int lignes = 50,
                            int colonnes = 110);
    // Ends the game if it still runs.
    ~PartieTerminal();
    PartieTerminal(const PartieTerminal&) = delete;
    PartieTerminal& operator=(const PartieTerminal&) = delete;

    // Sends bytes as typed keys.
    void envoyer(std::string_view octets);
    // Waits until `texte` appears in what the game wrote after the point the previous
    // successful wait stopped at; false when it has not come within `delai`.
    bool attendre(std::string_view texte,
                  std::chrono::milliseconds delai = std::chrono::milliseconds(10000));
    // Waits until the screen, as the terminal shows what the game wrote, holds `texte` within
    // one line, once the game has written something after the point the previous successful
    // wait stopped at. The game sends only what changed on the screen: text already shown is
    // not sent again.
    bool attendre_ecran(std::string_view texte,
                        std::chrono::milliseconds delai = std::chrono::milliseconds(10000));
    // The screen's lines as the terminal shows them, one per line, blanks at their ends left out.
    std::string ecran();
    // Everything the terminal received so far (UTF-8 and escape sequences).
    const std::string& sortie();
    // Everything the game wrote on its error stream so far.
    std::string erreurs() const;
    // Waits for the game to end: its exit status, 128 + N when signal N ended it, or -1 when
    // it still runs after `delai`.
    int attendre_fin(std::chrono::milliseconds delai = std::chrono::milliseconds(10000));
    // Hangs the terminal up for the game: it gets the hang-up signal a closed terminal sends,
    // while the terminal itself stays open here so that its modes can still be read.
    void fermer_entree();
    // Waits until the terminal reads typed lines (canonical, with echo) when `ligne`, or
    // single keys (neither) otherwise.
    bool attendre_mode(bool ligne,
                       std::chrono::milliseconds delai = std::chrono::milliseconds(10000));
    // Closes the terminal altogether, as a line that drops: the game's reads fail from then
    // on, and nothing more it writes can be seen.
    void fermer_terminal();
    // The terminal's modes as the game left them (after the end), to compare with those at
    // start: true when they are the same.
    bool modes_restaures() const;
    int pid() const { return pid_; }

private:
    void demarrer(int lignes, int colonnes, const std::function<void()>& enfant);
    void lire_disponible(std::chrono::milliseconds delai);

    int maitre_ = -1;
    int esclave_ = -1; // kept open so that the modes outlive the game
    int pid_ = -1;
    int statut_ = -1;
    std::string sortie_;
    std::size_t curseur_ = 0;
    std::unique_ptr<EmulateurTerminal> emulateur_;
    std::size_t emule_ = 0; // bytes of `sortie_` the emulator has taken
    std::filesystem::path fichier_erreurs_;
    std::string modes_depart_;
};

} // namespace korva::test
