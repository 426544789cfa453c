// The server's settings, from its configuration file: where its data lies, where the game is
// installed, and the limits it keeps.
#pragma once

#include <optional>
#include <string>

namespace korva::serveur {

// The configuration installed with the program that lies at `programme` (which the system
// tells, never the name it was called by): PREFIX/etc/korva/serveur.conf, PREFIX the folder
// above the program's own, but /etc/korva/serveur.conf for the prefix /usr, as GNU's install
// folders have it (/usr/games/korva-serveur reads /etc/korva/serveur.conf).
std::string configuration_installee(const std::string& programme);

struct Configuration {
    std::string donnees = "/var/games/korva"; // the accounts, their folders, the registry
    std::string jeu = KORVA_JEU_INSTALLE;     // the game's program
    std::string fichiers_jeu = KORVA_DONNEES_INSTALLEES; // its levels, title and parchments
    std::string journal;             // where the log goes; empty: the error stream as it is
    int inactivite_s = 1800;         // a game left idle this long is hung up
    int parties_max = 50;            // games played at once on the server
    int enregistrements_max = 100;   // recordings an account keeps
    int longueur_ligne = 64;         // bytes of any line typed in the lobby
    int inscriptions_par_heure = 3;  // registrations from one client address
    int attente_echec_ms = 2000;     // the wait after a failed login, doubled at each failure
    int connexions_par_adresse = 16; // lobbies and web watches from one client address
    int halls_max = 1000;            // lobbies open at once, ssh's and the web's
    int inactivite_hall_s = 600;     // a lobby left this long at a menu or prompt is closed
    int regards_par_partie = 100;    // watchers of one game at once
    int regards_max = 1000;          // watchers of every game at once
    int verifications_max = 2;       // passwords checked or hashed at once, across the server
};

// Reads the file at `chemin`: one "key value" a line, '#' starting a comment; a key left out
// keeps its default. Nothing, with `erreur` naming the line, when a line cannot be read.
std::optional<Configuration> lire_configuration(const std::string& chemin, std::string& erreur);

// Every setting in force as the file would hold it, one "key value" a line in the order of the
// keys (a path left empty left out): what a server runs with, a key left out at its default.
std::string reglages_en_texte(const Configuration& c);

} // namespace korva::serveur
