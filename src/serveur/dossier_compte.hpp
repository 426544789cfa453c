// Each account's folder, laid out as the game reads its data: the levels, title and parchments
// linked to the installed ones, the account's own saves, registry and recordings, so that the
// game's list of saved games and its taken names are the account's alone.
#pragma once

#include "serveur/configuration.hpp"

#include <string>

namespace korva::serveur {

// The folder that holds every account's folder, each named after its account.
std::string dossier_des_comptes(const Configuration& c);
// The account's folder, the game's working directory.
std::string dossier_du_compte(const Configuration& c, const std::string& nom);

// Makes the account's folder, or mends its links, and its registry when it has none (a link an
// older server left stays, for the operator's split to take); false with the reason when it
// cannot.
bool preparer_dossier(const Configuration& c, const std::string& nom, std::string& raison);

} // namespace korva::serveur
