#include "web/ecoute.hpp"

#include "serveur/journal.hpp"
#include "web/session_http.hpp"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>

#include <algorithm>
#include <memory>
#include <optional>

namespace korva::web {

namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

class Ecoute : public std::enable_shared_from_this<Ecoute> {
public:
    Ecoute(asio::io_context& io, Service& s) : io_(io), s_(s), accepteur_(io) {}

    bool ouvrir() { return (s_.web.certificat.empty() || preparer_tls()) && ecouter(); }

    void accepter() {
        accepteur_.async_accept(io_, [soi = shared_from_this()](error_code e, tcp::socket socket) {
            if (!e) {
                soi->recevoir(std::move(socket));
            }
            soi->accepter();
        });
    }

private:
    bool preparer_tls() {
        tls_.emplace(asio::ssl::context::tls_server);
        tls_->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                          asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                          asio::ssl::context::no_tlsv1_1);
        error_code e;
        tls_->use_certificate_chain_file(s_.web.certificat, e);
        if (!e) {
            tls_->use_private_key_file(s_.web.cle_privee, asio::ssl::context::pem, e);
        }
        if (e) {
            serveur::journal("TLS cannot start: %s", e.message().c_str());
        }
        return !e;
    }

    bool ecouter() {
        error_code e;
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

    // A proxy's connections carry many clients: theirs are counted once their address is read.
    void recevoir(tcp::socket socket) {
        error_code e;
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
        servir_http(Connexion(std::move(socket), tls_ ? &*tls_ : nullptr), s_, pair,
                    std::move(place));
    }

    asio::io_context& io_;
    Service& s_;
    std::optional<asio::ssl::context> tls_; // each connection's TLS holds a reference of its own
    tcp::acceptor accepteur_;
};

} // namespace

bool ecouter(asio::io_context& io, Service& s) {
    const auto ecoute = std::make_shared<Ecoute>(io, s);
    if (!ecoute->ouvrir()) {
        return false;
    }
    ecoute->accepter();
    return true;
}

} // namespace korva::web
