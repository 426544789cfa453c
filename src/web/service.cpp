#include "web/service.hpp"

#include "serveur/journal.hpp"
#include "serveur/regles.hpp"

#include <ctime>

namespace korva::web {

void Service::refuser(const std::string& adresse, std::string_view reglage) {
    for (const std::string& ligne :
         serveur::resumer_refus(refus, adresse, reglage, std::time(nullptr))) {
        serveur::journal("%s", ligne.c_str());
    }
}

} // namespace korva::web
