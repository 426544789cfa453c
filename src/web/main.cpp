// korva-web: the KORVA server's lobby behind a web page, each page's terminal a lobby of its
// own, and the server's ranking, games won and games in progress beside it.
#include "serveur/confiance.hpp"
#include "serveur/configuration.hpp"
#include "serveur/journal.hpp"
#include "web/configuration_web.hpp"
#include "web/ecoute.hpp"
#include "web/service.hpp"
#include "web/signaux.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Stops the state thread on the way out.
struct Arret {
    korva::web::Etat& etat;
    ~Arret() { etat.arreter(); }
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string chemin = korva::web::CONFIGURATION_WEB_DEFAUT;
    const bool reglages = !arguments.empty() && arguments.back() == "--settings";
    const std::size_t options = arguments.size() - (reglages ? 1 : 0);
    if (options == 2 && arguments[0] == "--config") {
        chemin = arguments[1];
    } else if (options != 0) {
        std::fprintf(stderr,
                     "usage: korva-web [--config FILE] [--settings]\n"
                     "The KORVA server's web page; the configuration is read from %s "
                     "unless --config names another. With --settings, the settings in force "
                     "are listed, and nothing served.\n",
                     korva::web::CONFIGURATION_WEB_DEFAUT);
        return 2;
    }
    korva::serveur::nommer_journal("korva-web");
    std::string erreur;
    std::optional<korva::web::ConfigurationWeb> web =
        korva::serveur::rendre_sur(chemin, erreur)
            ? korva::web::lire_configuration_web(chemin, erreur)
            : std::nullopt;
    if (web && reglages) {
        std::fputs(korva::web::reglages_en_texte(*web).c_str(), stdout);
        return 0;
    }
    // Each page's lobby runs as korva-web's user, on files as safe as its own configuration.
    const std::optional<korva::serveur::Configuration> hall =
        web && korva::serveur::rendre_sur(web->hall, erreur) &&
                korva::serveur::rendre_sur(web->configuration_hall, erreur)
            ? korva::serveur::lire_configuration(web->configuration_hall, erreur)
            : std::nullopt;
    const auto pages = hall ? korva::web::lire_pages(*web, erreur) : std::nullopt;
    if (!pages) {
        korva::serveur::journal("%s", erreur.c_str());
        return 1;
    }
    korva::web::Service service{
        *web, *hall, *pages, korva::web::Places(web->connexions_par_adresse), {}, {}, {}, {}};
    // One thread serves every connection. The sessions end with `io`, before the state they
    // share: each terminal is hung up on the way out, and its game saved.
    boost::asio::io_context io(1);
    // The state thread hands each change over to the serving thread, which tells the pages; it
    // stops before `io` goes, so that it never hands anything to an `io` that is no more.
    service.etat.demarrer(service.hall, [&io, &service](std::shared_ptr<const std::string> json) {
        boost::asio::post(io, [&service, json] { service.abonnes.publier(json); });
    });
    const Arret arret{service.etat};
    const korva::web::Signaux signaux(io);
    if (!korva::web::ecouter(io, service)) {
        return 1;
    }
    io.run();
    return 0;
}
