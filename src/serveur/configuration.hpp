// The server's settings, from its configuration file: where its data lies, where the game is
// installed, and the limits it keeps.
#pragma once

#include "files/reglages.hpp"

#include <optional>
#include <span>
#include <string>

namespace korva::serveur {

// The configuration installed with the program that lies at `programme` (which the system
// tells, never the name it was called by): PREFIX/etc/korva/serveur.conf, PREFIX the folder
// above the program's own, but /etc/korva/serveur.conf for the prefix /usr, as GNU's install
// folders have it (/usr/games/korva-serveur reads /etc/korva/serveur.conf).
std::string configuration_installee(const std::string& programme);

// The settings in force; their keys, defaults, ranges and meanings are declared in one table,
// REGLAGES_SERVEUR.
struct Configuration {
    std::string donnees;
    std::string jeu;
    std::string fichiers_jeu;
    std::string journal;
    int inactivite_s;
    int parties_max;
    int enregistrements_max;
    int longueur_ligne;
    int inscriptions_par_heure;
    int attente_echec_ms;
    int connexions_par_adresse;
    int halls_max;
    int inactivite_hall_s;
    int regards_par_partie;
    int regards_max;
    int verifications_max;

    // Every setting at its default.
    Configuration();
};

extern const std::span<const Reglage<Configuration>> REGLAGES_SERVEUR;

// Reads the file at `chemin`: one "key value" a line, '#' starting a comment; a key left out
// keeps its default. Nothing, with `erreur` naming the line and why, when a line cannot be read.
std::optional<Configuration> lire_configuration(const std::string& chemin, std::string& erreur);

// Every setting in force as the file would hold it, one "key value" a line in the order of the
// keys (a path left empty left out): what a server runs with, a key left out at its default.
std::string reglages_en_texte(const Configuration& c);

} // namespace korva::serveur
