#include "web/service.hpp"

#include "serveur/regles.hpp"
#include "web/session_http.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

#include <algorithm>
#include <csignal>
#include <ctime>

namespace korva::web {

namespace {

using tcp = asio::ip::tcp;

class Ecoute : public std::enable_shared_from_this<Ecoute> {
public:
    Ecoute(asio::io_context& io, Service& s, asio::ssl::context* tls)
        : io_(io), s_(s), tls_(tls), accepteur_(io) {}

    bool ouvrir() {
        beast::error_code e;
        const tcp::endpoint point(asio::ip::make_address(s_.web.adresse, e),
                                  static_cast<unsigned short>(s_.web.port));
        if (!e) {
            accepteur_.open(point.protocol(), e);
        }
        if (!e) {
            accepteur_.set_option(asio::socket_base::reuse_address(true), e);
            accepteur_.bind(point, e);
        }
        if (!e) {
            accepteur_.listen(asio::socket_base::max_listen_connections, e);
        }
        if (e) {
            serveur::journal("cannot listen on %s port %d: %s", s_.web.adresse.c_str(), s_.web.port,
                             e.message().c_str());
            return false;
        }
        const tcp::endpoint ecoute = accepteur_.local_endpoint(e);
        serveur::journal("listening on %s port %d%s", ecoute.address().to_string().c_str(),
                         static_cast<int>(ecoute.port()), tls_ ? " with TLS" : "");
        return true;
    }

    void accepter() {
        accepteur_.async_accept(
            io_, [soi = shared_from_this()](beast::error_code e, tcp::socket socket) {
                if (!e) {
                    soi->recevoir(std::move(socket));
                }
                soi->accepter();
            });
    }

private:
    // A proxy's connections carry many clients: theirs are counted once their address is read.
    void recevoir(tcp::socket socket) {
        beast::error_code e;
        const std::string pair = socket.remote_endpoint(e).address().to_string();
        if (e) {
            return;
        }
        const auto& m = s_.web.mandataires;
        Places::Jeton place;
        if (std::find(m.begin(), m.end(), pair) == m.end() && !(place = s_.places.prendre(pair))) {
            s_.refuser(pair, "connections-per-address");
            return;
        }
        beast::tcp_stream flux(std::move(socket));
        if (tls_) {
            std::make_shared<SessionHttp<beast::ssl_stream<beast::tcp_stream>>>(
                beast::ssl_stream<beast::tcp_stream>(std::move(flux), *tls_), s_, pair,
                std::move(place))
                ->demarrer();
        } else {
            std::make_shared<SessionHttp<beast::tcp_stream>>(std::move(flux), s_, pair,
                                                             std::move(place))
                ->demarrer();
        }
    }

    asio::io_context& io_;
    Service& s_;
    asio::ssl::context* tls_;
    tcp::acceptor accepteur_;
};

void attendre_enfants(asio::signal_set& signaux) {
    signaux.async_wait([&signaux](beast::error_code e, int) {
        if (!e) {
            recolter();
            attendre_enfants(signaux);
        }
    });
}

} // namespace

void Service::refuser(const std::string& adresse, std::string_view reglage) {
    for (const std::string& ligne :
         serveur::resumer_refus(refus, adresse, reglage, std::time(nullptr))) {
        serveur::journal("%s", ligne.c_str());
    }
}

bool servir(Service& service) {
    std::signal(SIGPIPE, SIG_IGN);         // a connection that drops is seen where it is written
    std::optional<asio::ssl::context> tls; // outlives every connection, ended with `io`
    if (!service.web.certificat.empty()) {
        tls.emplace(asio::ssl::context::tls_server);
        tls->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                         asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                         asio::ssl::context::no_tlsv1_1);
        beast::error_code e;
        tls->use_certificate_chain_file(service.web.certificat, e);
        if (!e) {
            tls->use_private_key_file(service.web.cle_privee, asio::ssl::context::pem, e);
        }
        if (e) {
            serveur::journal("TLS cannot start: %s", e.message().c_str());
            return false;
        }
    }
    asio::io_context io(1);
    const auto ecoute = std::make_shared<Ecoute>(io, service, tls ? &*tls : nullptr);
    if (!ecoute->ouvrir()) {
        return false;
    }
    ecoute->accepter();
    asio::signal_set enfants(io, SIGCHLD);
    attendre_enfants(enfants);
    // Ended by the system: every terminal hung up on the way out, so that each game is saved.
    asio::signal_set fin(io, SIGTERM, SIGINT);
    fin.async_wait([&io](beast::error_code, int) { io.stop(); });
    io.run();
    return true;
}

} // namespace korva::web
