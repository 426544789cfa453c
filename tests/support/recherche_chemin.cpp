#include "support/recherche_chemin.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <queue>
#include <set>
#include <stdexcept>

namespace korva::test {

namespace {

// The search remembers which keys are held as a bit set, one bit per key number on the level.
constexpr int CLES_MAX = 16;

struct Pas {
    int fleche;
    int dl;
    int dc;
};
constexpr Pas PAS[] = {
    {FLECHE_HAUT, -1, 0}, {FLECHE_BAS, 1, 0}, {FLECHE_GAUCHE, 0, -1}, {FLECHE_DROITE, 0, 1}};

bool bloque(int type) {
    return type == MUR_EXTERIEUR || type == MUR_INTERIEUR || type == EBOULEMENT ||
           type < CASE_VIDE || type > GARDIEN;
}

bool combat(int type) {
    return type == MONSTRE || type == GARDIEN;
}

// Where the hero stands and, one bit per key number of the level, the keys it holds.
using Etat = std::pair<Position, std::uint32_t>;

// What ends the walk at a cell: nothing (keep looking), or the arrow that then leaves the
// level (0 when the walk simply ends on the cell).
using But = std::function<std::optional<int>(Position)>;

// The walk from `arrivee` back to the start, turned into arrows and what they resolve.
Chemin retracer(const Plateau& plateau, const std::map<Etat, std::pair<Etat, int>>& precedent,
                Etat arrivee) {
    std::vector<std::pair<Position, int>> pas;
    for (auto e = precedent.find(arrivee); e != precedent.end();
         e = precedent.find(e->second.first)) {
        pas.push_back({e->first.first, e->second.second});
    }
    Chemin chemin;
    std::set<Position> resolues;
    for (auto k = pas.rbegin(); k != pas.rend(); ++k) {
        const auto [vers, fleche] = *k;
        chemin.fleches.push_back(fleche);
        const sCaseJeu& cellule = plateau[vers.ligne][vers.colonne];
        if (cellule.typeCase != CASE_VIDE && cellule.typeCase != CASE_PASSAGE &&
            resolues.insert(vers).second) {
            const bool numerote = cellule.typeCase == CLE || cellule.typeCase == PORTE_CLE;
            chemin.rencontres.push_back({chemin.fleches.size() - 1, vers, cellule.typeCase,
                                         numerote ? cellule.statutCase - DECALAGE_CLE : 0});
        }
    }
    return chemin;
}

std::optional<Chemin> chercher(const Plateau& plateau, int l, int c, const Contraintes& contraintes,
                               const But& but) {
    const Position heros = position_du_heros(plateau, l, c);
    if (heros.ligne < 0) {
        return std::nullopt;
    }
    std::map<int, int> bit_de_cle; // by the status keys and their doors carry
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            if (plateau[i][j].typeCase == CLE && plateau[i][j].statutCase >= STATUT_CLE_MIN) {
                bit_de_cle.emplace(plateau[i][j].statutCase, static_cast<int>(bit_de_cle.size()));
            }
        }
    }
    if (bit_de_cle.size() > CLES_MAX) {
        throw std::invalid_argument("too many key numbers on one level for the search");
    }
    const std::set<Position> interdites(contraintes.interdites.begin(),
                                        contraintes.interdites.end());

    // Cheapest first; among equal costs, the first state in row order.
    std::map<Etat, long long> distance;
    std::map<Etat, std::pair<Etat, int>> precedent; // and the arrow that left it
    using Attente = std::pair<long long, Etat>;
    std::priority_queue<Attente, std::vector<Attente>, std::greater<>> file;
    distance[{heros, 0}] = 0;
    file.push({0, {heros, 0}});
    while (!file.empty()) {
        const auto [cout, courant] = file.top();
        file.pop();
        if (cout != distance[courant]) {
            continue;
        }
        const auto [p, cles] = courant;
        if (const auto fin = but(p)) {
            Chemin chemin = retracer(plateau, precedent, courant);
            if (*fin != 0) {
                chemin.fleches.push_back(*fin);
            }
            return chemin;
        }
        for (const Pas& pas : PAS) {
            const Position q{p.ligne + pas.dl, p.colonne + pas.dc};
            if (q.ligne < 0 || q.ligne >= l || q.colonne < 0 || q.colonne >= c ||
                interdites.count(q) != 0) {
                continue;
            }
            const sCaseJeu& cellule = plateau[q.ligne][q.colonne];
            const auto bit = bit_de_cle.find(cellule.statutCase);
            const bool tenue = bit != bit_de_cle.end() && (cles & (1u << bit->second)) != 0;
            if (bloque(cellule.typeCase) || (cellule.typeCase == PORTE_CLE && !tenue)) {
                continue;
            }
            const bool prise = cellule.typeCase == CLE && bit != bit_de_cle.end();
            const Etat voisin{q, prise ? cles | (1u << bit->second) : cles};
            const long long nouveau =
                cout + 1 + (combat(cellule.typeCase) ? contraintes.cout_combat : 0);
            const auto connu = distance.find(voisin);
            if (connu == distance.end() || nouveau < connu->second) {
                distance[voisin] = nouveau;
                precedent[voisin] = {courant, pas.fleche};
                file.push({nouveau, voisin});
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<Rencontre> Chemin::portes() const {
    std::vector<Rencontre> resultat;
    std::copy_if(
        rencontres.begin(), rencontres.end(), std::back_inserter(resultat),
        [](const Rencontre& r) { return r.typeCase == PORTE_FERMEE || r.typeCase == PORTE_CLE; });
    return resultat;
}

std::vector<Rencontre> Chemin::cles() const {
    std::vector<Rencontre> resultat;
    std::copy_if(rencontres.begin(), rencontres.end(), std::back_inserter(resultat),
                 [](const Rencontre& r) { return r.typeCase == CLE; });
    return resultat;
}

int Chemin::combats() const {
    return static_cast<int>(std::count_if(rencontres.begin(), rencontres.end(),
                                          [](const Rencontre& r) { return combat(r.typeCase); }));
}

Position position_du_heros(const Plateau& plateau, int l, int c) {
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            if (plateau[i][j].statutCase == STATUT_HEROS) {
                return {i, j};
            }
        }
    }
    return {-1, -1};
}

std::vector<Sortie> sorties_du_niveau(const Plateau& plateau, int l, int c) {
    std::vector<Sortie> sorties;
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            if (bloque(plateau[i][j].typeCase)) {
                continue;
            }
            if (i == 0) {
                sorties.push_back({{i, j}, FLECHE_HAUT, Sens::avant});
            }
            if (i == l - 1) {
                sorties.push_back({{i, j}, FLECHE_BAS, Sens::avant});
            }
            if (j == 0) {
                sorties.push_back({{i, j}, FLECHE_GAUCHE, Sens::arriere});
            }
            if (j == c - 1) {
                sorties.push_back({{i, j}, FLECHE_DROITE, Sens::avant});
            }
        }
    }
    return sorties;
}

std::optional<Chemin> chemin_vers_sortie(const Plateau& plateau, int l, int c, const Sortie& sortie,
                                         const Contraintes& contraintes) {
    return chercher(plateau, l, c, contraintes, [&](Position p) {
        return p == sortie.depart ? std::optional<int>(sortie.fleche) : std::nullopt;
    });
}

std::optional<Chemin> chemin_vers_bord(const Plateau& plateau, int l, int c, Sens sens,
                                       const Contraintes& contraintes) {
    std::map<Position, int> fleches;
    for (const Sortie& sortie : sorties_du_niveau(plateau, l, c)) {
        if (sortie.sens == sens) {
            fleches.emplace(sortie.depart, sortie.fleche);
        }
    }
    return chercher(plateau, l, c, contraintes, [&](Position p) {
        const auto trouvee = fleches.find(p);
        return trouvee != fleches.end() ? std::optional<int>(trouvee->second) : std::nullopt;
    });
}

std::optional<Chemin> chemin_vers_case(const Plateau& plateau, int l, int c, Position cible,
                                       const Contraintes& contraintes) {
    return chercher(plateau, l, c, contraintes,
                    [&](Position p) { return p == cible ? std::optional<int>(0) : std::nullopt; });
}

} // namespace korva::test
