// The web service's settings, from its configuration file: where it listens, what it runs for
// each connection, what it trusts, and the limits it keeps.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korva::web {

inline constexpr const char* CONFIGURATION_WEB_DEFAUT = "/etc/korva/web.conf";

struct ConfigurationWeb {
    std::string adresse = "127.0.0.1";         // where it listens
    int port = 8080;                           // 0: any free port, named in the log
    std::vector<std::string> origines;         // the pages' origins allowed a WebSocket
    std::string hall = KORVA_SERVEUR_INSTALLE; // the lobby's program
    std::string configuration_hall = "/etc/korva/serveur.conf"; // the lobby's configuration
    std::string page = KORVA_PAGE_INSTALLEE;                    // the page's files
    std::string xterm = KORVA_XTERM_INSTALLE;                   // the terminal widget's files
    std::string certificat;                                     // TLS: both, or neither
    std::string cle_privee;
    std::vector<std::string> mandataires; // proxies whose forwarding header is believed
    int connexions_par_adresse = 16;      // open at once from one client address
    int octets_message = 4096;            // of one WebSocket message from a page
    int inactivite_s = 1800;              // a connection with no traffic this long is closed
    int octets_en_attente = 1 << 20;      // screen bytes a client may leave unread
};

// Reads the file at `chemin`: one "key value" a line, '#' starting a comment; a key left out
// keeps its default, a key of a list may stand on several lines. Nothing, with `erreur` naming
// the line, when a line cannot be read.
std::optional<ConfigurationWeb> lire_configuration_web(const std::string& chemin,
                                                       std::string& erreur);

// Every setting in force as the file would hold it, one "key value" a line in the order of the
// keys, a list's key on a line for each of its words, a word left empty left out.
std::string reglages_en_texte(const ConfigurationWeb& c);

} // namespace korva::web
