#include "web/session_terminal.hpp"

#include "files/lecture_texte.hpp"
#include "serveur/journal.hpp"
#include "web/protocole.hpp"
#include "web/terminal_enfant.hpp"

#include <boost/asio/posix/stream_descriptor.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/websocket.hpp>

#include <array>
#include <chrono>
#include <memory>
#include <string>

namespace korva::web {

namespace {

namespace beast = boost::beast;
namespace asio = boost::asio;

class SessionTerminal : public std::enable_shared_from_this<SessionTerminal>, public Spectateur {
public:
    SessionTerminal(Connexion connexion, Service& s, Ouverture ouverture)
        : ws_(std::move(connexion)), s_(s), o_(std::move(ouverture)), terminal_(ws_.get_executor()),
          minuterie_(ws_.get_executor()) {}

    ~SessionTerminal() {
        if (enfant_) {
            raccrocher(*enfant_);
        }
    }

    void demarrer(const Requete& requete) {
        ws_.next_layer().transport().expirer({}); // the WebSocket keeps its own time
        ws_.set_option(beast::websocket::stream_base::timeout::suggested(beast::role_type::server));
        ws_.read_message_max(static_cast<std::size_t>(s_.web.octets_message));
        ws_.binary(true);
        ws_.async_accept(requete, [soi = shared_from_this()](error_code e) {
            if (!e) {
                soi->ouvrir();
            }
        });
    }

private:
    // The game's own size until the page says its own.
    static constexpr Taille TAILLE_DEPART{50, 110};

    // A page watching a game live shares the one watch of it; any other runs its own program.
    void ouvrir() {
        const Programme& p = o_.programme;
        if (!p.diffusee.empty()) {
            diffusion_ = s_.diffusions.rejoindre(ws_.get_executor(), p.diffusee, p.commande,
                                                 p.environnement, p.dossier);
            if (!diffusion_) {
                serveur::journal("no terminal for %s", o_.adresse.c_str());
                return couper();
            }
            diffusion_->ajouter(shared_from_this());
            vu();
            attendre_inactivite();
            return lire_page();
        }
        enfant_ = lancer_sur_terminal(p.commande, p.environnement, p.dossier, TAILLE_DEPART);
        if (!enfant_) {
            serveur::journal("no terminal for %s", o_.adresse.c_str());
            return couper();
        }
        terminal_.assign(enfant_->maitre);
        vu();
        attendre_inactivite();
        lire_page();
        lire_terminal();
    }

    void vu() { derniere_ = std::chrono::steady_clock::now(); }

    void attendre_inactivite() {
        minuterie_.expires_at(derniere_ + std::chrono::seconds(s_.web.inactivite_s));
        minuterie_.async_wait([soi = shared_from_this()](error_code e) {
            if (e) {
                return;
            }
            if (std::chrono::steady_clock::now() - soi->derniere_ >=
                std::chrono::seconds(soi->s_.web.inactivite_s)) {
                serveur::journal("idle connection of %s closed: idle-seconds",
                                 soi->o_.adresse.c_str());
                return soi->couper();
            }
            soi->attendre_inactivite();
        });
    }

    void lire_page() {
        ws_.async_read(entree_, [soi = shared_from_this()](error_code e, std::size_t) {
            if (e == beast::websocket::error::message_too_big) {
                serveur::journal("%s sent a message over message-bytes: closed",
                                 soi->o_.adresse.c_str());
            }
            if (e) {
                return soi->couper();
            }
            soi->vu();
            if (soi->ws_.got_text()) {
                soi->redimensionner_depuis(beast::buffers_to_string(soi->entree_.data()));
            } else if (!soi->o_.programme.lecture_seule) {
                return soi->taper();
            }
            soi->entree_.consume(soi->entree_.size());
            soi->lire_page();
        });
    }

    // The keys go to the program before the next message is read: a page that types faster
    // than its program reads waits on its own connection, and nobody else's.
    void taper() {
        asio::async_write(terminal_, entree_.data(),
                          [soi = shared_from_this()](error_code e, std::size_t) {
                              soi->entree_.consume(soi->entree_.size());
                              if (e) {
                                  return soi->couper();
                              }
                              soi->lire_page();
                          });
    }

    // A text message is the page's size (protocole.hpp).
    void redimensionner_depuis(const std::string& texte) {
        std::size_t position = 0;
        const std::string_view mot = lire_mot(texte, position);
        const std::optional<int> lignes = nombre_entier(lire_mot(texte, position));
        const std::optional<int> colonnes = nombre_entier(lire_mot(texte, position));
        if (mot == MOT_TAILLE && lignes && colonnes && enfant_) {
            redimensionner(enfant_->maitre, bornee(*lignes, *colonnes));
        }
    }

    void lire_terminal() {
        terminal_.async_read_some(asio::buffer(lu_),
                                  [soi = shared_from_this()](error_code e, std::size_t n) {
                                      if (e) {
                                          return soi->finir(); // the program ended
                                      }
                                      soi->recevoir(std::string_view(soi->lu_.data(), n));
                                      if (!soi->coupee_) {
                                          soi->lire_terminal();
                                      }
                                  });
    }

public:
    // The screen's bytes, from the page's own program or the watch it shares.
    void recevoir(std::string_view octets) override {
        if (coupee_) {
            return;
        }
        vu();
        attente_.append(octets);
        if (attente_.size() > static_cast<std::size_t>(s_.web.octets_en_attente)) {
            serveur::journal("%s left %zu bytes unread: dropped, over unread-bytes",
                             o_.adresse.c_str(), attente_.size());
            return couper();
        }
        envoyer();
    }

    // What the program wrote last goes first, then the connection closes.
    void finir() override {
        fini_ = true;
        envoyer();
    }

private:
    // One frame at a time; what the program writes meanwhile waits, up to the bound.
    void envoyer() {
        if (en_envoi_ || coupee_) {
            return;
        }
        if (attente_.empty()) {
            if (fini_) {
                coupee_ = true;
                ws_.async_close(beast::websocket::close_code::normal,
                                [soi = shared_from_this()](error_code) { soi->couper(); });
            }
            return;
        }
        envoi_.swap(attente_);
        attente_.clear();
        en_envoi_ = true;
        ws_.async_write(asio::buffer(envoi_),
                        [soi = shared_from_this()](error_code e, std::size_t) {
                            soi->en_envoi_ = false;
                            if (e) {
                                return soi->couper();
                            }
                            soi->envoyer();
                        });
    }

    // Ends everything at once: every operation under way ends, and the last one lets this go.
    void couper() {
        coupee_ = true;
        error_code ignoree;
        ws_.next_layer().transport().fermer();
        terminal_.close(ignoree);
        minuterie_.cancel();
    }

    beast::websocket::stream<Connexion, false> ws_; // no compression offered
    Service& s_;
    Ouverture o_;
    asio::posix::stream_descriptor terminal_;
    asio::steady_timer minuterie_;
    std::optional<Enfant> enfant_;
    std::shared_ptr<Diffusion> diffusion_; // a live watch shared with other pages
    std::chrono::steady_clock::time_point derniere_;
    beast::flat_buffer entree_;
    std::array<char, 16384> lu_{};
    std::string attente_, envoi_;
    bool en_envoi_ = false, fini_ = false, coupee_ = false;
};

} // namespace

void ouvrir_terminal(Connexion connexion, const Requete& requete, Service& s, Ouverture ouverture) {
    std::make_shared<SessionTerminal>(std::move(connexion), s, std::move(ouverture))
        ->demarrer(requete);
}

} // namespace korva::web
