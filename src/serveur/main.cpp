// korva-serveur: the lobby of a KORVA server, started by sshd for each connection, or the
// operator's commands with --admin.
#include "serveur/admin.hpp"
#include "serveur/configuration.hpp"
#include "serveur/hall.hpp"
#include "serveur/lancement.hpp"

#include <sodium.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int STATUT_USAGE = 2;

int usage() {
    std::fprintf(stderr,
                 "usage: korva-serveur [--config FILE] [--admin COMMAND [NAME]]\n"
                 "The lobby of a KORVA server, as sshd's forced command; with --admin, one of "
                 "the operator's commands:\n%s"
                 "The configuration is read from %s unless --config names another.\n",
                 korva::serveur::COMMANDES_ADMIN, korva::serveur::CONFIGURATION_DEFAUT);
    return STATUT_USAGE;
}

// The client's address, as sshd tells it: the first word of SSH_CONNECTION.
std::string adresse_du_client() {
    const char* connexion = std::getenv("SSH_CONNECTION");
    const std::string texte = connexion != nullptr ? connexion : "";
    return texte.empty() ? "local" : texte.substr(0, texte.find(' '));
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string chemin = korva::serveur::CONFIGURATION_DEFAUT;
    if (arguments.size() >= 2 && arguments[0] == "--config") {
        chemin = arguments[1];
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    const bool admin = !arguments.empty() && arguments[0] == "--admin";
    if (!arguments.empty() && !admin) {
        return usage();
    }
    std::string erreur;
    const std::optional<korva::serveur::Configuration> configuration =
        korva::serveur::lire_configuration(chemin, erreur);
    if (!configuration || sodium_init() < 0) {
        std::fprintf(stderr, "korva-serveur: %s\n",
                     configuration ? "libsodium cannot start" : erreur.c_str());
        return 1;
    }
    if (admin) {
        const int statut = korva::serveur::administrer(
            *configuration, std::vector<std::string>(arguments.begin() + 1, arguments.end()));
        return statut == STATUT_USAGE ? usage() : statut;
    }
    // The terminal is the player's: the log goes where the configuration says.
    if (!configuration->journal.empty() &&
        std::freopen(configuration->journal.c_str(), "a", stderr) == nullptr) {
        return 1;
    }
    korva::serveur::ignorer_touches_de_signal();
    korva::serveur::Hall(*configuration, adresse_du_client()).accueillir();
}
