// The records every part of the game works on: board cells, the character, the bag, the lock
// of the last door tried and a line of the player registry. Plain aggregates, copied by value.
#pragma once

#include "records/sortes_cases.hpp"
#include "records/touches_jeu.hpp"

#include <array>
#include <cstring>
#include <string_view>

namespace korva {

// Sizes fixed by the game's rules.
inline constexpr int TAILLE_PLATEAU = 100; // the board holds at most 100 rows of 100 columns
inline constexpr int TAILLE_SAC = 100;     // slot 0 holds the count, so 99 objects at most
inline constexpr int OBJETS_MAX = TAILLE_SAC - 1;
inline constexpr int TAILLE_NOM = 50; // every name field: 49 bytes and the terminator
inline constexpr int LONGUEUR_NOM_MAX = TAILLE_NOM - 1;

// The cell type codes (`typeCase`) and what each kind is: records/sortes_cases.hpp; the arrow
// key codes and the turn loop's keys: records/touches_jeu.hpp.

// What `statutCase` carries.
inline constexpr int STATUT_HEROS = 1;    // the hero stands on the cell
inline constexpr int DECALAGE_NIVEAU = 1; // cell (0,0) holds the level's number plus one
inline constexpr int DECALAGE_CLE = 6;    // keys and locked doors hold the key number plus six
inline constexpr int STATUT_CLE_MIN = 7;  // the smallest status a key or a locked door carries

// The level loader's direction at a new game, where no arrow led.
inline constexpr int DEBUT_PARTIE = 0;

struct sCaseJeu {
    int typeCase;
    int statutCase;
    int visible;
};

struct sPerso {
    char nom[TAILLE_NOM];
    int classe;
    int corps;
    int intellect;
    int esprit;
    int endurance;
    int pouvoir;
    int habilete;
    int score;
    int piecOr;
};

struct nomPerso {
    char nom[TAILLE_NOM];
    int l;
    int c;
};

struct unObjet {
    char nom[TAILLE_NOM];
    int numero;
    int attribut;
    int puissance;
};

struct monSac {
    int nbObjet;
    unObjet ob;
};

struct uneSerrure {
    int numero;
    int l;
    int c;
};

struct sJoueur {
    char pseudo[TAILLE_NOM];
    int score;
};

using Plateau = std::array<std::array<sCaseJeu, TAILLE_PLATEAU>, TAILLE_PLATEAU>;
using Sacoche = std::array<monSac, TAILLE_SAC>;

// The lock before the hero has tried any door: no key carries number 0 and no cell lies at -1.
inline constexpr uneSerrure SERRURE_SANS_PORTE{0, -1, -1};

// The classes' words by class number, as the class prompt lists them and the games log writes
// them; a class of no number here (a save edited by hand) is the unknown class.
inline constexpr std::array<std::string_view, 4> MOTS_CLASSES{"warrior", "magician", "priest",
                                                              "crafty"};
inline constexpr std::string_view CLASSE_INCONNUE = "unknown";

inline std::string_view mot_classe(int classe) {
    return classe >= 0 && static_cast<std::size_t>(classe) < MOTS_CLASSES.size()
               ? MOTS_CLASSES[static_cast<std::size_t>(classe)]
               : CLASSE_INCONNUE;
}

// Copies a name into a 50-byte field, cut to 49 bytes, always terminated.
inline void copier_nom(char (&destination)[TAILLE_NOM], std::string_view source) {
    const std::size_t n = source.size() < LONGUEUR_NOM_MAX ? source.size() : LONGUEUR_NOM_MAX;
    std::memcpy(destination, source.data(), n);
    destination[n] = '\0';
}

} // namespace korva
