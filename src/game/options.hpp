// The program's command line: the options it answers, from one table.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korva {

// Answers the options of `arguments` (the program's name left out): what to print, where, and
// the status to end with. Nothing when there are none: the game is played.
struct ReponseOptions {
    std::string texte;
    bool erreur; // the error stream rather than the output
    int statut;
};
std::optional<ReponseOptions> repondre_options(const std::vector<std::string>& arguments);

} // namespace korva
