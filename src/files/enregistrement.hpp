// A game's recording: a text file a person can read, one thing a line, that holds all it takes
// to play the game again exactly on any system: the game as it stood at its first board (as its
// save file would hold it), the keys and lines typed, the numbers the dice drew, what each save
// gave, the game's version and a digest of the data files it played from.
#pragma once

#include "records/enregistrements.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace korva {

inline constexpr const char* DOSSIER_ENREGISTREMENTS = "fichiers/enregistrements";
// The folder keeps this many games, the most recent: the oldest go first.
inline constexpr int ENREGISTREMENTS_GARDES = 100;

// One thing that happened in the game, in the order it happened.
struct Evenement {
    enum class Sorte {
        touche,     // a key read (`nombre`: its code)
        fleche,     // an arrow: its prefix code, then its own (`nombre`)
        ligne,      // a typed line (`texte`)
        pause,      // a key pressed at a pause
        de,         // a number the dice drew (`nombre`)
        rapport,    // a report a save made (`texte`)
        sauvegarde, // a save's result (`nombre`)
        ctrl_c,     // Ctrl-C, at a wait of the kind `texte`
        perdu,      // the terminal lost (`nombre`: the status), at a wait of the kind `texte`
        fin,        // the process ended (`nombre`: its status)
    };
    Sorte sorte;
    int nombre = 0;
    std::string texte;
    bool operator==(const Evenement&) const = default;
};

// What a recording says before the game's events.
struct EnTeteEnregistrement {
    std::string version;
    std::string empreinte; // of the data files the game played from
    bool nouveau = false;  // a hero made for this game, or a game loaded
    std::string nom;
    uneSerrure serrure = SERRURE_SANS_PORTE;
    std::string depart; // the game at its first board, as a save file holds it
};

struct Enregistrement {
    EnTeteEnregistrement en_tete;
    std::vector<Evenement> evenements;
};

std::string texte_en_tete(const EnTeteEnregistrement& en_tete);
// The event's line, line feed included.
std::string ligne_evenement(const Evenement& evenement);
// A whole recording's text, as the game writes it line by line.
std::string texte_enregistrement(const Enregistrement& enregistrement);

// Reads one event's line (without its line feed); false when it is damaged.
bool lire_evenement(std::string_view ligne, Evenement& evenement);

// Reads a whole recording; false with `erreur` saying what is wrong (and on which line).
bool lire_enregistrement(std::string_view texte, Enregistrement& enregistrement,
                         std::string& erreur);

// A digest of files' contents, in hexadecimal: two sets of files give the same one only when
// every file reads the same (a missing file counts as such).
std::string empreinte_fichiers(const std::vector<std::string>& chemins);

} // namespace korva
