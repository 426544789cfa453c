// Where korva-web listens: its address and port, TLS where the settings name a certificate, and
// the connections each peer address holds, counted as they are accepted.
#pragma once

#include "web/service.hpp"

#include <boost/asio/io_context.hpp>

namespace korva::web {

// Listens as `s`'s settings say and accepts on `io` until it ends; false, said on the log, when
// TLS cannot start or nothing can listen there.
bool ecouter(boost::asio::io_context& io, Service& s);

} // namespace korva::web
