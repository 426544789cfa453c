// The save file of a game in progress: "fichiers/personnages/<name>.txt".
#pragma once

#include "records/enregistrements.hpp"

#include <string>
#include <string_view>

namespace korva {

inline constexpr const char* DOSSIER_PERSONNAGES = "fichiers/personnages/";
inline constexpr const char* EXTENSION_SAUVEGARDE = ".txt";

// Results of a save.
inline constexpr int SAUVEGARDE_FAITE = 0;           // save file and registry written
inline constexpr int SAUVEGARDE_REGISTRE_ECHOUE = 1; // save file written, registry not updated
inline constexpr int SAUVEGARDE_ECHOUEE = 2;         // nothing written; the old save is whole

// The save file's path for a player's name.
std::string chemin_sauvegarde(std::string_view nom);

// The save file's text: the size, the character, the bag and the board, one field a line.
std::string texte_sauvegarde(const Plateau& plateau, int l, int c, const sPerso& p,
                             const Sacoche& sacoche);

// Reads a save's text written for the player `nom_attendu`, checking every field. On success
// writes what a load writes (the size, the whole character, the bag's count in slot 0 and the
// objects of slots 1 to n, the cells of the saved rows and columns) and leaves the rest. On a
// bad text returns false with `erreur` saying what is wrong; the outputs may then be half
// written, so read into scratch copies.
bool lire_sauvegarde(std::string_view texte, std::string_view nom_attendu, Plateau& plateau, int& l,
                     int& c, sPerso& p, Sacoche& sacoche, std::string& erreur);

// Records a saved character's score in the player registry; 0 when done.
using InscriptionRegistre = int (*)(const sPerso& p);

// Writes the game to its save file, then records the score in the registry through `inscrire`.
// The old save is replaced only once the new one is whole on disk.
int sauvegarde_carte_en_cour(const Plateau& plateau, int l, int c, sPerso p, const Sacoche& sacoche,
                             InscriptionRegistre inscrire);

// Reads the save of player `a`; 0 when read, 1 when it could not be (reported on the error
// stream; nothing changed then).
int charger_carte_en_cour(const char* a, Plateau& plateau, int& l, int& c, sPerso& p,
                          Sacoche& sacoche);

} // namespace korva
