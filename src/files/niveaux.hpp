// Level files and the passage from one level to another.
#pragma once

#include "records/enregistrements.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

// Reads a level (or the board part of a save) from its text: the row count, the column count,
// then one "{type,status,visible}," record per cell, rows separated by any white space.
// Fills rows 0 to l-1 and columns 0 to c-1 of `plateau` and returns true; on a bad text returns
// false with `erreur` saying what is wrong (the board may then be half written: read into a
// scratch board). `fin` receives the position just after the last row read.
bool lire_niveau(std::string_view texte, Plateau& plateau, int& l, int& c, std::string& erreur,
                 std::size_t* fin = nullptr);

// Reads the two size lines (rows, then columns, each 1 to 100) and the white space after them.
bool lire_taille(std::string_view texte, std::size_t& position, int& l, int& c,
                 std::string& erreur);

// How many cells of the level carry the hero's marker; a playable board has exactly one.
int compter_heros(const Plateau& plateau, int l, int c);

// Checks what a playable board needs: known cell types, a number on every key and locked door,
// and exactly one hero.
bool verifier_cases(const Plateau& plateau, int l, int c, std::string& erreur);

// Reads the cell records of an `l` by `c` board starting at `texte[position]`; advances
// `position` past the white space that follows the last row.
bool lire_cases(std::string_view texte, std::size_t& position, Plateau& plateau, int l, int c,
                std::string& erreur);

// Loads the level file at `chemin` into `plateau` and the size into `l`, `c`. Returns 0 when it
// was loaded, 1 when it could not be read or is not a valid level (reported on the error
// stream; board and size then unchanged).
int charger_niveau(const std::string& chemin, Plateau& plateau, int& l, int& c);

// The level a board of `l` rows by `c` columns belongs to, 1 to 5: the game keeps no level
// number, the size tells.
int niveau_selon_taille(int l, int c);

// Every level file the dungeon may load, in the order the levels come.
std::vector<std::string> fichiers_des_niveaux();

// Whether a step in `direction` off the level of size `l` by `c` leaves the dungeon, won.
bool sortie_du_donjon(int l, int c, int direction);

// Loads the level that lies in `direction` from the level of size `l` by `c`; 0 when play goes
// on, 1 when it ends (the dungeon is won, or the level could not be loaded: reported, then a
// key is waited for). On the way out of the dungeon, `victoire` runs under the victory screen,
// before its wait.
int nouvellecarte(Plateau& plateau, int& l, int& c, int direction, sPerso p,
                  const std::function<void()>& victoire = nullptr);

} // namespace korva
