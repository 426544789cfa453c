// The signals korva-web answers: a child's end, reaped at once so that none stays a zombie, and
// SIGTERM or SIGINT, which end the service (every terminal then hung up on the way out, so that
// each game is saved). A connection that drops is seen where it is written, not as SIGPIPE.
#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

namespace korva::web {

class Signaux {
public:
    // Answered on `io`, as long as this lives.
    explicit Signaux(boost::asio::io_context& io);

private:
    void attendre_enfants();

    boost::asio::signal_set enfants_, fin_;
};

} // namespace korva::web
