// Searches over a level's cells, by the rules of move resolution: walls and rocks block, closed
// doors open on asking, a locked door needs its key from the bag, monsters and the Guardian
// cost a fight, everything else is taken on the way. The balance tool plans its players' walks
// with them; the shipped-level test counts the fights each way must take.
#pragma once

#include "records/enregistrements.hpp"

#include <functional>
#include <optional>
#include <vector>

namespace korva {

struct Position {
    int ligne = 0;
    int colonne = 0;
    bool operator==(const Position&) const = default;
};

// Where a level's edge leads: back to the previous level (its left edge) or forward.
enum class Sens { arriere, avant };

// A step off the board: the border cell it leaves from and the arrow that leaves.
struct Sortie {
    Position depart;
    int fleche;
    Sens sens;
};

// A level as its file describes it, cells in row order.
class Carte {
public:
    Carte(const Plateau& plateau, int l, int c);

    int lignes() const { return l_; }
    int colonnes() const { return c_; }
    int taille() const { return l_ * c_; }
    int indice(Position p) const { return p.ligne * c_ + p.colonne; }
    Position position(int indice) const { return {indice / c_, indice % c_}; }
    bool dedans(Position p) const {
        return p.ligne >= 0 && p.colonne >= 0 && p.ligne < l_ && p.colonne < c_;
    }
    sCaseJeu& operator[](int indice) { return cases_[static_cast<std::size_t>(indice)]; }
    const sCaseJeu& operator[](int indice) const {
        return cases_[static_cast<std::size_t>(indice)];
    }

    // The first cell in row order carrying the hero's marker; {-1, -1} when none does.
    Position heros() const;
    // Every step off the board from a border cell that is not a wall or rocks.
    std::vector<Sortie> sorties() const;

private:
    int l_;
    int c_;
    std::vector<sCaseJeu> cases_;
};

// The four neighbours of a cell, with the arrow that steps there.
struct Voisin {
    Position position;
    int fleche;
};
std::vector<Voisin> voisins(Position p);

bool est_monstre(int typeCase);  // a monster or the Guardian: a fight
bool est_objet(int typeCase);    // taken or used when stepped on, by the table of kinds
bool est_bloquant(int typeCase); // walls, rocks and unknown kinds

// The cells a hero reaches from `depart` fighting only the monsters marked in `vaincus` (one
// flag per cell), picking up every key met and opening the doors those keys fit.
struct Region {
    std::vector<char> atteinte;        // one flag per cell
    std::vector<int> monstres_au_bord; // monsters next to the region, still standing
    bool contient(int indice) const { return atteinte[static_cast<std::size_t>(indice)] != 0; }
};
Region explorer(const Carte& carte, Position depart, const std::vector<char>& vaincus);

// True when the region holds a border cell that leaves the level in direction `sens`.
bool sortie_atteinte(const Carte& carte, const Region& region, Sens sens);

// The fewest fights any way from `depart` out of the level in direction `sens` must take, and
// one set of monsters that many which opens such a way; nothing when no way exists at all.
struct Combats {
    int nombre = 0;
    std::vector<int> monstres; // cell indices
};
std::optional<Combats> combats_minimaux(const Carte& carte, Position depart, Sens sens);

// One step of a walk: the arrow and what stood in the cell it enters (the arrow that leaves
// the board has typeCase -1). A locked door stands for: bump into it, use its key from the
// bag, step again.
inline constexpr int HORS_PLATEAU = -1;
struct Etape {
    int fleche;
    int typeCase;
    int statutCase;
};

// Walks a hero over a copy of the level, resolving the cells entered as the game does.
class Marcheur {
public:
    Marcheur(Carte carte, Position depart);

    // Walks the cheapest way (each fight costs as much as a long detour) to the nearest cell
    // for which `but` holds, fighting only monsters for which `combat_permis` holds. False
    // when no such cell can be reached; nothing is walked then.
    bool aller_vers(const std::function<bool(int indice)>& but,
                    const std::function<bool(int indice)>& combat_permis);
    // Walks out of the level in direction `sens`, without a fight.
    bool sortir(Sens sens);

    const Carte& carte() const { return carte_; }
    Position heros() const { return heros_; }
    const std::vector<Etape>& etapes() const { return etapes_; }

private:
    bool chemin_vers(const std::function<bool(int)>& but,
                     const std::function<bool(int)>& combat_permis, std::vector<int>& chemin,
                     std::vector<int>& fleches);
    void entrer(int indice, int fleche);

    Carte carte_;
    Position heros_;
    std::vector<int> cles_; // key numbers in hand
    std::vector<Etape> etapes_;
};

// A walk from `depart` out of the level forward with the fewest fights. With `tout_prendre`
// the hero also takes every object reachable without any other fight, and fights as late as
// it can. Nothing when no way forward exists.
std::optional<std::vector<Etape>> traversee(const Carte& carte, Position depart, bool tout_prendre);

} // namespace korva
