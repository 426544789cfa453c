#include "web/configuration_web.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace korva::web {

namespace {

constexpr int PORT_MAX = 65535;
constexpr int NOMBRE_MAX = 1 << 30;

// Every key of the file, with the setting it fills: a word, a list of words, or a whole number.
struct Cle {
    std::string_view nom;
    std::string ConfigurationWeb::*mot;
    std::vector<std::string> ConfigurationWeb::*liste;
    int ConfigurationWeb::*nombre;
    int minimum;
    int maximum;
};
constexpr std::array<Cle, 14> CLES{{
    {"listen", &ConfigurationWeb::adresse, nullptr, nullptr, 0, 0},
    {"port", nullptr, nullptr, &ConfigurationWeb::port, 0, PORT_MAX},
    {"origin", nullptr, &ConfigurationWeb::origines, nullptr, 0, 0},
    {"lobby", &ConfigurationWeb::hall, nullptr, nullptr, 0, 0},
    {"lobby-config", &ConfigurationWeb::configuration_hall, nullptr, nullptr, 0, 0},
    {"page", &ConfigurationWeb::page, nullptr, nullptr, 0, 0},
    {"xterm", &ConfigurationWeb::xterm, nullptr, nullptr, 0, 0},
    {"certificate", &ConfigurationWeb::certificat, nullptr, nullptr, 0, 0},
    {"private-key", &ConfigurationWeb::cle_privee, nullptr, nullptr, 0, 0},
    {"trusted-proxy", nullptr, &ConfigurationWeb::mandataires, nullptr, 0, 0},
    {"connections-per-address", nullptr, nullptr, &ConfigurationWeb::connexions_par_adresse, 1,
     NOMBRE_MAX},
    {"message-bytes", nullptr, nullptr, &ConfigurationWeb::octets_message, 16, NOMBRE_MAX},
    {"idle-seconds", nullptr, nullptr, &ConfigurationWeb::inactivite_s, 1, NOMBRE_MAX},
    {"unread-bytes", nullptr, nullptr, &ConfigurationWeb::octets_en_attente, 1024, NOMBRE_MAX},
}};

bool lire_ligne(std::string_view ligne, ConfigurationWeb& c) {
    std::size_t position = 0;
    const std::string_view cle = lire_mot(ligne, position);
    const std::string_view valeur = lire_mot(ligne, position);
    if (cle.empty() || cle.front() == '#') {
        return true;
    }
    if (valeur.empty() || !lire_mot(ligne, position).empty()) {
        return false;
    }
    const auto k =
        std::find_if(CLES.begin(), CLES.end(), [&](const Cle& k) { return k.nom == cle; });
    if (k == CLES.end()) {
        return false;
    }
    if (k->mot != nullptr) {
        c.*k->mot = valeur;
    } else if (k->liste != nullptr) {
        (c.*k->liste).emplace_back(valeur);
    } else {
        const std::optional<int> nombre = nombre_entier(valeur);
        c.*k->nombre = nombre.value_or(0);
        return nombre && *nombre >= k->minimum && *nombre <= k->maximum;
    }
    return true;
}

} // namespace

std::optional<ConfigurationWeb> lire_configuration_web(const std::string& chemin,
                                                       std::string& erreur) {
    ConfigurationWeb c;
    if (!lire_reglages(
            chemin, [&c](std::string_view ligne) { return lire_ligne(ligne, c); },
            "a known key followed by one word, or a number in its range", erreur)) {
        return std::nullopt;
    }
    if (c.certificat.empty() != c.cle_privee.empty()) {
        erreur = chemin + ": TLS needs both a certificate and a private-key, or neither";
        return std::nullopt;
    }
    return c;
}

std::string reglages_en_texte(const ConfigurationWeb& c) {
    std::string texte;
    for (const Cle& k : CLES) {
        std::vector<std::string> valeurs = k.liste != nullptr ? c.*k.liste
                                           : k.mot != nullptr
                                               ? std::vector{c.*k.mot}
                                               : std::vector{std::to_string(c.*k.nombre)};
        for (const std::string& v : valeurs) {
            texte += v.empty() ? "" : std::string(k.nom) + " " + v + "\n";
        }
    }
    return texte;
}

} // namespace korva::web
