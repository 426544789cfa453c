#include "web/configuration_web.hpp"

#include <array>
#include <string_view>

namespace korva::web {

namespace {

constexpr int PORT_MAX = 65535;
// A page's messages are keys and sizes: a few bytes each, but a paste may bring more.
constexpr int MESSAGE_MIN = 16;
// Less than a screen's worth of unread bytes would drop every client at its first screen.
constexpr int EN_ATTENTE_MIN = 1024;

using R = Reglage<ConfigurationWeb>;
using C = ConfigurationWeb;

const std::array REGLAGES{
    R{"listen", "127.0.0.1", "the address it listens on", &C::adresse},
    R{"port", "8080", "the port it listens on; 0: any free port, named in the log", nullptr,
      nullptr, &C::port, 0, PORT_MAX},
    R{"origin", "", "an origin of the page allowed a WebSocket, as browsers send it; one a line",
      nullptr, &C::origines},
    R{"lobby", KORVA_SERVEUR_INSTALLE, "the lobby's program, run for each page", &C::hall},
    R{"lobby-config", "/etc/korva/serveur.conf", "the lobby's configuration",
      &C::configuration_hall},
    R{"page", KORVA_PAGE_INSTALLEE, "the page's files", &C::page},
    R{"xterm", KORVA_XTERM_INSTALLE, "the terminal widget's files", &C::xterm},
    R{"certificate", "", "TLS: the certificate chain (PEM), with private-key", &C::certificat},
    R{"private-key", "", "TLS: the certificate's key (PEM)", &C::cle_privee},
    R{"trusted-proxy", "", "a proxy whose X-Forwarded-For is believed; one a line", nullptr,
      &C::mandataires},
    R{"connections-per-address", "16", "connections open at once from one client address", nullptr,
      nullptr, &C::connexions_par_adresse, 1},
    R{"message-bytes", "4096", "the longest message a page may send", nullptr, nullptr,
      &C::octets_message, MESSAGE_MIN},
    R{"idle-seconds", "1800", "a connection with no traffic either way this long is closed",
      nullptr, nullptr, &C::inactivite_s, 1},
    R{"unread-bytes", "1048576", "screen bytes a client may leave unread before it is dropped",
      nullptr, nullptr, &C::octets_en_attente, EN_ATTENTE_MIN},
};

} // namespace

const std::span<const Reglage<ConfigurationWeb>> REGLAGES_WEB = REGLAGES;

ConfigurationWeb::ConfigurationWeb() {
    appliquer_defauts<ConfigurationWeb>(*this, REGLAGES);
}

std::optional<ConfigurationWeb> lire_configuration_web(const std::string& chemin,
                                                       std::string& erreur) {
    std::optional<ConfigurationWeb> c =
        lire_fichier_reglages<ConfigurationWeb>(chemin, REGLAGES, erreur);
    if (c && c->certificat.empty() != c->cle_privee.empty()) {
        erreur = chemin + ": TLS needs both a certificate and a private-key, or neither";
        return std::nullopt;
    }
    return c;
}

std::string reglages_en_texte(const ConfigurationWeb& c) {
    return en_texte<ConfigurationWeb>(c, REGLAGES);
}

} // namespace korva::web
