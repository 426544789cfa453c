#include "web/signaux.hpp"

#include "web/terminal_enfant.hpp"

#include <csignal>

namespace korva::web {

Signaux::Signaux(boost::asio::io_context& io) : enfants_(io, SIGCHLD), fin_(io, SIGTERM, SIGINT) {
    std::signal(SIGPIPE, SIG_IGN);
    attendre_enfants();
    fin_.async_wait([&io](boost::system::error_code, int) { io.stop(); });
}

void Signaux::attendre_enfants() {
    enfants_.async_wait([this](boost::system::error_code e, int) {
        if (!e) {
            recolter();
            attendre_enfants();
        }
    });
}

} // namespace korva::web
