#include "recherche_niveau.hpp"

#include <algorithm>
#include <deque>
#include <map>
#include <queue>
#include <set>
#include <string>
#include <utility>

namespace korva {

namespace {

// A fight weighs more than any detour a level can offer, so walks fight only when they must.
constexpr int COUT_COMBAT = 100000;

int numero_cle(const sCaseJeu& cellule) {
    return cellule.statutCase - DECALAGE_CLE;
}

bool sortie_dans(const Carte& carte, Position p, Sens sens, int* fleche) {
    const int derniere_ligne = carte.lignes() - 1;
    const int derniere_colonne = carte.colonnes() - 1;
    if (sens == Sens::arriere) {
        *fleche = FLECHE_GAUCHE;
        return p.colonne == 0;
    }
    // Forward: the right edge first, then the top and the bottom.
    if (p.colonne == derniere_colonne) {
        *fleche = FLECHE_DROITE;
    } else if (p.ligne == 0) {
        *fleche = FLECHE_HAUT;
    } else if (p.ligne == derniere_ligne) {
        *fleche = FLECHE_BAS;
    } else {
        return false;
    }
    return true;
}

} // namespace

Carte::Carte(const Plateau& plateau, int l, int c) : l_(l), c_(c) {
    cases_.reserve(static_cast<std::size_t>(l * c));
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            cases_.push_back(plateau[i][j]);
        }
    }
}

Position Carte::heros() const {
    for (int i = 0; i < taille(); ++i) {
        if ((*this)[i].statutCase == STATUT_HEROS) {
            return position(i);
        }
    }
    return {-1, -1};
}

std::vector<Sortie> Carte::sorties() const {
    std::vector<Sortie> resultat;
    for (int i = 0; i < taille(); ++i) {
        const Position p = position(i);
        if (est_bloquant((*this)[i].typeCase)) {
            continue;
        }
        if (p.colonne == 0) {
            resultat.push_back({p, FLECHE_GAUCHE, Sens::arriere});
        }
        if (p.ligne == 0) {
            resultat.push_back({p, FLECHE_HAUT, Sens::avant});
        }
        if (p.ligne == l_ - 1) {
            resultat.push_back({p, FLECHE_BAS, Sens::avant});
        }
        if (p.colonne == c_ - 1) {
            resultat.push_back({p, FLECHE_DROITE, Sens::avant});
        }
    }
    return resultat;
}

std::vector<Voisin> voisins(Position p) {
    return {{{p.ligne - 1, p.colonne}, FLECHE_HAUT},
            {{p.ligne + 1, p.colonne}, FLECHE_BAS},
            {{p.ligne, p.colonne - 1}, FLECHE_GAUCHE},
            {{p.ligne, p.colonne + 1}, FLECHE_DROITE}};
}

bool est_monstre(int typeCase) {
    return typeCase == MONSTRE || typeCase == GARDIEN;
}

bool est_objet(int typeCase) {
    return sorte_connue(typeCase) && sorte(typeCase).objet;
}

bool est_bloquant(int typeCase) {
    return !sorte_connue(typeCase) || sorte(typeCase).bloque;
}

Region explorer(const Carte& carte, Position depart, const std::vector<char>& vaincus) {
    const auto n = static_cast<std::size_t>(carte.taille());
    Region region;
    region.atteinte.assign(n, 0);
    std::vector<char> au_bord(n, 0);
    std::map<int, std::vector<int>> portes_en_attente; // by key number
    std::set<int> cles;
    std::vector<int> file;
    const auto ajouter = [&](int i) {
        if (!region.atteinte[static_cast<std::size_t>(i)]) {
            region.atteinte[static_cast<std::size_t>(i)] = 1;
            file.push_back(i);
        }
    };
    const int debut = carte.indice(depart);
    ajouter(debut);
    for (std::size_t k = 0; k < file.size(); ++k) {
        const int i = file[k];
        if (i != debut && carte[i].typeCase == CLE && cles.insert(numero_cle(carte[i])).second) {
            for (const int porte : portes_en_attente[numero_cle(carte[i])]) {
                ajouter(porte);
            }
        }
        for (const Voisin& v : voisins(carte.position(i))) {
            if (!carte.dedans(v.position)) {
                continue;
            }
            const int j = carte.indice(v.position);
            const int type = carte[j].typeCase;
            if (region.contient(j) || est_bloquant(type)) {
                continue;
            }
            if (est_monstre(type) && !vaincus[static_cast<std::size_t>(j)]) {
                au_bord[static_cast<std::size_t>(j)] = 1;
            } else if (type == PORTE_CLE && !cles.count(numero_cle(carte[j]))) {
                portes_en_attente[numero_cle(carte[j])].push_back(j);
            } else {
                ajouter(j);
            }
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (au_bord[i] && !region.atteinte[i]) {
            region.monstres_au_bord.push_back(static_cast<int>(i));
        }
    }
    return region;
}

bool sortie_atteinte(const Carte& carte, const Region& region, Sens sens) {
    for (const Sortie& s : carte.sorties()) {
        if (s.sens == sens && region.contient(carte.indice(s.depart))) {
            return true;
        }
    }
    return false;
}

std::optional<Combats> combats_minimaux(const Carte& carte, Position depart, Sens sens) {
    // Breadth first over the sets of monsters beaten: every set of k fights is tried before
    // any of k + 1. Two sets that open the same cells lead to the same ways, so one is kept.
    std::vector<std::vector<int>> rang{{}};
    std::set<std::string> regions_vues;
    std::vector<char> vaincus(static_cast<std::size_t>(carte.taille()), 0);
    while (!rang.empty()) {
        std::vector<std::vector<int>> suivant;
        for (const std::vector<int>& monstres : rang) {
            std::fill(vaincus.begin(), vaincus.end(), 0);
            for (const int m : monstres) {
                vaincus[static_cast<std::size_t>(m)] = 1;
            }
            const Region region = explorer(carte, depart, vaincus);
            if (sortie_atteinte(carte, region, sens)) {
                return Combats{static_cast<int>(monstres.size()), monstres};
            }
            if (!regions_vues.insert(std::string(region.atteinte.begin(), region.atteinte.end()))
                     .second) {
                continue;
            }
            for (const int m : region.monstres_au_bord) {
                std::vector<int> plus = monstres;
                plus.push_back(m);
                suivant.push_back(std::move(plus));
            }
        }
        rang = std::move(suivant);
    }
    return std::nullopt;
}

Marcheur::Marcheur(Carte carte, Position depart) : carte_(std::move(carte)), heros_(depart) {}

bool Marcheur::chemin_vers(const std::function<bool(int)>& but,
                           const std::function<bool(int)>& combat_permis, std::vector<int>& chemin,
                           std::vector<int>& fleches) {
    const int n = carte_.taille();
    std::vector<long long> cout(static_cast<std::size_t>(n), -1);
    std::vector<int> precedent(static_cast<std::size_t>(n), -1);
    std::vector<int> fleche_de(static_cast<std::size_t>(n), 0);
    using Noeud = std::pair<long long, int>;
    std::priority_queue<Noeud, std::vector<Noeud>, std::greater<>> file;
    const int debut = carte_.indice(heros_);
    cout[static_cast<std::size_t>(debut)] = 0;
    file.push({0, debut});
    while (!file.empty()) {
        const auto [d, i] = file.top();
        file.pop();
        if (d != cout[static_cast<std::size_t>(i)]) {
            continue;
        }
        if (i != debut && but(i)) {
            for (int k = i; k != debut; k = precedent[static_cast<std::size_t>(k)]) {
                chemin.push_back(k);
                fleches.push_back(fleche_de[static_cast<std::size_t>(k)]);
            }
            std::reverse(chemin.begin(), chemin.end());
            std::reverse(fleches.begin(), fleches.end());
            return true;
        }
        for (const Voisin& v : voisins(carte_.position(i))) {
            if (!carte_.dedans(v.position)) {
                continue;
            }
            const int j = carte_.indice(v.position);
            const sCaseJeu& cellule = carte_[j];
            long long pas = 1;
            if (est_bloquant(cellule.typeCase)) {
                continue;
            }
            if (est_monstre(cellule.typeCase)) {
                if (!combat_permis(j)) {
                    continue;
                }
                pas += COUT_COMBAT;
            }
            if (cellule.typeCase == PORTE_CLE &&
                std::find(cles_.begin(), cles_.end(), numero_cle(cellule)) == cles_.end()) {
                continue;
            }
            const long long nouveau = d + pas;
            long long& ancien = cout[static_cast<std::size_t>(j)];
            if (ancien < 0 || nouveau < ancien) {
                ancien = nouveau;
                precedent[static_cast<std::size_t>(j)] = i;
                fleche_de[static_cast<std::size_t>(j)] = v.fleche;
                file.push({nouveau, j});
            }
        }
    }
    return false;
}

void Marcheur::entrer(int indice, int fleche) {
    sCaseJeu& cellule = carte_[indice];
    etapes_.push_back({fleche, cellule.typeCase, cellule.statutCase});
    if (cellule.typeCase == CLE) {
        cles_.push_back(numero_cle(cellule));
    } else if (cellule.typeCase == PORTE_CLE) {
        cles_.erase(std::find(cles_.begin(), cles_.end(), numero_cle(cellule)));
    }
    if (cellule.typeCase != CASE_PASSAGE) {
        cellule.typeCase = CASE_VIDE;
    }
    heros_ = carte_.position(indice);
}

bool Marcheur::aller_vers(const std::function<bool(int)>& but,
                          const std::function<bool(int)>& combat_permis) {
    std::vector<int> chemin;
    std::vector<int> fleches;
    if (!chemin_vers(but, combat_permis, chemin, fleches)) {
        return false;
    }
    for (std::size_t k = 0; k < chemin.size(); ++k) {
        entrer(chemin[k], fleches[k]);
    }
    return true;
}

bool Marcheur::sortir(Sens sens) {
    int fleche = 0;
    const auto bord = [&](int i) { return sortie_dans(carte_, carte_.position(i), sens, &fleche); };
    if (!bord(carte_.indice(heros_)) && !aller_vers(bord, [](int) { return false; })) {
        return false;
    }
    sortie_dans(carte_, heros_, sens, &fleche);
    etapes_.push_back({fleche, HORS_PLATEAU, 0});
    return true;
}

std::optional<std::vector<Etape>> traversee(const Carte& carte, Position depart,
                                            bool tout_prendre) {
    const std::optional<Combats> combats = combats_minimaux(carte, depart, Sens::avant);
    if (!combats) {
        return std::nullopt;
    }
    std::vector<char> a_combattre(static_cast<std::size_t>(carte.taille()), 0);
    for (const int m : combats->monstres) {
        a_combattre[static_cast<std::size_t>(m)] = 1;
    }
    Marcheur marcheur(carte, depart);
    const auto aucun_combat = [](int) { return false; };
    const auto a_prendre = [&](int i) {
        const int type = marcheur.carte()[i].typeCase;
        return tout_prendre ? est_objet(type) : type == CLE;
    };
    const auto prochain_combat = [&](int i) {
        return a_combattre[static_cast<std::size_t>(i)] &&
               est_monstre(marcheur.carte()[i].typeCase);
    };
    while (marcheur.aller_vers(a_prendre, aucun_combat) ||
           marcheur.aller_vers(prochain_combat, prochain_combat)) {
    }
    if (!marcheur.sortir(Sens::avant)) {
        return std::nullopt;
    }
    return marcheur.etapes();
}

} // namespace korva
