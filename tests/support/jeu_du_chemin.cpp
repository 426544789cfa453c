#include "support/jeu_du_chemin.hpp"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace korva::test {

std::vector<Action> actions_du_chemin(const Chemin& chemin, std::vector<int>& sac) {
    std::map<std::size_t, Rencontre> par_pas;
    for (const Rencontre& r : chemin.rencontres) {
        par_pas.emplace(r.pas, r);
    }
    std::vector<Action> actions;
    for (std::size_t pas = 0; pas < chemin.fleches.size(); ++pas) {
        const int fleche = chemin.fleches[pas];
        actions.push_back({Action::fleche, fleche});
        const auto trouve = par_pas.find(pas);
        if (trouve == par_pas.end()) {
            continue;
        }
        const Rencontre& r = trouve->second;
        switch (r.typeCase) {
        case PORTE_FERMEE:
            actions.push_back({Action::touche, 'y'});
            break;
        case PORTE_CLE: {
            // The door is refused with the number it needs; the key opens it from the bag.
            actions.push_back({Action::touche, 'y'});
            actions.push_back({Action::pause, ' '});
            const auto cle = std::find(sac.begin(), sac.end(), r.numero);
            if (cle == sac.end()) {
                throw std::logic_error("the walk meets a locked door before its key");
            }
            actions.push_back({Action::touche, 'i'});
            actions.push_back({Action::touche, '1'});
            actions.push_back({Action::emplacement, static_cast<int>(cle - sac.begin()) + 1});
            actions.push_back({Action::pause, ' '});
            sac.erase(cle);
            actions.push_back({Action::fleche, fleche});
            break;
        }
        case POTION:
            sac.push_back(0);
            break;
        case CLE:
            sac.push_back(r.numero);
            break;
        case ARMURE:
        case EPEE:
        case PARCHEMIN:
            actions.push_back({Action::pause, ' '});
            break;
        default:
            break;
        }
    }
    return actions;
}

} // namespace korva::test
