// The game, or a watch, run from the lobby as a child process on the same terminal.
#pragma once

#include <string>
#include <vector>

namespace korva::serveur {

enum class Fin {
    normale,          // the program ended by itself
    echec,            // the program ended by itself on a failure, which it reported
    inactive,         // idle too long: hung up, and the game saved as on a lost terminal
    connexion_perdue, // the connection dropped: the program hung up too
};

// Runs `commande` in `dossier` and waits for its end. Ctrl-C reaches only the program; Ctrl-Z
// and Ctrl-\ stay ignored, as in the lobby, so that nothing stops with no shell to resume it.
// With `inactivite_s` above 0, the program is hung up once nothing has been written in
// `activite` (a folder) for that long. A connection that drops hangs it up and waits for its
// end, so that nothing is left behind.
Fin lancer(const std::vector<std::string>& commande, const std::string& dossier, int inactivite_s,
           const std::string& activite);

// Waits, in the terminal's line mode, for Enter: false when none came within `delai_ms`
// milliseconds (-1: no end) or the input ended.
bool attendre_entree(int delai_ms);

// The lobby's own answer to the terminal's signals: Ctrl-C, Ctrl-\ and Ctrl-Z do nothing.
void ignorer_touches_de_signal();

} // namespace korva::serveur
