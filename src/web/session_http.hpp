// One connection of a browser: its requests answered with the page's own files and the
// server's state, until it asks for a WebSocket, which then becomes a terminal's.
#pragma once

#include "serveur/dossier_compte.hpp"
#include "serveur/journal.hpp"
#include "serveur/regles.hpp"
#include "web/etat.hpp"
#include "web/session_terminal.hpp"

#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket/ssl.hpp>

#include <type_traits>

namespace korva::web {

namespace http = beast::http;

// A request, headers and body, is read within this time, and its body is never larger.
constexpr std::chrono::seconds DELAI_REQUETE{15};
constexpr std::uint64_t CORPS_MAX = 1024;
constexpr std::uint32_t ENTETES_MAX = 8192;

// The lobby's program for a player's page, and a live watch's for a watcher's: each on a
// terminal that speaks UTF-8 as the page's widget does, the client's address where the lobby
// reads it.
inline std::vector<std::string> environnement(const std::string& adresse) {
    return {"PATH=/usr/bin:/bin", "TERM=xterm-256color", "LANG=C.UTF-8",
            "SSH_CONNECTION=" + adresse + " 0 0 0"};
}

template <class Flux> class SessionHttp : public std::enable_shared_from_this<SessionHttp<Flux>> {
public:
    SessionHttp(Flux&& flux, Service& s, std::string pair, Places::Jeton place)
        : flux_(std::move(flux)), s_(s), pair_(std::move(pair)), place_(std::move(place)) {}

    void demarrer() {
        if constexpr (TLS) {
            beast::get_lowest_layer(flux_).expires_after(DELAI_REQUETE);
            flux_.async_handshake(asio::ssl::stream_base::server,
                                  [soi = this->shared_from_this()](beast::error_code e) {
                                      if (!e) {
                                          soi->lire();
                                      }
                                  });
        } else {
            lire();
        }
    }

private:
    static constexpr bool TLS = !std::is_same_v<Flux, beast::tcp_stream>;

    void lire() {
        analyseur_.emplace();
        analyseur_->body_limit(CORPS_MAX);
        analyseur_->header_limit(ENTETES_MAX);
        beast::get_lowest_layer(flux_).expires_after(DELAI_REQUETE);
        http::async_read(flux_, tampon_, *analyseur_,
                         [soi = this->shared_from_this()](beast::error_code e, std::size_t) {
                             if (!e) {
                                 soi->traiter(soi->analyseur_->release());
                             }
                         });
    }

    void traiter(Requete requete) {
        const std::string_view cible = requete.target();
        const std::string_view chemin = cible.substr(0, cible.find('?'));
        const std::string_view question =
            cible.substr(std::min(cible.find('?'), cible.size() - 1) + 1);
        if (beast::websocket::is_upgrade(requete)) {
            return ouvrir(std::move(requete), chemin, question);
        }
        if (requete.method() != http::verb::get && requete.method() != http::verb::head) {
            return repondre(requete, http::status::method_not_allowed, "Only GET is served.\n");
        }
        if (chemin == "/status.json") {
            return repondre(requete, http::status::ok, s_.etat.instantane()->json,
                            "application/json");
        }
        const auto page = s_.pages.find(std::string(chemin));
        if (page == s_.pages.end()) {
            return repondre(requete, http::status::not_found, "Not found.\n");
        }
        repondre(requete, http::status::ok, page->second.contenu, page->second.type);
    }

    // A WebSocket: the lobby at /play, a game's live watch at /watch?game=NAME.
    void ouvrir(Requete requete, std::string_view chemin, std::string_view question) {
        const std::string adresse = adresse_client(s_.web, pair_, requete["X-Forwarded-For"]);
        const std::string_view origine = requete[http::field::origin];
        if (!origine_admise(s_.web, origine)) {
            serveur::journal("WebSocket from %s refused: origin \"%.*s\"", adresse.c_str(),
                             static_cast<int>(std::min<std::size_t>(origine.size(), 100)),
                             origine.data());
            return repondre(requete, http::status::forbidden, "This page's origin is not ours.\n");
        }
        Places::Jeton place = place_;
        if (adresse != pair_ && !(place = s_.places.prendre(adresse))) {
            s_.refuser(adresse, "connections-per-address");
            return repondre(requete, http::status::too_many_requests, "Too many connections.\n");
        }
        Programme programme{{s_.web.hall, "--config", s_.web.configuration_hall},
                            environnement(adresse),
                            "/",
                            false,
                            {}};
        if (chemin == "/watch" && question.starts_with("game=")) {
            // The account as last looked at; its game as it is now, from its own few recordings.
            const auto instantane = s_.etat.instantane();
            const auto partie =
                instantane->en_cours.find(std::string(question.substr(sizeof "game=" - 1)));
            const std::optional<std::string> chemin =
                partie == instantane->en_cours.end()
                    ? std::nullopt
                    : serveur::enregistrement_en_cours(s_.hall, partie->second.compte);
            if (!chemin) {
                return repondre(requete, http::status::not_found, "No such game in progress.\n");
            }
            // A page's watch is counted as the lobby counts its own, by the same rules.
            serveur::Admission admission =
                serveur::admettre_regard(s_.hall, partie->second.compte, adresse, true);
            if (admission.refus) {
                return repondre(requete, http::status::too_many_requests,
                                admission.refus->message + "\n");
            }
            programme = {{s_.hall.jeu, "--replay", *chemin, "--follow"},
                         environnement(adresse),
                         serveur::dossier_du_compte(s_.hall, partie->second.compte),
                         true,
                         std::move(admission.places)};
            serveur::journal("watch of %s by %s", chemin->c_str(), adresse.c_str());
        } else if (chemin != "/play") {
            return repondre(requete, http::status::not_found, "Not found.\n");
        } else {
            serveur::journal("lobby opened for %s", adresse.c_str());
        }
        std::make_shared<SessionTerminal<Flux>>(std::move(flux_), s_, std::move(programme),
                                                std::move(place), adresse)
            ->demarrer(std::move(requete));
    }

    void repondre(const Requete& requete, http::status statut, std::string corps,
                  std::string_view type = "text/plain; charset=utf-8") {
        auto reponse = std::make_shared<http::response<http::string_body>>(
            statut, requete.version(), std::move(corps));
        reponse->set(http::field::server, "korva-web");
        reponse->set(http::field::content_type, type);
        reponse->set("Content-Security-Policy", POLITIQUE_CONTENU);
        reponse->set("X-Content-Type-Options", "nosniff");
        reponse->set("Referrer-Policy", "no-referrer");
        reponse->set(http::field::cache_control, "no-cache");
        reponse->keep_alive(requete.keep_alive() && statut == http::status::ok);
        reponse->prepare_payload();
        if (requete.method() == http::verb::head) {
            reponse->body().clear();
        }
        http::async_write(
            flux_, *reponse,
            [soi = this->shared_from_this(), reponse](beast::error_code e, std::size_t) {
                if (!e && reponse->keep_alive()) {
                    soi->lire();
                } else if (!e) {
                    soi->fermer();
                }
            });
    }

    void fermer() {
        beast::error_code ignoree;
        if constexpr (TLS) {
            beast::get_lowest_layer(flux_).expires_after(DELAI_REQUETE);
            flux_.async_shutdown([soi = this->shared_from_this()](beast::error_code) {});
        } else {
            flux_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignoree);
        }
    }

    Flux flux_;
    Service& s_;
    std::string pair_;
    Places::Jeton place_;
    beast::flat_buffer tampon_;
    std::optional<http::request_parser<http::string_body>> analyseur_;
};

} // namespace korva::web
