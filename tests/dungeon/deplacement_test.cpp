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
    };
    const Cas cas[] = {
        {FLECHE_HAUT, -1, 0}, {FLECHE_BAS, 1, 0}, {FLECHE_GAUCHE, 0, -1}, {FLECHE_DROITE, 0, 1}};
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
        // The pattern of the step right, turned: k cells ahead, 4 - k cells to either side.
        std::set<Cellule> attendues = {{10, 10}}; // the cell left keeps its flag
        for (int avance = 0; avance < 4; ++avance) {
            for (const int cote : {-(4 - avance), 0, 4 - avance}) {
                attendues.insert(
                    {ni + avance * k.dl + cote * k.dc, nj + avance * k.dc + cote * k.dl});
            }
        }
        EXPECT_EQ(cellules_vues(*plateau), attendues);
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
    EXPECT_EQ((*plateau)[6][1].visible, 1); // seen from the first step only
    EXPECT_EQ(cellules_vues(*plateau).size(), 2u + 12u + 9u);
}

TEST(Deplacement, NothingOutsideTheLevelIsTouchedAndNoRoomMovesNothing) {
    constexpr sCaseJeu DEHORS{77, 55, 0};
    struct Cas {
        int l;
        int c;
        int hi;
        int hj;
        int a;
    };
    const Cas cas[] = {
        {6, 8, 2, 3, FLECHE_GAUCHE},       {6, 8, 1, 1, FLECHE_HAUT},
        {6, 8, 4, 6, FLECHE_DROITE},       {6, 8, 4, 6, FLECHE_BAS},
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
                    ASSERT_EQ(test::enregistrement(cellule), test::enregistrement(DEHORS));
                } else {
                    vues += cellule.visible;
                }
            }
        }
        EXPECT_GE(vues, 1);
        EXPECT_LT(vues, 12);
    }

    // No hero, a step that would leave the level, or a code that is no direction: nothing.
    auto vide = test::plateau_rempli({CASE_VIDE, 0, 0});
    deplacement(*vide, 20, 20, FLECHE_DROITE);
    EXPECT_TRUE(test::memes_cases(*vide, *test::plateau_rempli({CASE_VIDE, 0, 0})));
    auto bord = test::plateau_avec_heros(3, 19);
    deplacement(*bord, 20, 20, FLECHE_DROITE);
    deplacement(*bord, 20, 20, 'x');
    EXPECT_TRUE(test::memes_cases(*bord, *test::plateau_avec_heros(3, 19)));
}

} // namespace
} // namespace korva
