#include "web/session_evenements.hpp"

#include "serveur/journal.hpp"

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/websocket.hpp>

#include <memory>

namespace korva::web {

namespace {

namespace beast = boost::beast;
namespace asio = boost::asio;
using Json = std::shared_ptr<const std::string>;

class SessionEvenements : public std::enable_shared_from_this<SessionEvenements> {
public:
    SessionEvenements(Connexion connexion, Service& s, Abonnement abonnement)
        : ws_(std::move(connexion)), s_(s), a_(std::move(abonnement)) {}

    void demarrer(const Requete& requete) {
        // The WebSocket keeps its own time: a page that answers no ping is dropped.
        ws_.next_layer().transport().expirer({});
        ws_.set_option(beast::websocket::stream_base::timeout::suggested(beast::role_type::server));
        ws_.read_message_max(static_cast<std::size_t>(s_.web.octets_message));
        ws_.text(true);
        ws_.async_accept(requete, [soi = shared_from_this()](error_code e) {
            if (!e) {
                soi->ouvrir();
            }
        });
    }

private:
    void ouvrir() {
        jeton_ = s_.abonnes.abonner([faible = weak_from_this()](const Json& json) {
            if (const auto soi = faible.lock()) {
                soi->pousser(json);
            }
        });
        pousser(s_.etat.instantane()->json);
        lire();
    }

    // What the page sends is read only to be dropped, so that its pings and its close are seen.
    void lire() {
        ws_.async_read(entree_, [soi = shared_from_this()](error_code e, std::size_t) {
            if (e == beast::websocket::error::message_too_big) {
                serveur::journal("%s sent a message over message-bytes: closed",
                                 soi->a_.adresse.c_str());
            }
            if (e) {
                return soi->couper();
            }
            soi->entree_.consume(soi->entree_.size());
            soi->lire();
        });
    }

    // The newest takes the place of one that waits still.
    void pousser(const Json& json) {
        if (json->empty()) {
            return; // nothing looked at yet
        }
        attente_ = json;
        envoyer();
    }

    void envoyer() {
        if (envoi_ || !attente_ || coupee_) {
            return;
        }
        envoi_ = std::move(attente_);
        attente_.reset();
        ws_.async_write(asio::buffer(*envoi_),
                        [soi = shared_from_this()](error_code e, std::size_t) {
                            soi->envoi_.reset();
                            if (e) {
                                return soi->couper();
                            }
                            soi->envoyer();
                        });
    }

    void couper() {
        coupee_ = true;
        jeton_.reset();
        ws_.next_layer().transport().fermer();
    }

    beast::websocket::stream<Connexion, false> ws_; // no compression offered
    Service& s_;
    Abonnement a_;
    Abonnes::Jeton jeton_;
    beast::flat_buffer entree_;
    Json envoi_, attente_;
    bool coupee_ = false;
};

} // namespace

void ouvrir_evenements(Connexion connexion, const Requete& requete, Service& s,
                       Abonnement abonnement) {
    std::make_shared<SessionEvenements>(std::move(connexion), s, std::move(abonnement))
        ->demarrer(requete);
}

} // namespace korva::web
