// The program's command line: the options it answers, from one table.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korva {

// What to print, where, and the status to end with.
struct ReponseOptions {
    std::string texte;
    bool erreur; // the error stream rather than the output
    int statut;
};

// What the command line asks: an answer, printed before the program ends; or a game to play,
// or a recording to replay (`rejeu`, its path), or to follow as its game is played (`suivre`).
struct Commande {
    std::optional<ReponseOptions> reponse;
    std::string rejeu;
    bool suivre = false;
};

// Reads `arguments` (the program's name left out).
Commande lire_commande(const std::vector<std::string>& arguments);

} // namespace korva
