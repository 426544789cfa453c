// The web service's settings, from its configuration file: where it listens, what it runs for
// each connection, what it trusts, and the limits it keeps.
#pragma once

#include "files/reglages.hpp"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korva::web {

inline constexpr const char* CONFIGURATION_WEB_DEFAUT = "/etc/korva/web.conf";

// The settings in force; their keys, defaults, ranges and meanings are declared in one table,
// REGLAGES_WEB.
struct ConfigurationWeb {
    std::string adresse;
    int port;
    std::vector<std::string> origines;
    std::string hall;
    std::string configuration_hall;
    std::string page;
    std::string xterm;
    std::string certificat; // TLS: both, or neither
    std::string cle_privee;
    std::vector<std::string> mandataires;
    int connexions_par_adresse;
    int octets_message;
    int inactivite_s;
    int octets_en_attente;

    // Every setting at its default.
    ConfigurationWeb();
};

extern const std::span<const Reglage<ConfigurationWeb>> REGLAGES_WEB;

// Reads the file at `chemin`: one "key value" a line, '#' starting a comment; a key left out
// keeps its default, a key of a list may stand on several lines. Nothing, with `erreur` naming
// the line, when a line cannot be read.
std::optional<ConfigurationWeb> lire_configuration_web(const std::string& chemin,
                                                       std::string& erreur);

// Every setting in force as the file would hold it, one "key value" a line in the order of the
// keys, a list's key on a line for each of its words, a word left empty left out.
std::string reglages_en_texte(const ConfigurationWeb& c);

} // namespace korva::web
