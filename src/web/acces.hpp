// Who a connection comes from and whether it may open a terminal: the client's address, the
// page's origin, and the connections each address holds open.
#pragma once

#include "web/configuration_web.hpp"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace korva::web {

// The client's address: the peer's own, unless the peer is a proxy the configuration names,
// whose forwarding header's last address (the one that proxy added) is then believed when it
// is an address at all.
std::string adresse_client(const ConfigurationWeb& c, const std::string& pair,
                           std::string_view transmise);

// Whether a WebSocket may be opened from a page of that origin: one the configuration names,
// byte for byte.
bool origine_admise(const ConfigurationWeb& c, std::string_view origine);

// The connections open from each client address, within the configured number: a place is held
// for as long as its token lives.
class Places {
public:
    explicit Places(int par_adresse) : par_adresse_(par_adresse) {}
    using Jeton = std::shared_ptr<void>;
    // Nothing when the address holds all its places already.
    Jeton prendre(const std::string& adresse);

private:
    int par_adresse_;
    std::shared_ptr<std::map<std::string, int>> tenues_ =
        std::make_shared<std::map<std::string, int>>();
};

} // namespace korva::web
