#include "support/recherche_chemin.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <queue>
#include <set>
#include <stdexcept>
#include <unordered_map>

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

using Etat = std::uint64_t;

Etat etat(Position p, std::uint32_t cles) {
    return (static_cast<Etat>(p.ligne * TAILLE_PLATEAU + p.colonne) << 32) | cles;
}
Position position_de(Etat e) {
    const int indice = static_cast<int>(e >> 32);
    return {indice / TAILLE_PLATEAU, indice % TAILLE_PLATEAU};
}
std::uint32_t cles_de(Etat e) {
    return static_cast<std::uint32_t>(e & 0xffffffffu);
}

// What ends the walk at a cell: nothing (keep looking), or the arrow that then leaves the
// level (0 when the walk simply ends on the cell).
using But = std::function<std::optional<int>(Position)>;

std::optional<Chemin> chercher(const Plateau& plateau, int l, int c, const Contraintes& contraintes,
                               const But& but) {
    const Position heros = position_du_heros(plateau, l, c);
    if (heros.ligne < 0) {
        return std::nullopt;
    }
    std::map<int, int> bit_de_cle;
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            const sCaseJeu& cellule = plateau[i][j];
            if (cellule.typeCase == CLE && cellule.statutCase >= STATUT_CLE_MIN) {
                bit_de_cle.emplace(cellule.statutCase - DECALAGE_CLE,
                                   static_cast<int>(bit_de_cle.size()));
            }
        }
    }
    if (bit_de_cle.size() > CLES_MAX) {
        throw std::invalid_argument("too many key numbers on one level for the search");
    }
    const std::set<Position> interdites(contraintes.interdites.begin(),
                                        contraintes.interdites.end());
    auto entrer = [&](Position p, std::uint32_t cles) -> std::optional<std::uint32_t> {
        if (p.ligne < 0 || p.ligne >= l || p.colonne < 0 || p.colonne >= c ||
            interdites.count(p) != 0) {
            return std::nullopt;
        }
        const sCaseJeu& cellule = plateau[p.ligne][p.colonne];
        if (bloque(cellule.typeCase)) {
            return std::nullopt;
        }
        const auto bit = bit_de_cle.find(cellule.statutCase - DECALAGE_CLE);
        if (cellule.typeCase == PORTE_CLE) {
            if (bit == bit_de_cle.end() || (cles & (1u << bit->second)) == 0) {
                return std::nullopt;
            }
        } else if (cellule.typeCase == CLE && bit != bit_de_cle.end()) {
            cles |= 1u << bit->second;
        }
        return cles;
    };

    std::unordered_map<Etat, long long> distance;
    std::unordered_map<Etat, Etat> precedent;
    using Attente = std::pair<long long, Etat>;
    std::priority_queue<Attente, std::vector<Attente>, std::greater<>> file;
    const Etat depart = etat(heros, 0);
    distance[depart] = 0;
    file.push({0, depart});
    std::optional<Etat> arrivee;
    int fleche_finale = 0;
    while (!file.empty()) {
        const auto [cout, courant] = file.top();
        file.pop();
        if (cout != distance[courant]) {
            continue;
        }
        const Position p = position_de(courant);
        if (const auto fin = but(p)) {
            arrivee = courant;
            fleche_finale = *fin;
            break;
        }
        for (const Pas& pas : PAS) {
            const Position suivante{p.ligne + pas.dl, p.colonne + pas.dc};
            const auto cles = entrer(suivante, cles_de(courant));
            if (!cles) {
                continue;
            }
            const int type = plateau[suivante.ligne][suivante.colonne].typeCase;
            const long long nouveau = cout + 1 + (combat(type) ? contraintes.cout_combat : 0);
            const Etat voisin = etat(suivante, *cles);
            const auto connu = distance.find(voisin);
            if (connu == distance.end() || nouveau < connu->second) {
                distance[voisin] = nouveau;
                precedent[voisin] = courant;
                file.push({nouveau, voisin});
            }
        }
    }
    if (!arrivee) {
        return std::nullopt;
    }

    std::vector<Position> positions{position_de(*arrivee)};
    for (Etat e = *arrivee; e != depart; e = precedent.at(e)) {
        positions.push_back(position_de(precedent.at(e)));
    }
    std::reverse(positions.begin(), positions.end());

    Chemin chemin;
    std::set<Position> resolues;
    for (std::size_t k = 1; k < positions.size(); ++k) {
        const Position de = positions[k - 1];
        const Position vers = positions[k];
        for (const Pas& pas : PAS) {
            if (de.ligne + pas.dl == vers.ligne && de.colonne + pas.dc == vers.colonne) {
                chemin.fleches.push_back(pas.fleche);
            }
        }
        const sCaseJeu& cellule = plateau[vers.ligne][vers.colonne];
        if (cellule.typeCase != CASE_VIDE && cellule.typeCase != CASE_PASSAGE &&
            resolues.insert(vers).second) {
            const bool numerote = cellule.typeCase == CLE || cellule.typeCase == PORTE_CLE;
            chemin.rencontres.push_back({chemin.fleches.size() - 1, vers, cellule.typeCase,
                                         numerote ? cellule.statutCase - DECALAGE_CLE : 0});
        }
    }
    if (fleche_finale != 0) {
        chemin.fleches.push_back(fleche_finale);
    }
    return chemin;
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
    return chercher(plateau, l, c, contraintes, [&](Position p) -> std::optional<int> {
        if (p == sortie.depart) {
            return sortie.fleche;
        }
        return std::nullopt;
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
    return chercher(plateau, l, c, contraintes, [&](Position p) -> std::optional<int> {
        const auto trouvee = fleches.find(p);
        if (trouvee != fleches.end()) {
            return trouvee->second;
        }
        return std::nullopt;
    });
}

std::optional<Chemin> chemin_vers_case(const Plateau& plateau, int l, int c, Position cible,
                                       const Contraintes& contraintes) {
    return chercher(plateau, l, c, contraintes, [&](Position p) -> std::optional<int> {
        if (p == cible) {
            return 0;
        }
        return std::nullopt;
    });
}

} // namespace korva::test
