#include "web/routes.hpp"

#include "files/fichier_sur.hpp"
#include "serveur/dossier_compte.hpp"
#include "serveur/journal.hpp"
#include "serveur/parties.hpp"
#include "serveur/regles.hpp"
#include "web/acces.hpp"
#include "web/instantane.hpp"
#include "web/json.hpp"
#include "web/protocole.hpp"

#include <algorithm>
#include <array>
#include <optional>

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

// The value of the query's one field `nom`; nothing for any other query.
std::optional<std::string_view> valeur(std::string_view question, std::string_view nom) {
    if (!question.starts_with(nom) || question.substr(nom.size(), 1) != "=") {
        return std::nullopt;
    }
    return question.substr(nom.size() + 1);
}

Suite etat(const Demande&, std::string_view, Service& s) {
    return Reponse{status::ok, *s.etat.instantane()->json, JSON};
}

Suite evenements(const Demande& d, std::string_view, Service&) {
    return Abonnement{nullptr, d.adresse};
}

// The addresses the page may be opened at, for a page opened elsewhere to say which.
Suite origines(const Demande&, std::string_view, Service& s) {
    return Reponse{status::ok, liste(s.web.origines, s.web.origines.size(), chaine) + "\n", JSON};
}

// An account's latest games, by its name in hexadecimal, from the state thread's index: only
// their recordings are looked at, to say which are kept.
Suite parties_du_compte(const Demande&, std::string_view question, Service& s) {
    const std::optional<std::string_view> cle = valeur(question, PARAMETRE_COMPTE);
    if (!cle) {
        return introuvable();
    }
    const auto instantane = s.etat.instantane();
    const auto& comptes = instantane->index->par_compte;
    const auto siennes = comptes.find(std::string(*cle));
    const std::vector<PartieFinie> aucune;
    const std::vector<PartieFinie>& parties = siennes == comptes.end() ? aucune : siennes->second;
    return Reponse{status::ok,
                   objet({{CHAMP_COMPTE, parties.empty() ? "null" : chaine(parties[0].compte)},
                          {CHAMP_PARTIES, liste(parties, PARTIES_PAR_COMPTE,
                                                [&](const PartieFinie& p) {
                                                    return json_partie_finie(s.hall, p);
                                                })}}) +
                       "\n",
                   JSON};
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
    const std::optional<std::string_view> nom = valeur(question, PARAMETRE_REGARD);
    if (!nom) {
        return introuvable();
    }
    const auto instantane = s.etat.instantane();
    const auto partie = instantane->en_cours.find(std::string(*nom));
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
                        std::move(admission.places),
                        *chemin});
}

// A game ended watched again, by its name in the lists, while its recording is kept. The
// replay's own keys reach it: they steer it, and it writes nothing.
Suite rejouer(const Demande& d, std::string_view question, Service& s) {
    const std::optional<std::string_view> nom = valeur(question, PARAMETRE_REGARD);
    if (!nom) {
        return introuvable();
    }
    const auto instantane = s.etat.instantane();
    const auto& rejeux = instantane->index->rejeux;
    const auto partie = rejeux.find(std::string(*nom));
    const std::string chemin =
        partie == rejeux.end() ? "" : serveur::chemin_enregistrement(s.hall, partie->second);
    if (chemin.empty() || !fichier_existe(chemin)) {
        return introuvable("No such game's recording is kept.\n");
    }
    serveur::Admission admission = serveur::admettre_rejeu(s.hall, d.adresse);
    if (admission.refus) {
        return Reponse{status::too_many_requests, admission.refus->message + "\n"};
    }
    serveur::journal("replay of %s by %s", chemin.c_str(), d.adresse.c_str());
    return terminal(d, {{s.hall.jeu, "--replay", chemin},
                        environnement(d.adresse),
                        serveur::dossier_du_compte(s.hall, partie->second.compte),
                        false,
                        std::move(admission.places)});
}

// What a page opened at another address than the configured ones is told to open instead.
std::string origine_refusee(const ConfigurationWeb& c) {
    std::string texte = "This page's origin is not ours";
    for (std::size_t i = 0; i < c.origines.size(); ++i) {
        texte += (i == 0 ? ": open " : " or ") + c.origines[i] + "/";
    }
    return texte + ".\n";
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
    Route{CHEMIN_PARTIES, false, parties_du_compte},
    Route{CHEMIN_ORIGINES, false, origines},
    Route{CHEMIN_JEU, true, jouer},
    Route{CHEMIN_REGARD, true, regarder},
    Route{CHEMIN_REJEU, true, rejouer},
    Route{CHEMIN_EVENEMENTS, true, evenements},
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
        return Reponse{status::forbidden, origine_refusee(s.web)};
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
    } else if (auto* abonnement = std::get_if<Abonnement>(&suite)) {
        abonnement->place = std::move(place);
    }
    return suite;
}

} // namespace korva::web
