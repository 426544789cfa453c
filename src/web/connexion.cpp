#include "web/connexion.hpp"

#include <boost/asio/post.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/ssl/ssl_stream.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <boost/beast/websocket/teardown.hpp>

namespace korva::web {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;

void expirer_flux(beast::tcp_stream& flux, std::chrono::seconds delai) {
    if (delai.count() == 0) {
        flux.expires_never();
    } else {
        flux.expires_after(delai);
    }
}

class TransportTcp : public Transport {
public:
    explicit TransportTcp(asio::ip::tcp::socket socket) : flux_(std::move(socket)) {}

    void lire(std::vector<asio::mutable_buffer> tampons, Rappel fin) override {
        flux_.async_read_some(std::move(tampons), std::move(fin));
    }
    void ecrire(std::vector<asio::const_buffer> tampons, Rappel fin) override {
        flux_.async_write_some(std::move(tampons), std::move(fin));
    }
    void commencer(Rappel fin) override { fini(std::move(fin)); }
    void finir(Rappel fin) override {
        error_code ignoree;
        flux_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignoree);
        fini(std::move(fin));
    }
    void demonter(beast::role_type role, Rappel fin) override {
        beast::websocket::async_teardown(role, flux_.socket(), std::move(fin));
    }
    void expirer(std::chrono::seconds delai) override { expirer_flux(flux_, delai); }
    void fermer() override {
        error_code ignoree;
        flux_.socket().close(ignoree);
    }

private:
    // Done at once, yet told later, as every operation is.
    void fini(Rappel fin) {
        asio::post(flux_.get_executor(), [fin = std::move(fin)]() mutable { fin({}); });
    }

    beast::tcp_stream flux_;
};

class TransportTls : public Transport {
public:
    TransportTls(asio::ip::tcp::socket socket, asio::ssl::context& tls)
        : flux_(beast::tcp_stream(std::move(socket)), tls) {}

    void lire(std::vector<asio::mutable_buffer> tampons, Rappel fin) override {
        flux_.async_read_some(std::move(tampons), std::move(fin));
    }
    void ecrire(std::vector<asio::const_buffer> tampons, Rappel fin) override {
        flux_.async_write_some(std::move(tampons), std::move(fin));
    }
    void commencer(Rappel fin) override {
        flux_.async_handshake(asio::ssl::stream_base::server, std::move(fin));
    }
    void finir(Rappel fin) override { flux_.async_shutdown(std::move(fin)); }
    void demonter(beast::role_type role, Rappel fin) override {
        beast::async_teardown(role, flux_, std::move(fin));
    }
    void expirer(std::chrono::seconds delai) override {
        expirer_flux(beast::get_lowest_layer(flux_), delai);
    }
    void fermer() override {
        error_code ignoree;
        beast::get_lowest_layer(flux_).socket().close(ignoree);
    }

private:
    beast::ssl_stream<beast::tcp_stream> flux_;
};

} // namespace

Connexion::Connexion(asio::ip::tcp::socket socket, asio::ssl::context* tls)
    : executeur_(socket.get_executor()) {
    if (tls) {
        t_ = std::make_unique<TransportTls>(std::move(socket), *tls);
    } else {
        t_ = std::make_unique<TransportTcp>(std::move(socket));
    }
}

void beast_close_socket(Connexion& c) {
    c.transport().fermer();
}

} // namespace korva::web
