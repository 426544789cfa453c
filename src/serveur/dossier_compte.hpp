// Each account's folder, laid out as the game reads its data: the levels, title and parchments
// linked to the installed ones, the account's own saves and recordings, and the one registry
// of the server linked in, so that every account's games rank together.
#pragma once

#include "serveur/configuration.hpp"

#include <string>

namespace korva::serveur {

inline constexpr const char* REGISTRE_PARTAGE = "joueurs.txt";

// The account's folder, the game's working directory.
std::string dossier_du_compte(const Configuration& c, const std::string& nom);

// Makes the account's folder, or mends its links; false with the reason when it cannot.
bool preparer_dossier(const Configuration& c, const std::string& nom, std::string& raison);

} // namespace korva::serveur
