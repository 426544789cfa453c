// The player registry's text, "fichiers/personnages/joueurs.txt": a count, then one "name score"
// line per player, ranked by score. One reader and one writer, which the game, the lobby and
// korva-web share.
#pragma once

#include "records/enregistrements.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace korva {

// Reads the registry's text. False, with `erreur` saying what is wrong, when the text breaks
// the format; nothing is half read then.
bool lire_registre(std::string_view texte, std::vector<sJoueur>& joueurs, std::string& erreur);

// The registry's text for these players, in their order.
std::string texte_du_registre(const std::vector<sJoueur>& joueurs);

} // namespace korva
