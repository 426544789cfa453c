// The nine level files shipped with the game: read with the game's own reader, held to every
// rule a level must keep, and walked through by search from each of the hero's starts.
#include "files/niveaux.hpp"
#include "support/dossier_jeu.hpp"
#include "support/recherche_chemin.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace korva::test {
namespace {

constexpr int NIVEAUX = 5;
// The sizes by which the game recognises levels 1 to 4; level 5 is any other size.
constexpr std::array<std::array<int, 2>, 4> TAILLES{{{20, 50}, {10, 50}, {30, 50}, {15, 50}}};
// The board and its status block (about twelve lines) share a console of 110 by 50.
constexpr int LIGNES_MAX = 38;
constexpr int COLONNES_MAX = 110;
// Only a small area round the start is seen when a level is entered.
constexpr int RAYON_VUE_INITIALE = 4;
// The hero starts next to the way it came in by: the left edge going forward, the forward exit
// coming back.
constexpr int DISTANCE_ENTREE_MAX = 2;
// Play balance: from level 4 on, one fight at most is forced on the way forward.
constexpr int NIVEAU_PREMIER_COMBAT_FORCE = 4;

struct Niveau {
    std::string nom;
    int numero = 0;
    char cote = 'g'; // 'g' entered going forward, 'd' coming back
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
};

// Reads one shipped file; a file the reader refuses, or with text after its last row, fails.
Niveau charger(const std::string& nom) {
    Niveau niveau;
    niveau.nom = nom;
    niveau.numero = nom[6] - '0';
    niveau.cote = nom[7];
    std::ifstream entree(fichiers_du_depot() / "niveaux" / nom, std::ios::binary);
    std::ostringstream contenu;
    contenu << entree.rdbuf();
    const std::string texte = contenu.str();
    std::string erreur;
    std::size_t fin = 0;
    EXPECT_TRUE(lire_niveau(texte, *niveau.plateau, niveau.l, niveau.c, erreur, &fin))
        << nom << ": " << erreur;
    EXPECT_EQ(fin, texte.size()) << nom << ": text after the last row";
    return niveau;
}

std::vector<Niveau> tous_les_niveaux() {
    std::vector<Niveau> niveaux;
    for (int n = 1; n <= NIVEAUX; ++n) {
        for (const char* cote : {"g", "d"}) {
            if (n < NIVEAUX || *cote == 'g') {
                niveaux.push_back(charger("niveau" + std::to_string(n) + cote + ".txt"));
            }
        }
    }
    return niveaux;
}

// Everything wrong with one level, as sentences; empty for a sound level.
std::vector<std::string> defauts_du_niveau(const Plateau& plateau, int l, int c, int numero) {
    std::vector<std::string> defauts;
    auto ou = [](int i, int j) {
        return " at (" + std::to_string(i) + "," + std::to_string(j) + ")";
    };
    const bool taille_connue = std::any_of(TAILLES.begin(), TAILLES.end(),
                                           [&](const auto& t) { return t[0] == l && t[1] == c; });
    if (numero <= 4 ? l != TAILLES[numero - 1][0] || c != TAILLES[numero - 1][1] : taille_connue) {
        defauts.push_back("size is not the one of level " + std::to_string(numero));
    }
    if (l > LIGNES_MAX || c > COLONNES_MAX) {
        defauts.push_back("the level does not fit the console with its status block");
    }
    if (plateau[0][0].typeCase != MUR_EXTERIEUR || plateau[0][0].statutCase != numero + 1) {
        defauts.push_back("cell (0,0) is not an external wall carrying the level number plus one");
    }

    const Position heros = position_du_heros(plateau, l, c);
    int nb_heros = 0;
    std::map<int, std::vector<Position>> cles;
    std::vector<std::pair<Position, int>> portes;
    std::vector<Position> gardiens;
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            const sCaseJeu& cellule = plateau[i][j];
            const bool bord = i == 0 || j == 0 || i == l - 1 || j == c - 1;
            const bool coin = (i == 0 || i == l - 1) && (j == 0 || j == c - 1);
            const bool numerote = cellule.typeCase == CLE || cellule.typeCase == PORTE_CLE;
            if (cellule.typeCase < CASE_VIDE || cellule.typeCase > GARDIEN) {
                defauts.push_back("unknown cell type" + ou(i, j));
            }
            if (cellule.visible == 1 &&
                std::max(std::abs(i - heros.ligne), std::abs(j - heros.colonne)) >
                    RAYON_VUE_INITIALE) {
                defauts.push_back("a cell far from the start is already seen" + ou(i, j));
            }
            if (cellule.statutCase == STATUT_HEROS) {
                ++nb_heros;
            } else if (numerote ? cellule.statutCase < STATUT_CLE_MIN
                                : cellule.statutCase != 0 && (i != 0 || j != 0)) {
                defauts.push_back("a status other than 0 or a key number" + ou(i, j));
            }
            const bool sortie = cellule.typeCase == CASE_VIDE || cellule.typeCase == CASE_PASSAGE;
            if (bord ? cellule.typeCase != MUR_EXTERIEUR && (!sortie || coin)
                     : cellule.typeCase == MUR_EXTERIEUR) {
                defauts.push_back("the border is not walls and exits only" + ou(i, j));
            }
            if (cellule.typeCase == CLE) {
                cles[cellule.statutCase].push_back({i, j});
            } else if (cellule.typeCase == PORTE_CLE) {
                portes.push_back({{i, j}, cellule.statutCase});
            } else if (cellule.typeCase == GARDIEN) {
                gardiens.push_back({i, j});
            }
        }
    }
    if (nb_heros != 1) {
        defauts.push_back(std::to_string(nb_heros) + " hero cells instead of one");
        return defauts;
    }
    const sCaseJeu& depart = plateau[heros.ligne][heros.colonne];
    if (depart.visible != 1 || (depart.typeCase != CASE_VIDE && depart.typeCase != CASE_PASSAGE)) {
        defauts.push_back("the hero does not start on a seen floor cell");
    }

    // The ways out: forward always, back to the left edge on every level but the first, which
    // the game refuses to leave that way.
    const auto en_avant = chemin_vers_bord(plateau, l, c, Sens::avant);
    if (!en_avant) {
        defauts.push_back("no forward exit can be reached");
    } else if (en_avant->combats() > (numero >= NIVEAU_PREMIER_COMBAT_FORCE ? 1 : 0)) {
        defauts.push_back("too many fights cannot be avoided on the way forward");
    }
    const auto sorties = sorties_du_niveau(plateau, l, c);
    const bool sortie_arriere = std::any_of(
        sorties.begin(), sorties.end(), [](const Sortie& s) { return s.sens == Sens::arriere; });
    if (numero == 1 ? sortie_arriere : !chemin_vers_bord(plateau, l, c, Sens::arriere)) {
        defauts.push_back("the left edge is wrong for the level");
    }

    for (const auto& [cle, statut] : cles) {
        if (std::none_of(portes.begin(), portes.end(),
                         [&](const auto& p) { return p.second == cle; })) {
            defauts.push_back("a key opens no door of its level" +
                              ou(statut[0].ligne, statut[0].colonne));
        }
    }
    for (const auto& [porte, statut] : portes) {
        const auto& paires = cles[statut];
        if (std::none_of(paires.begin(), paires.end(), [&, p = porte](Position cle) {
                return chemin_vers_case(plateau, l, c, cle, {{p}}).has_value();
            })) {
            defauts.push_back("no key for the locked door can be reached before it" +
                              ou(porte.ligne, porte.colonne));
        }
    }
    if (numero != NIVEAUX ? !gardiens.empty() : gardiens.size() != 1) {
        defauts.push_back("the Guardian must stand alone on level 5");
    } else if (numero == NIVEAUX && chemin_vers_bord(plateau, l, c, Sens::avant, {gardiens})) {
        defauts.push_back("the way out of level 5 goes round the Guardian");
    }
    return defauts;
}

std::string ensemble(const std::vector<std::string>& defauts) {
    std::string texte;
    for (const auto& d : defauts) {
        texte += "\n  " + d;
    }
    return texte;
}

// A small board drawn with the map legend of the level authoring tool.
struct Plan {
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
};

Plan dessiner(const std::vector<std::string>& lignes) {
    const std::string legende = ".#+@:*M![)$?&";
    const std::array<int, 13> types{
        CASE_VIDE, MUR_EXTERIEUR, MUR_INTERIEUR, PORTE_FERMEE, CASE_PASSAGE, EBOULEMENT, MONSTRE,
        POTION,    ARMURE,        EPEE,          PIECE_OR,     PARCHEMIN,    GARDIEN};
    Plan plan;
    plan.l = static_cast<int>(lignes.size());
    plan.c = static_cast<int>(lignes[0].size());
    for (int i = 0; i < plan.l; ++i) {
        for (int j = 0; j < plan.c; ++j) {
            const char car = lignes[i][j];
            sCaseJeu& cellule = (*plan.plateau)[i][j];
            cellule = {CASE_VIDE, car == 'S' ? STATUT_HEROS : 0, 0};
            if (car >= 'A' && car <= 'I') {
                cellule = {PORTE_CLE, car - 'A' + 1 + DECALAGE_CLE, 0};
            } else if (car >= 'a' && car <= 'i') {
                cellule = {CLE, car - 'a' + 1 + DECALAGE_CLE, 0};
            } else if (car != 'S') {
                cellule.typeCase = types[legende.find(car)];
            }
        }
    }
    return plan;
}

TEST(RechercheChemin, WalksCellByCellAndStepsOffTheBoardAtTheEnd) {
    const Plan plan = dessiner({"#####", //
                                "#S..#", //
                                "###.#", //
                                "#...:", //
                                "#####"});
    const auto chemin = chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::avant);
    ASSERT_TRUE(chemin);
    EXPECT_EQ(chemin->fleches, (std::vector<int>{77, 77, 80, 80, 77, 77}));
    EXPECT_TRUE(chemin->rencontres.empty());
    EXPECT_EQ(sorties_du_niveau(*plan.plateau, plan.l, plan.c),
              (std::vector<Sortie>{{{3, 4}, FLECHE_DROITE, Sens::avant}}));
    EXPECT_FALSE(chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::arriere));
}

TEST(RechercheChemin, FetchesTheKeyBeforeItsDoorAndListsWhatItMeets) {
    // The key lies in a dead end below; the straight way east is shut by door 2.
    const Plan plan = dessiner({"#######", //
                                "#S.@B..", //
                                "#+b+###", //
                                "#######"});
    const auto chemin = chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::avant);
    ASSERT_TRUE(chemin);
    EXPECT_EQ(chemin->fleches, (std::vector<int>{77, 80, 72, 77, 77, 77, 77, 77}));
    ASSERT_EQ(chemin->rencontres.size(), 3u);
    const auto& [cle, porte, porte_cle] =
        std::tie(chemin->rencontres[0], chemin->rencontres[1], chemin->rencontres[2]);
    EXPECT_EQ(std::make_tuple(cle.typeCase, cle.numero, cle.pas), std::make_tuple(CLE, 2, 1u));
    EXPECT_EQ(std::make_tuple(porte.typeCase, porte.pas), std::make_tuple(PORTE_FERMEE, 3u));
    EXPECT_EQ(std::make_tuple(porte_cle.typeCase, porte_cle.numero, porte_cle.position),
              std::make_tuple(PORTE_CLE, 2, Position{1, 4}));
    EXPECT_EQ(chemin->portes().size(), 2u);
    EXPECT_EQ(chemin->cles().size(), 1u);
    // With the key's cell out of bounds the door stays shut for good.
    EXPECT_FALSE(chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::avant, {{{2, 2}}}));
    // Going to a chosen cell ends on it, with no step off the board.
    const auto vers_cle = chemin_vers_case(*plan.plateau, plan.l, plan.c, {2, 2});
    ASSERT_TRUE(vers_cle);
    EXPECT_EQ(vers_cle->fleches, (std::vector<int>{77, 80}));
}

TEST(RechercheChemin, GoesRoundMonstersWhenItCanAndCountsTheFightsItCannotAvoid) {
    const Plan autour = dessiner({"#######", //
                                  "#.....#", //
                                  ":S.M...", //
                                  "#######"});
    const auto detour = chemin_vers_bord(*autour.plateau, autour.l, autour.c, Sens::avant);
    ASSERT_TRUE(detour);
    EXPECT_EQ(detour->combats(), 0);
    EXPECT_EQ(detour->fleches.size(), 8u);
    const auto retour = chemin_vers_bord(*autour.plateau, autour.l, autour.c, Sens::arriere);
    ASSERT_TRUE(retour);
    EXPECT_EQ(retour->fleches, (std::vector<int>{75, 75}));

    const Plan couloir = dessiner({"#######", //
                                   "#S!M&$.", //
                                   "#######"});
    const auto force = chemin_vers_bord(*couloir.plateau, couloir.l, couloir.c, Sens::avant);
    ASSERT_TRUE(force);
    EXPECT_EQ(force->combats(), 2);
    EXPECT_EQ(force->rencontres.size(), 4u);
    EXPECT_FALSE(chemin_vers_bord(*couloir.plateau, couloir.l, couloir.c, Sens::avant, {{{1, 4}}}));
}

// How far the hero starts from the nearest exit that leads the way `sens`.
int distance_a_l_entree(const Niveau& niveau, Sens sens) {
    const Position heros = position_du_heros(*niveau.plateau, niveau.l, niveau.c);
    int distance = niveau.l + niveau.c;
    for (const Sortie& s : sorties_du_niveau(*niveau.plateau, niveau.l, niveau.c)) {
        if (s.sens == sens) {
            distance = std::min(distance, std::abs(s.depart.ligne - heros.ligne) +
                                              std::abs(s.depart.colonne - heros.colonne));
        }
    }
    return distance;
}

TEST(NiveauxLivres, EveryFileKeepsTheRulesOfALevelAndTheDungeonIsWhole) {
    const std::vector<Niveau> niveaux = tous_les_niveaux();
    std::set<std::pair<int, int>> tailles;
    std::map<int, int> niveau_de_la_cle;
    std::set<int> types;
    for (const Niveau& niveau : niveaux) {
        ASSERT_GT(niveau.l, 0) << niveau.nom;
        const auto defauts = defauts_du_niveau(*niveau.plateau, niveau.l, niveau.c, niveau.numero);
        EXPECT_TRUE(defauts.empty()) << niveau.nom << ":" << ensemble(defauts);
        tailles.insert({niveau.l, niveau.c});
        if (niveau.cote == 'd' || niveau.numero > 1) {
            EXPECT_LE(distance_a_l_entree(niveau, niveau.cote == 'd' ? Sens::avant : Sens::arriere),
                      DISTANCE_ENTREE_MAX)
                << niveau.nom << ": the hero starts far from the way it came in by";
        }
        for (int i = 0; i < niveau.l; ++i) {
            for (int j = 0; j < niveau.c; ++j) {
                const sCaseJeu& cellule = (*niveau.plateau)[i][j];
                types.insert(cellule.typeCase);
                // A key carried up from another level must not open this level's doors.
                if (cellule.typeCase == CLE || cellule.typeCase == PORTE_CLE) {
                    EXPECT_EQ(
                        niveau_de_la_cle.emplace(cellule.statutCase, niveau.numero).first->second,
                        niveau.numero)
                        << "key number " << cellule.statutCase - DECALAGE_CLE << " on two levels";
                }
            }
        }
        if (niveau.cote != 'd') {
            continue;
        }
        // Coming back, the level is the same place: only the hero, what is seen and the locked
        // doors already opened (their keys used) may differ.
        const Niveau& aller = niveaux[&niveau - niveaux.data() - 1];
        ASSERT_EQ(std::make_pair(aller.l, aller.c), std::make_pair(niveau.l, niveau.c));
        for (int i = 0; i < niveau.l; ++i) {
            for (int j = 0; j < niveau.c; ++j) {
                const sCaseJeu& a = (*aller.plateau)[i][j];
                const sCaseJeu& r = (*niveau.plateau)[i][j];
                const bool ouverte = (a.typeCase == PORTE_CLE || a.typeCase == CLE) &&
                                     r.typeCase == CASE_VIDE && r.statutCase == 0;
                const bool heros = a.statutCase == STATUT_HEROS || r.statutCase == STATUT_HEROS;
                EXPECT_TRUE(ouverte ||
                            (a.typeCase == r.typeCase && (heros || a.statutCase == r.statutCase)))
                    << niveau.nom << " differs from " << aller.nom << " at (" << i << "," << j
                    << ")";
            }
        }
    }
    EXPECT_EQ(tailles.size(), static_cast<std::size_t>(NIVEAUX)) << "the five sizes must differ";
    EXPECT_EQ(types.size(), static_cast<std::size_t>(GARDIEN + 1)) << "every kind of cell is used";
}

TEST(NiveauxLivres, TheCheckerCatchesBrokenLevels) {
    const Niveau trois = charger("niveau3g.txt");
    const Niveau cinq = charger("niveau5g.txt");
    ASSERT_GT(trois.l, 0);
    ASSERT_GT(cinq.l, 0);
    auto vider = [](Plateau& p, int type, int statut) {
        for (auto& ligne : p) {
            for (auto& cellule : ligne) {
                if (cellule.typeCase == type && (statut < 0 || cellule.statutCase == statut)) {
                    cellule = {CASE_VIDE, 0, 0};
                }
            }
        }
    };
    struct Cas {
        const Niveau& niveau;
        std::function<void(Plateau&)> casser;
        const char* defaut;
        int numero = 0; // the level the file is taken for, when not its own
    };
    // One case a line reads best here.
    // clang-format off
    const Cas cas[] = {
        {trois, [](Plateau&) {}, nullptr},
        {trois, [](Plateau&) {}, "size", 1},
        {cinq, [](Plateau&) {}, "size", 2},
        {trois, [&](Plateau& p) { vider(p, CLE, 9); }, "no key for the locked door"},
        {trois, [](Plateau& p) { p[0].fill({MUR_EXTERIEUR, 0, 0}); p[0][0].statutCase = 4; }, "no forward exit"},
        {trois, [](Plateau& p) { p[20][20].statutCase = 1; }, "2 hero cells"},
        {trois, [](Plateau& p) { p[0][0].statutCase = 3; }, "cell (0,0)"},
        {trois, [](Plateau& p) { p[20][20].statutCase = 5; }, "key number at (20,20)"},
        {trois, [](Plateau& p) { p[20][20] = {CLE, 6, 0}; }, "key number at (20,20)"},
        {trois, [](Plateau& p) { p[20][20].visible = 1; }, "already seen at (20,20)"},
        {trois, [](Plateau& p) { p[29][49] = {CASE_VIDE, 0, 0}; }, "border"},
        {trois, [](Plateau&) {}, "left edge", 1},
        {trois, [](Plateau& p) { for (int i = 1; i < 30; ++i) p[i][0] = {MUR_EXTERIEUR, 0, 0}; }, "left edge"},
        {trois, [](Plateau& p) { p[20][20] = {GARDIEN, 0, 0}; }, "Guardian"},
        {cinq, [&](Plateau& p) { vider(p, GARDIEN, -1); p[5][5] = {GARDIEN, 0, 0}; }, "round the Guardian"},
    };
    // clang-format on
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.defaut ? k.defaut : "whole");
        auto copie = std::make_unique<Plateau>(*k.niveau.plateau);
        k.casser(*copie);
        const auto defauts = defauts_du_niveau(*copie, k.niveau.l, k.niveau.c,
                                               k.numero ? k.numero : k.niveau.numero);
        if (!k.defaut) {
            EXPECT_TRUE(defauts.empty()) << ensemble(defauts);
        } else {
            EXPECT_NE(ensemble(defauts).find(k.defaut), std::string::npos) << ensemble(defauts);
        }
    }
}

} // namespace
} // namespace korva::test
