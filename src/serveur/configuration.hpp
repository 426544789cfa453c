// The server's settings, from its configuration file: where its data lies, where the game is
// installed, and the limits it keeps.
#pragma once

#include <optional>
#include <string>

namespace korva::serveur {

inline constexpr const char* CONFIGURATION_DEFAUT = "/etc/korva/serveur.conf";

struct Configuration {
    std::string donnees = "/var/games/korva"; // the accounts, their folders, the registry
    std::string jeu = KORVA_JEU_INSTALLE;     // the game's program
    std::string fichiers_jeu = KORVA_DONNEES_INSTALLEES; // its levels, title and parchments
    std::string journal;            // where the log goes; empty: the error stream as it is
    int inactivite_s = 1800;        // a game left idle this long is hung up
    int parties_max = 50;           // games played at once on the server
    int enregistrements_max = 100;  // recordings an account keeps
    int longueur_ligne = 64;        // bytes of any line typed in the lobby
    int inscriptions_par_heure = 3; // registrations from one client address
    int attente_echec_ms = 2000;    // the wait after a failed login, doubled at each failure
    int verifications_max = 2;      // passwords checked or hashed at once, across the server
};

// Reads the file at `chemin`: one "key value" a line, '#' starting a comment; a key left out
// keeps its default. Nothing, with `erreur` naming the line, when a line cannot be read.
std::optional<Configuration> lire_configuration(const std::string& chemin, std::string& erreur);

// Every setting in force as the file would hold it, one "key value" a line in the order of the
// keys (a path left empty left out): what a server runs with, a key left out at its default.
std::string reglages_en_texte(const Configuration& c);

} // namespace korva::serveur
