// The save file of a game in progress: "fichiers/personnages/<name>.txt".
#pragma once

#include "records/enregistrements.hpp"

#include <string>
#include <string_view>

namespace korva {

inline constexpr const char* DOSSIER_PERSONNAGES = "fichiers/personnages/";
inline constexpr const char* EXTENSION_SAUVEGARDE = ".txt";
// The player registry, whose lock every save holds from its checks to the registry's update.
inline constexpr const char* FICHIER_REGISTRE = "fichiers/personnages/joueurs.txt";

// Results of a save.
inline constexpr int SAUVEGARDE_FAITE = 0;           // save file and registry written
inline constexpr int SAUVEGARDE_REGISTRE_ECHOUE = 1; // save file written, registry not updated
inline constexpr int SAUVEGARDE_ECHOUEE = 2;         // nothing written; the old save is whole

// A game as its save holds it: the board, the bag, the character and the level's size.
struct PartieSauvee {
    Plateau plateau;
    Sacoche sacoche;
    sPerso perso;
    int l = 0;
    int c = 0;
};

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

// The same, for a whole game at once (large: keep it on the heap).
bool lire_sauvegarde(std::string_view texte, std::string_view nom_attendu, PartieSauvee& partie,
                     std::string& erreur);
std::string texte_sauvegarde(const PartieSauvee& partie);

// What a save asks of the player registry, whose reader sits above the files.
struct Registre {
    int (*inscrire)(const sPerso& p);    // records the score; 0 when done
    bool (*tient)(std::string_view nom); // the registry holds that name, byte for byte
};

// What a game that made its hero knows of the hero's save file: it may replace only the file it
// wrote itself, never one that another game wrote under the same name since.
struct HerosNouveau {
    bool a_ecrit = false;
    std::string ecrit; // the text this game last wrote there
};

// Whether a save file of that name is there (a link counts, even one that leads nowhere).
bool sauvegarde_existe(std::string_view nom);

// Writes the game to its save file, then records the score in the registry; the old save is
// replaced only once the new one is whole on disk. With `nouveau`, the save is refused, and
// nothing written, when another game has registered the name or written the file since.
int sauvegarde_carte_en_cour(const Plateau& plateau, int l, int c, sPerso p, const Sacoche& sacoche,
                             const Registre& registre, HerosNouveau* nouveau = nullptr);

// Reads the save of player `a`; 0 when read, 1 when it could not be (reported on the error
// stream; nothing changed then).
int charger_carte_en_cour(const char* a, Plateau& plateau, int& l, int& c, sPerso& p,
                          Sacoche& sacoche);

} // namespace korva
