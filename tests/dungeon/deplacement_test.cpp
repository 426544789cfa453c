#include "dungeon/deplacement.hpp"
#include "dungeon/plateau_essai.hpp"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace korva {
namespace {

using Cellule = std::pair<int, int>;

std::set<Cellule> cellules_vues(const Plateau& plateau) {
    std::set<Cellule> vues;
    for (int i = 0; i < TAILLE_PLATEAU; ++i) {
        for (int j = 0; j < TAILLE_PLATEAU; ++j) {
            if (plateau[i][j].visible == 1) {
                vues.insert({i, j});
            }
        }
    }
    return vues;
}

TEST(Deplacement, StepRightFromRowFiveColumnTen) {
    auto plateau = test::plateau_avec_heros(5, 10);
    deplacement(*plateau, 20, 30, FLECHE_DROITE);
    EXPECT_EQ((*plateau)[5][10].statutCase, 0);
    EXPECT_EQ((*plateau)[5][11].statutCase, STATUT_HEROS);
    const std::set<Cellule> attendues = {{5, 11}, {1, 11}, {9, 11}, {5, 12}, {2, 12}, {8, 12},
                                         {5, 13}, {3, 13}, {7, 13}, {5, 14}, {4, 14}, {6, 14}};
    EXPECT_EQ(cellules_vues(*plateau), attendues);
}

TEST(Deplacement, SightPatternInEveryDirection) {
    struct Cas {
        int a;
        int dl;
        int dc;
        std::set<Cellule> decalages; // from the new cell
    };
    const Cas cas[] = {
        {FLECHE_HAUT,
         -1,
         0,
         {{0, 0},
          {0, -4},
          {0, 4},
          {-1, 0},
          {-1, -3},
          {-1, 3},
          {-2, 0},
          {-2, -2},
          {-2, 2},
          {-3, 0},
          {-3, -1},
          {-3, 1}}},
        {FLECHE_BAS,
         1,
         0,
         {{0, 0},
          {0, -4},
          {0, 4},
          {1, 0},
          {1, -3},
          {1, 3},
          {2, 0},
          {2, -2},
          {2, 2},
          {3, 0},
          {3, -1},
          {3, 1}}},
        {FLECHE_GAUCHE,
         0,
         -1,
         {{0, 0},
          {-4, 0},
          {4, 0},
          {0, -1},
          {-3, -1},
          {3, -1},
          {0, -2},
          {-2, -2},
          {2, -2},
          {0, -3},
          {-1, -3},
          {1, -3}}},
        {FLECHE_DROITE,
         0,
         1,
         {{0, 0},
          {-4, 0},
          {4, 0},
          {0, 1},
          {-3, 1},
          {3, 1},
          {0, 2},
          {-2, 2},
          {2, 2},
          {0, 3},
          {-1, 3},
          {1, 3}}},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.a);
        // The hero stands on a passage in a maze of walls: sight ignores what cells hold.
        auto plateau = test::plateau_rempli({MUR_INTERIEUR, 0, 0});
        (*plateau)[10][10] = {CASE_PASSAGE, STATUT_HEROS, 1};
        deplacement(*plateau, 20, 20, k.a);
        const int ni = 10 + k.dl;
        const int nj = 10 + k.dc;
        EXPECT_EQ((*plateau)[ni][nj].statutCase, STATUT_HEROS);
        EXPECT_EQ((*plateau)[10][10].statutCase, 0);
        EXPECT_EQ((*plateau)[10][10].typeCase, CASE_PASSAGE);
        EXPECT_EQ((*plateau)[ni][nj].typeCase, MUR_INTERIEUR);

        std::set<Cellule> attendues = {{10, 10}}; // the cell left keeps its flag
        for (const Cellule& d : k.decalages) {
            attendues.insert({ni + d.first, nj + d.second});
        }
        const std::set<Cellule> vues = cellules_vues(*plateau);
        EXPECT_EQ(vues, attendues);
        EXPECT_EQ(k.decalages.size(), 12u);
        // Mirrored across the line of the step.
        for (const Cellule& d : k.decalages) {
            const Cellule miroir =
                k.dc == 0 ? Cellule{d.first, -d.second} : Cellule{-d.first, d.second};
            EXPECT_TRUE(k.decalages.count(miroir) == 1);
        }
        for (int i = 0; i < TAILLE_PLATEAU; ++i) {
            for (int j = 0; j < TAILLE_PLATEAU; ++j) {
                if (i != 10 || j != 10) {
                    ASSERT_EQ((*plateau)[i][j].typeCase, MUR_INTERIEUR);
                }
            }
        }
    }
}

TEST(Deplacement, SeenCellsStaySeen) {
    auto plateau = test::plateau_avec_heros(5, 5);
    (*plateau)[0][0].visible = 1;
    (*plateau)[5][5].visible = 1;
    deplacement(*plateau, 20, 20, FLECHE_BAS);
    deplacement(*plateau, 20, 20, FLECHE_BAS);
    EXPECT_EQ((*plateau)[7][5].statutCase, STATUT_HEROS);
    EXPECT_EQ((*plateau)[6][5].statutCase, 0);
    EXPECT_EQ((*plateau)[0][0].visible, 1);
    EXPECT_EQ((*plateau)[5][5].visible, 1);
    EXPECT_EQ((*plateau)[6][1].visible, 1); // seen from the first step only
    EXPECT_EQ(cellules_vues(*plateau).size(), 2u + 12u + 9u);
}

TEST(Deplacement, NothingOutsideTheLevelIsTouched) {
    constexpr sCaseJeu DEHORS{77, 55, 0};
    struct Cas {
        int l;
        int c;
        int hi;
        int hj;
        int a;
    };
    const Cas cas[] = {
        {6, 8, 2, 3, FLECHE_GAUCHE},       {6, 8, 2, 3, FLECHE_HAUT},
        {6, 8, 1, 1, FLECHE_HAUT},         {6, 8, 4, 6, FLECHE_DROITE},
        {6, 8, 4, 6, FLECHE_BAS},          {6, 8, 3, 1, FLECHE_GAUCHE},
        {100, 100, 99, 97, FLECHE_DROITE}, {100, 100, 97, 99, FLECHE_BAS},
        {100, 100, 1, 0, FLECHE_HAUT},     {100, 100, 0, 1, FLECHE_GAUCHE},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(std::to_string(k.hi) + "," + std::to_string(k.hj) + " " + std::to_string(k.a));
        auto plateau = test::plateau_rempli(DEHORS);
        for (int i = 0; i < k.l; ++i) {
            for (int j = 0; j < k.c; ++j) {
                (*plateau)[i][j] = {CASE_VIDE, 0, 0};
            }
        }
        (*plateau)[k.hi][k.hj].statutCase = STATUT_HEROS;
        deplacement(*plateau, k.l, k.c, k.a);
        int vues = 0;
        for (int i = 0; i < TAILLE_PLATEAU; ++i) {
            for (int j = 0; j < TAILLE_PLATEAU; ++j) {
                const sCaseJeu& cellule = (*plateau)[i][j];
                if (i >= k.l || j >= k.c) {
                    ASSERT_EQ(cellule.typeCase, DEHORS.typeCase);
                    ASSERT_EQ(cellule.statutCase, DEHORS.statutCase);
                    ASSERT_EQ(cellule.visible, DEHORS.visible);
                } else {
                    vues += cellule.visible;
                }
            }
        }
        EXPECT_GE(vues, 1);
        EXPECT_LT(vues, 12);
    }
}

TEST(Deplacement, NoHeroOrNoRoomMovesNothing) {
    auto plateau = test::plateau_rempli({CASE_VIDE, 0, 0});
    auto avant = std::make_unique<Plateau>(*plateau);
    deplacement(*plateau, 20, 20, FLECHE_DROITE);
    EXPECT_TRUE(test::memes_cases(*plateau, *avant));

    // A step that would leave the level, or a code that is no direction, is not taken.
    auto bord = test::plateau_avec_heros(3, 19);
    auto bord_avant = std::make_unique<Plateau>(*bord);
    deplacement(*bord, 20, 20, FLECHE_DROITE);
    deplacement(*bord, 20, 20, 'x');
    EXPECT_TRUE(test::memes_cases(*bord, *bord_avant));
}

} // namespace
} // namespace korva
