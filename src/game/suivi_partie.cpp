#include "game/suivi_partie.hpp"

#include <string_view>

namespace korva {

namespace {

constexpr int TOUCHE_QUITTER = 'q';

} // namespace

bool PartieSuivie::attendre(Console& console, std::deque<Evenement>& evenements) {
    for (;;) {
        // Asked before the read: a game that ended then has all its lines in what is read.
        const bool fini = fichier_.ecrivain_parti();
        const std::string lues = fichier_.lignes_nouvelles();
        std::string_view lignes = lues;
        const std::size_t avant = evenements.size();
        while (!lignes.empty()) {
            const std::size_t fin = lignes.find('\n');
            Evenement e{Evenement::Sorte::pause, 0, {}};
            if (!lire_evenement(lignes.substr(0, fin), e)) {
                return false;
            }
            evenements.push_back(std::move(e));
            lignes.remove_prefix(fin + 1);
        }
        if (evenements.size() > avant) {
            return true;
        }
        if (fini) {
            return false;
        }
        if (console.touche_ou_signe(fichier_.attente_ms(), fichier_.signe()) == TOUCHE_QUITTER) {
            console.terminer(0);
        }
    }
}

} // namespace korva
