#include "web/acces.hpp"

#include <boost/asio/ip/address.hpp>

#include <algorithm>

namespace korva::web {

std::string adresse_client(const ConfigurationWeb& c, const std::string& pair,
                           std::string_view transmise) {
    const auto& m = c.mandataires;
    if (transmise.empty() || std::find(m.begin(), m.end(), pair) == m.end()) {
        return pair;
    }
    std::string_view derniere =
        transmise.substr(std::min(transmise.rfind(',') + 1, transmise.size()));
    while (!derniere.empty() && derniere.front() == ' ') {
        derniere.remove_prefix(1);
    }
    while (!derniere.empty() && derniere.back() == ' ') {
        derniere.remove_suffix(1);
    }
    boost::system::error_code erreur;
    const auto adresse = boost::asio::ip::make_address(std::string(derniere), erreur);
    return erreur ? pair : adresse.to_string();
}

bool origine_admise(const ConfigurationWeb& c, std::string_view origine) {
    return std::find(c.origines.begin(), c.origines.end(), origine) != c.origines.end();
}

Places::Jeton Places::prendre(const std::string& adresse) {
    int& tenues = (*tenues_)[adresse];
    if (tenues >= par_adresse_) {
        return nullptr;
    }
    ++tenues;
    // The token gives its place back, even when the places outlive it or it them.
    auto tenues_par = tenues_;
    return Jeton(tenues_.get(), [tenues_par, adresse](void*) {
        if (--(*tenues_par)[adresse] == 0) {
            tenues_par->erase(adresse);
        }
    });
}

} // namespace korva::web
