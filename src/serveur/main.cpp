// korva-serveur: the lobby of a KORVA server, started by sshd for each connection, or the
// operator's commands with --admin.
#include "serveur/admin.hpp"
#include "serveur/confiance.hpp"
#include "serveur/configuration.hpp"
#include "serveur/hall.hpp"
#include "serveur/lancement.hpp"

#include <sodium.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int STATUT_USAGE = 2;
constexpr const char* PROGRAMME = "korva-serveur";

int usage(const std::string& installee) {
    std::fprintf(stderr,
                 "usage: korva-serveur [--config FILE] [--admin COMMAND [NAME]]\n"
                 "The lobby of a KORVA server, as sshd's forced command; with --admin, one of "
                 "the operator's commands:\n%s"
                 "The configuration is read from %s unless --config names another. Started by "
                 "its bare name, as an account's shell is, it takes no option.\n",
                 korva::serveur::COMMANDES_ADMIN, installee.c_str());
    return STATUT_USAGE;
}

// The client's address, as sshd tells it: the first word of SSH_CONNECTION.
std::string adresse_du_client() {
    const char* connexion = std::getenv("SSH_CONNECTION");
    const std::string texte = connexion != nullptr ? connexion : "";
    return texte.empty() ? "local" : texte.substr(0, texte.find(' '));
}

// Whether a shell's command names this very program alone: by its name, or by a path to it.
bool ce_programme_seul(const std::string& commande) {
    const std::size_t debut = std::min(commande.find_first_not_of(" \t"), commande.size());
    const std::string mot = commande.substr(debut, commande.find_last_not_of(" \t") + 1 - debut);
    std::error_code erreur;
    return !mot.empty() && mot.find_first_of(" \t") == std::string::npos &&
           (mot == PROGRAMME || (mot.find('/') != std::string::npos &&
                                 std::filesystem::equivalent(mot, "/proc/self/exe", erreur)));
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string nom = argc > 0 ? argv[0] : "";
    std::error_code sans_proc;
    const std::string programme = std::filesystem::read_symlink("/proc/self/exe", sans_proc);
    if (programme.empty()) {
        std::fprintf(stderr, "%s: /proc/self/exe does not say where the program lies\n", PROGRAMME);
        return 1;
    }
    const std::string installee = korva::serveur::configuration_installee(programme);
    // su, login and sshd start an account's shell by its bare name ('-' before it for a login),
    // with "-c COMMAND" for a command: the ways anyone on the machine reaches the account, whose
    // password is empty. The lobby then runs as a player meets it, and nothing else.
    if (nom.find('/') == std::string::npos || nom.starts_with('-') ||
        (!arguments.empty() && arguments[0] == "-c")) {
        if (!arguments.empty() &&
            !(arguments.size() == 2 && arguments[0] == "-c" && ce_programme_seul(arguments[1]))) {
            std::fprintf(stderr,
                         "%s: this account opens the KORVA lobby and runs nothing else (the "
                         "operator's commands name it by its full path, %s)\n",
                         PROGRAMME, programme.c_str());
            return 1;
        }
        korva::serveur::garder_environnement_de_session();
        arguments.clear();
    }
    std::string chemin = installee;
    if (arguments.size() >= 2 && arguments[0] == "--config") {
        chemin = arguments[1];
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    const bool admin = !arguments.empty() && arguments[0] == "--admin";
    if (!arguments.empty() && !admin) {
        return usage(installee);
    }
    std::string erreur;
    std::optional<korva::serveur::Configuration> configuration =
        korva::serveur::rendre_sur(chemin, erreur)
            ? korva::serveur::lire_configuration(chemin, erreur)
            : std::nullopt;
    // The game runs as the account: from a file as safe as the configuration that names it.
    if (configuration && !admin && !korva::serveur::rendre_sur(configuration->jeu, erreur)) {
        configuration.reset();
    }
    if (!configuration || sodium_init() < 0) {
        std::fprintf(stderr, "korva-serveur: %s\n",
                     configuration ? "libsodium cannot start" : erreur.c_str());
        return 1;
    }
    if (admin) {
        const int statut = korva::serveur::administrer(
            *configuration, std::vector<std::string>(arguments.begin() + 1, arguments.end()));
        return statut == STATUT_USAGE ? usage(installee) : statut;
    }
    // The terminal is the player's: the log goes where the configuration says.
    if (!configuration->journal.empty() &&
        std::freopen(configuration->journal.c_str(), "a", stderr) == nullptr) {
        return 1;
    }
    korva::serveur::ignorer_touches_de_signal();
    korva::serveur::Hall(*configuration, adresse_du_client()).accueillir();
}
