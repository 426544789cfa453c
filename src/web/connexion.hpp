// A client's connection, TCP or TLS over it, behind one type that Beast reads and writes as any
// stream. The sessions are compiled once, over it: TLS's and TCP's own operations are compiled
// once each (connexion.cpp), for one kind of callback, rather than for every operation of
// HTTP and of the WebSocket in turn, which took gigabytes to compile.
#pragma once

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/async_result.hpp>
#include <boost/asio/buffer.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/role.hpp>
#include <boost/system/error_code.hpp>

#include <chrono>
#include <memory>
#include <vector>

namespace boost::asio::ssl {
class context;
}

namespace korva::web {

using boost::system::error_code;

// A callback called once, whatever it holds.
class Rappel {
public:
    template <class Fin>
    explicit Rappel(Fin fin) : fin_(std::make_unique<Modele<Fin>>(std::move(fin))) {}
    void operator()(error_code e, std::size_t n = 0) {
        const auto fin = std::move(fin_);
        fin->appeler(e, n);
    }

private:
    struct Concept {
        virtual ~Concept() = default;
        virtual void appeler(error_code e, std::size_t n) = 0;
    };
    template <class Fin> struct Modele : Concept {
        explicit Modele(Fin f) : fin(std::move(f)) {}
        void appeler(error_code e, std::size_t n) override {
            if constexpr (std::is_invocable_v<Fin&, error_code, std::size_t>) {
                fin(e, n);
            } else {
                fin(e);
            }
        }
        Fin fin;
    };
    std::unique_ptr<Concept> fin_;
};

// What either kind of connection does.
class Transport {
public:
    virtual ~Transport() = default;
    virtual void lire(std::vector<boost::asio::mutable_buffer> tampons, Rappel fin) = 0;
    virtual void ecrire(std::vector<boost::asio::const_buffer> tampons, Rappel fin) = 0;
    // TLS's handshake; nothing to do on TCP.
    virtual void commencer(Rappel fin) = 0;
    // The end of what this side sends, once an HTTP answer closes the connection.
    virtual void finir(Rappel fin) = 0;
    // A WebSocket's end, as Beast tears down the stream under it.
    virtual void demonter(boost::beast::role_type role, Rappel fin) = 0;
    // An operation not done by then ends the connection; never again, with zero.
    virtual void expirer(std::chrono::seconds delai) = 0;
    virtual void fermer() = 0;
};

class Connexion {
public:
    using executor_type = boost::asio::any_io_executor;

    // The connection of `socket`, with TLS when `tls` is not null.
    Connexion(boost::asio::ip::tcp::socket socket, boost::asio::ssl::context* tls);

    executor_type get_executor() const { return executeur_; }

    template <class Tampons, class Fin> auto async_read_some(const Tampons& tampons, Fin&& fin) {
        return boost::asio::async_initiate<Fin, void(error_code, std::size_t)>(
            [this](auto fin, const Tampons& tampons) {
                t_->lire({boost::asio::buffer_sequence_begin(tampons),
                          boost::asio::buffer_sequence_end(tampons)},
                         Rappel(std::move(fin)));
            },
            fin, tampons);
    }
    template <class Tampons, class Fin> auto async_write_some(const Tampons& tampons, Fin&& fin) {
        return boost::asio::async_initiate<Fin, void(error_code, std::size_t)>(
            [this](auto fin, const Tampons& tampons) {
                t_->ecrire({boost::asio::buffer_sequence_begin(tampons),
                            boost::asio::buffer_sequence_end(tampons)},
                           Rappel(std::move(fin)));
            },
            fin, tampons);
    }

    Transport& transport() { return *t_; }

private:
    executor_type executeur_;
    std::unique_ptr<Transport> t_;
};

// What Beast's WebSocket asks of its stream's end.
void beast_close_socket(Connexion& c);
template <class Fin> void async_teardown(boost::beast::role_type role, Connexion& c, Fin&& fin) {
    c.transport().demonter(role, Rappel(std::forward<Fin>(fin)));
}

} // namespace korva::web
