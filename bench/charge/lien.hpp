// A player's way to the server, whatever carries it: a pseudo-terminal of the benchmark's own
// (the lobby as sshd hands it over, or an ssh client), korva-web's WebSocket, or the web
// terminal bridge's socket.io. Keys go in as a terminal sends them; the screen's bytes come out.
// Everything runs on one io_context, one thread.
#pragma once

#include <utility> // Boost.Asio 1.74 uses std::exchange without it

#include <boost/asio.hpp>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace korva::charge {

namespace asio = boost::asio;

class Lien {
public:
    virtual ~Lien() = default;
    virtual void ouvrir() = 0;
    virtual void envoyer(std::string touches) = 0;
    virtual void fermer() = 0;
    // The process the benchmark started for it, if any (an ssh client, a lobby).
    virtual pid_t processus() const { return -1; }

    std::function<void(std::string_view)> quand_recu;
    // The connection refused (an HTTP status, 0 for none) or lost.
    std::function<void(int statut)> quand_perdu;
};

// A program on a pseudo-terminal of 50 lines by 110 columns, with these variables set.
std::unique_ptr<Lien> lien_terminal(asio::io_context& io, std::vector<std::string> commande,
                                    std::vector<std::string> environnement);

// The WebSocket of korva-web at `chemin` (/play, or /watch?game=...), from the loopback address
// `depuis`, with the page's origin; the terminal's size sent first.
std::unique_ptr<Lien> lien_web(asio::io_context& io, int port, std::string chemin,
                               std::string depuis, std::string origine);

// The web terminal bridge's socket.io (Engine.IO 4 over a WebSocket), as its page speaks it: the
// size sent as a resize, keys as input, the screen as data, pings answered.
std::unique_ptr<Lien> lien_pont(asio::io_context& io, int port, std::string depuis);

} // namespace korva::charge
