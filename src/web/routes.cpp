#include "web/routes.hpp"

#include "serveur/dossier_compte.hpp"
#include "serveur/journal.hpp"
#include "serveur/parties.hpp"
#include "serveur/regles.hpp"
#include "web/acces.hpp"
#include "web/protocole.hpp"

#include <algorithm>
#include <array>

namespace korva::web {

namespace {

using boost::beast::http::status;
using boost::beast::http::verb;

constexpr std::string_view JSON = "application/json";

Reponse introuvable(std::string corps = "Not found.\n") {
    return {status::not_found, std::move(corps)};
}

// The lobby's program for a player's page, and a live watch's for a watcher's: each on a
// terminal that speaks UTF-8 as the page's widget does, the client's address where the lobby
// reads it.
std::vector<std::string> environnement(const std::string& adresse) {
    return {"PATH=/usr/bin:/bin", "TERM=xterm-256color", "LANG=C.UTF-8",
            "SSH_CONNECTION=" + adresse + " 0 0 0"};
}

// The client's place is given it once its route has answered.
Ouverture terminal(const Demande& d, Programme programme) {
    return {std::move(programme), nullptr, d.adresse};
}

Suite etat(const Demande&, std::string_view, Service& s) {
    return Reponse{status::ok, s.etat.instantane()->json, JSON};
}

Suite jouer(const Demande& d, std::string_view, Service& s) {
    serveur::journal("lobby opened for %s", d.adresse.c_str());
    return terminal(d, {{s.web.hall, "--config", s.web.configuration_hall},
                        environnement(d.adresse),
                        "/",
                        false,
                        {}});
}

// A game's live watch, by its name in the lists: the account as last looked at, its game as it
// is now, from its own few recordings.
Suite regarder(const Demande& d, std::string_view question, Service& s) {
    const std::string cle = std::string(PARAMETRE_REGARD) + "=";
    if (!question.starts_with(cle)) {
        return introuvable();
    }
    const auto instantane = s.etat.instantane();
    const auto partie = instantane->en_cours.find(std::string(question.substr(cle.size())));
    const std::optional<std::string> chemin =
        partie == instantane->en_cours.end()
            ? std::nullopt
            : serveur::enregistrement_en_cours(s.hall, partie->second.compte);
    if (!chemin) {
        return introuvable("No such game in progress.\n");
    }
    // A page's watch is counted as the lobby counts its own, by the same rules.
    serveur::Admission admission =
        serveur::admettre_regard(s.hall, partie->second.compte, d.adresse, true);
    if (admission.refus) {
        return Reponse{status::too_many_requests, admission.refus->message + "\n"};
    }
    serveur::journal("watch of %s by %s", chemin->c_str(), d.adresse.c_str());
    return terminal(d, {{s.hall.jeu, "--replay", *chemin, "--follow"},
                        environnement(d.adresse),
                        serveur::dossier_du_compte(s.hall, partie->second.compte),
                        true,
                        std::move(admission.places)});
}

// A path, whether it is a WebSocket's (else a GET's or a HEAD's), and what answers there. Given
// the request and its query.
struct Route {
    std::string_view chemin;
    bool websocket;
    Suite (*repondre)(const Demande&, std::string_view, Service&);
};
constexpr std::array ROUTES{
    Route{CHEMIN_ETAT, false, etat},
    Route{CHEMIN_JEU, true, jouer},
    Route{CHEMIN_REGARD, true, regarder},
};

} // namespace

Suite repondre(const Demande& d, Service& s) {
    const std::size_t q = d.cible.find('?');
    const std::string_view chemin = d.cible.substr(0, q);
    const std::string_view question = q == std::string_view::npos ? "" : d.cible.substr(q + 1);
    const auto route = std::find_if(ROUTES.begin(), ROUTES.end(), [&](const Route& r) {
        return r.chemin == chemin && r.websocket == d.websocket;
    });
    if (!d.websocket) {
        if (d.methode != verb::get && d.methode != verb::head) {
            return Reponse{status::method_not_allowed, "Only GET is served.\n"};
        }
        if (route != ROUTES.end()) {
            return route->repondre(d, question, s);
        }
        const auto page = s.pages.find(std::string(chemin));
        if (page == s.pages.end()) {
            return introuvable();
        }
        return Reponse{status::ok, page->second.contenu, page->second.type};
    }
    if (!origine_admise(s.web, d.origine)) {
        serveur::journal("WebSocket from %s refused: origin \"%.*s\"", d.adresse.c_str(),
                         static_cast<int>(std::min<std::size_t>(d.origine.size(), 100)),
                         d.origine.data());
        return Reponse{status::forbidden, "This page's origin is not ours.\n"};
    }
    if (route == ROUTES.end()) {
        return introuvable();
    }
    // A proxy's connection holds no place for the client it forwards: one is taken now.
    Places::Jeton place = d.place_du_pair;
    if (d.adresse != d.pair && !(place = s.places.prendre(d.adresse))) {
        s.refuser(d.adresse, "connections-per-address");
        return Reponse{status::too_many_requests, "Too many connections.\n"};
    }
    Suite suite = route->repondre(d, question, s);
    if (auto* ouverture = std::get_if<Ouverture>(&suite)) {
        ouverture->place = std::move(place);
    }
    return suite;
}

} // namespace korva::web
