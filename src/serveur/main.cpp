// korva-serveur: the lobby of a KORVA server, started by sshd for each connection, or the
// operator's commands with --admin.
#include "serveur/admin.hpp"
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
#include <vector>

namespace {

constexpr int STATUT_USAGE = 2;
constexpr const char* PROGRAMME = "korva-serveur";

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

// As the korva account's login shell, korva-serveur is run by sshd (with its forced command) and
// by su as `korva-serveur -c COMMAND`. It runs only itself, with the --config the command names:
// the words after the program's name, or nothing when the command is any other.
std::optional<std::vector<std::string>> commande_du_shell(const std::string& commande) {
    std::vector<std::string> mots;
    for (std::size_t debut = 0; debut < commande.size();) {
        const std::size_t fin = std::min(commande.find(' ', debut), commande.size());
        if (fin > debut) {
            mots.push_back(commande.substr(debut, fin - debut));
        }
        debut = fin + 1;
    }
    const bool lobby = !mots.empty() && std::filesystem::path(mots[0]).filename() == PROGRAMME;
    mots.erase(mots.begin(), mots.begin() + (mots.empty() ? 0 : 1));
    if (!lobby || !(mots.empty() || (mots.size() == 2 && mots[0] == "--config"))) {
        return std::nullopt;
    }
    return mots;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 2 && arguments[0] == "-c") {
        const auto commande = commande_du_shell(arguments[1]);
        if (!commande) {
            std::fprintf(stderr, "%s: this account opens the KORVA lobby and runs nothing else\n",
                         PROGRAMME);
            return 1;
        }
        arguments = *commande;
    }
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
