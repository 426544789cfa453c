#include "web/session_http.hpp"

#include "web/pages.hpp"
#include "web/routes.hpp"
#include "web/session_evenements.hpp"
#include "web/session_terminal.hpp"

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

#include <chrono>
#include <memory>
#include <optional>

namespace korva::web {

namespace {

namespace beast = boost::beast;
namespace http = beast::http;

// A request, headers and body, is read within this time, and its body is never larger.
constexpr std::chrono::seconds DELAI_REQUETE{15};
constexpr std::uint64_t CORPS_MAX = 1024;
constexpr std::uint32_t ENTETES_MAX = 8192;

class SessionHttp : public std::enable_shared_from_this<SessionHttp> {
public:
    SessionHttp(Connexion connexion, Service& s, std::string pair, Places::Jeton place)
        : flux_(std::move(connexion)), s_(s), pair_(std::move(pair)), place_(std::move(place)) {}

    void demarrer() {
        flux_.transport().expirer(DELAI_REQUETE);
        flux_.transport().commencer(Rappel([soi = shared_from_this()](error_code e) {
            if (!e) {
                soi->lire();
            }
        }));
    }

private:
    void lire() {
        analyseur_.emplace();
        analyseur_->body_limit(CORPS_MAX);
        analyseur_->header_limit(ENTETES_MAX);
        flux_.transport().expirer(DELAI_REQUETE);
        http::async_read(flux_, tampon_, *analyseur_,
                         [soi = shared_from_this()](error_code e, std::size_t) {
                             if (!e) {
                                 soi->traiter(soi->analyseur_->release());
                             }
                         });
    }

    void traiter(const Requete& requete) {
        Suite suite = repondre(
            Demande{requete.method(), requete.target(), beast::websocket::is_upgrade(requete),
                    requete[http::field::origin],
                    adresse_client(s_.web, pair_, requete["X-Forwarded-For"]), pair_, place_},
            s_);
        if (auto* ouverture = std::get_if<Ouverture>(&suite)) {
            return ouvrir_terminal(std::move(flux_), requete, s_, std::move(*ouverture));
        }
        if (auto* abonnement = std::get_if<Abonnement>(&suite)) {
            return ouvrir_evenements(std::move(flux_), requete, s_, std::move(*abonnement));
        }
        ecrire(requete, std::get<Reponse>(std::move(suite)));
    }

    void ecrire(const Requete& requete, Reponse r) {
        auto reponse = std::make_shared<http::response<http::string_body>>(
            r.statut, requete.version(), std::move(r.corps));
        reponse->set(http::field::server, "korva-web");
        reponse->set(http::field::content_type, r.type);
        reponse->set("Content-Security-Policy", POLITIQUE_CONTENU);
        reponse->set("X-Content-Type-Options", "nosniff");
        reponse->set("Referrer-Policy", "no-referrer");
        reponse->set(http::field::cache_control, "no-cache");
        reponse->keep_alive(requete.keep_alive() && r.statut == http::status::ok);
        reponse->prepare_payload();
        if (requete.method() == http::verb::head) {
            reponse->body().clear();
        }
        http::async_write(flux_, *reponse,
                          [soi = shared_from_this(), reponse](error_code e, std::size_t) {
                              if (!e && reponse->keep_alive()) {
                                  soi->lire();
                              } else if (!e) {
                                  soi->fermer();
                              }
                          });
    }

    void fermer() {
        flux_.transport().expirer(DELAI_REQUETE);
        flux_.transport().finir(Rappel([soi = shared_from_this()](error_code) {}));
    }

    Connexion flux_;
    Service& s_;
    std::string pair_;
    Places::Jeton place_;
    beast::flat_buffer tampon_;
    std::optional<http::request_parser<http::string_body>> analyseur_;
};

} // namespace

void servir_http(Connexion connexion, Service& s, std::string pair, Places::Jeton place) {
    std::make_shared<SessionHttp>(std::move(connexion), s, std::move(pair), std::move(place))
        ->demarrer();
}

} // namespace korva::web
