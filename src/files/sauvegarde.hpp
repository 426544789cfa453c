// The save file of a game in progress: "fichiers/personnages/<name>.txt".
#pragma once

#include "core/enregistrements.hpp"

#include <string>

namespace korva {

inline constexpr const char* DOSSIER_PERSONNAGES = "fichiers/personnages/";

// Results of a save.
inline constexpr int SAUVEGARDE_FAITE = 0;            // save file and registry written
inline constexpr int SAUVEGARDE_REGISTRE_ECHOUE = 1;  // save file written, registry not updated
inline constexpr int SAUVEGARDE_ECHOUEE = 2;          // nothing written; the old save is whole

// The save file's path for a player's name.
std::string chemin_sauvegarde(std::string_view nom);

// Writes the game to its save file, then records the score in the registry.
int sauvegarde_carte_en_cour(const Plateau& plateau, int l, int c, sPerso p,
                             const Sacoche& sacoche);

// Reads the save of player `a`; 0 when read, 1 when it could not be (nothing changed then).
int charger_carte_en_cour(const char* a, Plateau& plateau, int& l, int& c, sPerso& p,
                          Sacoche& sacoche);

} // namespace korva
