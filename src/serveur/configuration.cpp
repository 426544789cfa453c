#include "serveur/configuration.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"

#include <array>
#include <filesystem>
#include <string_view>

namespace korva::serveur {

namespace {

// Every key of the file, with the setting it fills: a path or a whole number of at least 1.
struct Cle {
    std::string_view nom;
    std::string Configuration::*chemin;
    int Configuration::*nombre;
};
constexpr std::array<Cle, 16> CLES{{
    {"data", &Configuration::donnees, nullptr},
    {"game", &Configuration::jeu, nullptr},
    {"game-data", &Configuration::fichiers_jeu, nullptr},
    {"log", &Configuration::journal, nullptr},
    {"idle-seconds", nullptr, &Configuration::inactivite_s},
    {"games-at-once", nullptr, &Configuration::parties_max},
    {"recordings-per-account", nullptr, &Configuration::enregistrements_max},
    {"line-length", nullptr, &Configuration::longueur_ligne},
    {"registrations-per-hour", nullptr, &Configuration::inscriptions_par_heure},
    {"failed-login-wait-ms", nullptr, &Configuration::attente_echec_ms},
    {"connections-per-address", nullptr, &Configuration::connexions_par_adresse},
    {"lobbies-at-once", nullptr, &Configuration::halls_max},
    {"lobby-idle-seconds", nullptr, &Configuration::inactivite_hall_s},
    {"watchers-per-game", nullptr, &Configuration::regards_par_partie},
    {"watchers-at-once", nullptr, &Configuration::regards_max},
    {"password-checks-at-once", nullptr, &Configuration::verifications_max},
}};

bool lire_ligne(std::string_view ligne, Configuration& c) {
    std::size_t position = 0;
    const std::string_view cle = lire_mot(ligne, position);
    sauter_blancs(ligne, position);
    const std::string_view valeur = ligne.substr(position);
    if (cle.empty() || cle.front() == '#') {
        return true;
    }
    for (const Cle& k : CLES) {
        if (k.nom != cle) {
            continue;
        }
        if (k.chemin != nullptr) {
            c.*k.chemin = valeur;
            return !valeur.empty() && valeur.find(' ') == std::string_view::npos;
        }
        const std::optional<int> nombre = nombre_entier(valeur);
        c.*k.nombre = nombre.value_or(0);
        return nombre.has_value() && *nombre >= 1;
    }
    return false;
}

} // namespace

std::string configuration_installee(const std::string& programme) {
    const std::filesystem::path prefixe =
        std::filesystem::path(programme).lexically_normal().parent_path().parent_path();
    return ((prefixe == "/usr" ? "/" : prefixe) / "etc/korva/serveur.conf").string();
}

std::optional<Configuration> lire_configuration(const std::string& chemin, std::string& erreur) {
    Configuration c;
    if (!lire_reglages(
            chemin, [&c](std::string_view ligne) { return lire_ligne(ligne, c); },
            "a known key followed by a path or a number of at least 1", erreur)) {
        return std::nullopt;
    }
    return c;
}

std::string reglages_en_texte(const Configuration& c) {
    std::string texte;
    for (const Cle& k : CLES) {
        const std::string valeur = k.chemin != nullptr ? c.*k.chemin : std::to_string(c.*k.nombre);
        texte += valeur.empty() ? "" : std::string(k.nom) + " " + valeur + "\n";
    }
    return texte;
}

} // namespace korva::serveur
