// A server of a test's own: its configuration under the test's folder, and lobbies on
// pseudo-terminals of the game's size, each from the same client address, as sshd starts them.
#pragma once

#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/sortie_commande.hpp"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korva::test {

inline constexpr std::string_view PAUSE = "Press any key to continue . . .";
inline constexpr std::string_view MENU_JEU = "3 : quit";
inline constexpr std::string_view LEGENDE = " q : save and quit";
inline constexpr std::string_view ACCUEIL = "At a prompt, Ctrl-D goes back to the menu.";
inline constexpr std::string_view ADRESSE = "127.0.0.9";
// Room for a password's hash; a shorter line where a screen's line must hold one whole.
inline constexpr int LONGUEUR_LIGNE = 100;
inline constexpr int LONGUEUR_COURTE = 60;

// A server of its own under the test's folder, each connection a lobby on a terminal of the
// game's size, from the same client address unless told another.
struct Serveur {
    explicit Serveur(const DossierJeu& d, int longueur = LONGUEUR_LIGNE,
                     const std::string& reglages = "")
        : racine(d.racine()) {
        std::filesystem::create_directories(racine / "serveur");
        d.ecrire("serveur.conf", "# a test's server\ndata " + (racine / "serveur").string() +
                                     "\ngame " KORVA_BINAIRE "\ngame-data " +
                                     (racine / "fichiers").string() + "\nlog " +
                                     (racine / "journal.txt").string() +
                                     "\nfailed-login-wait-ms 100\nline-length " +
                                     std::to_string(longueur) + "\n" + reglages);
    }
    std::unique_ptr<PartieTerminal> hall(std::string_view adresse = ADRESSE,
                                         bool sans_inotify = false) const {
        return std::make_unique<PartieTerminal>(
            racine, 50, 110,
            std::vector<std::string>{"env", "SSH_CONNECTION=" + std::string(adresse) + " 4 1 22",
                                     KORVA_SERVEUR_BINAIRE, "--config",
                                     (racine / "serveur.conf").string()},
            Reglages{.sans_inotify = sans_inotify});
    }
    // An operator's command, "COMMAND [<<< INPUT]", run to its end.
    Sortie administrer(const std::string& commande) const {
        const std::size_t entree = commande.find(" <<<");
        return executer(
            (entree == std::string::npos ? "" : "echo " + commande.substr(entree + 4) + " | ") +
            KORVA_SERVEUR_BINAIRE " --config " + (racine / "serveur.conf").string() + " --admin " +
            commande.substr(0, entree) + " 2>&1");
    }
    std::filesystem::path racine;
};

// Registers the account `nom` (or logs in), then waits for its menu.
inline bool entrer(PartieTerminal& t, const std::string& nom, bool inscrire) {
    return t.attendre(ACCUEIL) && t.jouer(inscrire ? "2" : "1", "Account name:") &&
           t.jouer(nom + "\r", "Password:") &&
           (!inscrire || t.jouer("sesame\r", "The same password again:")) &&
           t.jouer("sesame\r", "KORVA server - " + nom);
}

} // namespace korva::test
