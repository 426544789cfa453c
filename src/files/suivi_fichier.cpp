#include "files/suivi_fichier.hpp"

namespace korva {

std::string SuiviFichier::lignes_nouvelles() {
    lire_suite();
    const std::size_t fin = reste_.rfind('\n');
    if (fin == std::string::npos) {
        return {};
    }
    std::string lignes = reste_.substr(0, fin + 1);
    reste_.erase(0, fin + 1);
    return lignes;
}

} // namespace korva
