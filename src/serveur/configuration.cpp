#include "serveur/configuration.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"

#include <array>
#include <filesystem>
#include <string_view>

namespace korva::serveur {

namespace {

using R = Reglage<Configuration>;
using C = Configuration;
// The longest first wait after a failed login: it doubles up to 32 times, and stays a count of
// milliseconds an int holds.
constexpr int ATTENTE_ECHEC_MAX_MS = 600000;

const std::array REGLAGES{
    R{"data", "/var/games/korva",
      "where the accounts, their folders (each with its heroes' registry) and the games "
      "log live (the korva user's to write)",
      &C::donnees},
    R{"game", KORVA_JEU_INSTALLE, "the game's program", &C::jeu},
    R{"game-data", KORVA_DONNEES_INSTALLEES, "the game's installed levels, title and parchments",
      &C::fichiers_jeu},
    R{"log", "",
      "the server's log, a line per login, registration, refusal and game; left out, "
      "the error stream",
      &C::journal},
    R{"idle-seconds", "1800",
      "a game left idle this long is hung up, saved as on a lost "
      "connection",
      nullptr, nullptr, &C::inactivite_s, 1},
    R{"games-at-once", "50", "games played at once on the server", nullptr, nullptr,
      &C::parties_max, 1},
    R{"recordings-per-account", "100", "recordings each account keeps, the most recent", nullptr,
      nullptr, &C::enregistrements_max, 1},
    R{"line-length", "64",
      "the longest line a player may type in the lobby (a password has its "
      "own limit)",
      nullptr, nullptr, &C::longueur_ligne, 1},
    R{"registrations-per-hour", "3", "accounts registered from one client address in an hour",
      nullptr, nullptr, &C::inscriptions_par_heure, 1},
    R{"failed-login-wait-ms", "2000",
      "the wait after a failed login, doubled at each one up to "
      "32 times",
      nullptr, nullptr, &C::attente_echec_ms, 1, ATTENTE_ECHEC_MAX_MS},
    R{"connections-per-address", "16", "lobbies and web watches open from one client address",
      nullptr, nullptr, &C::connexions_par_adresse, 1},
    R{"lobbies-at-once", "1000", "lobbies open at once, over ssh and the web", nullptr, nullptr,
      &C::halls_max, 1},
    R{"lobby-idle-seconds", "600", "a lobby left this long at a menu or prompt is closed", nullptr,
      nullptr, &C::inactivite_hall_s, 1},
    R{"watchers-per-game", "100", "watchers of one game at once", nullptr, nullptr,
      &C::regards_par_partie, 1},
    R{"watchers-at-once", "1000", "watchers of every game at once", nullptr, nullptr,
      &C::regards_max, 1},
    R{"password-checks-at-once", "2",
      "passwords checked or hashed at once across the server, "
      "each taking 64 MiB for a moment",
      nullptr, nullptr, &C::verifications_max, 1},
};

} // namespace

const std::span<const Reglage<Configuration>> REGLAGES_SERVEUR = REGLAGES;

Configuration::Configuration() {
    appliquer_defauts<Configuration>(*this, REGLAGES);
}

std::string configuration_installee(const std::string& programme) {
    const std::filesystem::path prefixe =
        std::filesystem::path(programme).lexically_normal().parent_path().parent_path();
    return ((prefixe == "/usr" ? "/" : prefixe) / "etc/korva/serveur.conf").string();
}

std::optional<Configuration> lire_configuration(const std::string& chemin, std::string& erreur) {
    return lire_fichier_reglages<Configuration>(chemin, REGLAGES, erreur);
}

std::string reglages_en_texte(const Configuration& c) {
    return en_texte<Configuration>(c, REGLAGES);
}

} // namespace korva::serveur
