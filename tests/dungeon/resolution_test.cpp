#include "dungeon/deplacement.hpp"
#include "dungeon/plateau_essai.hpp"
#include "items/sac.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace korva {
namespace {

constexpr int L = 10;
constexpr int C = 12;
constexpr uneSerrure SERRURE_TEMOIN{42, 8, 8};
constexpr const char* QUESTION = "\nOpen the door ?  y/n : ";

struct Direction {
    int code;
    int dl;
    int dc;
};
constexpr Direction DIRECTIONS[] = {
    {FLECHE_HAUT, -1, 0}, {FLECHE_BAS, 1, 0}, {FLECHE_GAUCHE, 0, -1}, {FLECHE_DROITE, 0, 1}};

std::string nom_direction(int code) {
    switch (code) {
    case FLECHE_HAUT:
        return "up";
    case FLECHE_BAS:
        return "down";
    case FLECHE_GAUCHE:
        return "left";
    default:
        return "right";
    }
}

// One step's resolution from the hero at (5,5), with the target cell set as given.
struct Essai {
    std::unique_ptr<Plateau> plateau = test::plateau_avec_heros(5, 5);
    sPerso p{};
    std::unique_ptr<Sacoche> sacoche = std::make_unique<Sacoche>();
    uneSerrure f = SERRURE_TEMOIN;

    explicit Essai(const Direction& d, sCaseJeu cible) {
        (*plateau)[5 + d.dl][5 + d.dc] = cible;
        p.score = 100;
        p.piecOr = 10;
        (*sacoche)[0].nbObjet = 0;
    }
    int jouer(int a) { return calcul_deplacement(*plateau, L, C, a, p, *sacoche, f); }
};

bool memes_serrures(const uneSerrure& a, const uneSerrure& b) {
    return a.numero == b.numero && a.l == b.l && a.c == b.c;
}

TEST(CalculDeplacement, EdgesOfTheLevelLeaveTheBoard) {
    struct Cas {
        int i;
        int j;
        int a;
    };
    const Cas cas[] = {{0, 5, FLECHE_HAUT},        {L - 1, 5, FLECHE_BAS},
                       {5, 0, FLECHE_GAUCHE},      {5, C - 1, FLECHE_DROITE},
                       {0, 0, FLECHE_HAUT},        {0, 0, FLECHE_GAUCHE},
                       {L - 1, C - 1, FLECHE_BAS}, {L - 1, C - 1, FLECHE_DROITE}};
    for (const Cas& k : cas) {
        SCOPED_TRACE(std::to_string(k.i) + "," + std::to_string(k.j) + " " + nom_direction(k.a));
        test::ConsoleScriptee ecran;
        // Beyond the level's edge the board holds a monster: it is never looked at.
        auto plateau = test::plateau_rempli({MONSTRE, 0, 1});
        for (int i = 0; i < L; ++i) {
            for (int j = 0; j < C; ++j) {
                (*plateau)[i][j] = {MUR_EXTERIEUR, 0, 1};
            }
        }
        (*plateau)[k.i][k.j].statutCase = STATUT_HEROS;
        auto avant = std::make_unique<Plateau>(*plateau);
        sPerso p{};
        auto sacoche = std::make_unique<Sacoche>();
        (*sacoche)[0].nbObjet = 0;
        uneSerrure f = SERRURE_TEMOIN;
        EXPECT_EQ(calcul_deplacement(*plateau, L, C, k.a, p, *sacoche, f), PAS_SORTIE);
        EXPECT_TRUE(test::memes_cases(*plateau, *avant));
        EXPECT_TRUE(memes_serrures(f, SERRURE_TEMOIN));
        EXPECT_EQ(p.score, 0);
        EXPECT_EQ(ecran.sortie(), "");
    }
}

TEST(CalculDeplacement, FloorLetsThroughAndWallsRocksAndUnknownCellsBlock) {
    struct Cas {
        int type;
        int resultat;
    };
    const Cas cas[] = {{CASE_VIDE, PAS_LIBRE},
                       {CASE_PASSAGE, PAS_LIBRE},
                       {MUR_EXTERIEUR, PAS_BLOQUE},
                       {MUR_INTERIEUR, PAS_BLOQUE},
                       {EBOULEMENT, PAS_BLOQUE},
                       {15, PAS_BLOQUE},
                       {-1, PAS_BLOQUE},
                       {1000, PAS_BLOQUE}};
    for (const Direction& d : DIRECTIONS) {
        for (const Cas& k : cas) {
            SCOPED_TRACE("type " + std::to_string(k.type) + " " + nom_direction(d.code));
            test::ConsoleScriptee ecran;
            Essai essai(d, {k.type, 0, 1});
            auto avant = std::make_unique<Plateau>(*essai.plateau);
            EXPECT_EQ(essai.jouer(d.code), k.resultat);
            EXPECT_TRUE(test::memes_cases(*essai.plateau, *avant));
            EXPECT_TRUE(memes_serrures(essai.f, SERRURE_TEMOIN));
            EXPECT_EQ(essai.p.score, 100);
            EXPECT_EQ(essai.p.piecOr, 10);
            EXPECT_EQ(ecran.sortie(), "");
        }
    }
}

TEST(CalculDeplacement, ClosedDoorAnsweredInEveryDirection) {
    for (const Direction& d : DIRECTIONS) {
        const int porte_l = 5 + d.dl;
        const int porte_c = 5 + d.dc;
        {
            SCOPED_TRACE("yes, " + nom_direction(d.code));
            test::ConsoleScriptee ecran;
            ecran.touche('y');
            Essai essai(d, {PORTE_FERMEE, 0, 0});
            EXPECT_EQ(essai.jouer(d.code), PAS_LIBRE);
            const sCaseJeu& porte = (*essai.plateau)[porte_l][porte_c];
            EXPECT_EQ(porte.typeCase, CASE_VIDE);
            EXPECT_EQ(porte.statutCase, 0);
            EXPECT_EQ(porte.visible, 0);
            // Opened downwards the door is not recorded; otherwise it is, with a number no key
            // carries.
            const uneSerrure attendue =
                d.code == FLECHE_BAS ? SERRURE_TEMOIN : uneSerrure{-6, porte_l, porte_c};
            EXPECT_TRUE(memes_serrures(essai.f, attendue))
                << essai.f.numero << " " << essai.f.l << " " << essai.f.c;
            EXPECT_EQ(ecran.sortie(), QUESTION);
        }
        {
            SCOPED_TRACE("no, " + nom_direction(d.code));
            test::ConsoleScriptee ecran;
            ecran.touche('n');
            Essai essai(d, {PORTE_FERMEE, 0, 1});
            EXPECT_EQ(essai.jouer(d.code), PAS_BLOQUE);
            EXPECT_EQ((*essai.plateau)[porte_l][porte_c].typeCase, PORTE_FERMEE);
            EXPECT_TRUE(memes_serrures(essai.f, uneSerrure{-6, porte_l, porte_c}));
            EXPECT_EQ(ecran.sortie(), QUESTION);
        }
    }
}

TEST(CalculDeplacement, LockedDoorNeverOpensAndIsAlwaysRecorded) {
    for (const Direction& d : DIRECTIONS) {
        const int porte_l = 5 + d.dl;
        const int porte_c = 5 + d.dc;
        {
            SCOPED_TRACE("yes, " + nom_direction(d.code));
            test::ConsoleScriptee ecran;
            ecran.touche('y').touche('x');
            Essai essai(d, {PORTE_CLE, 9, 1});
            EXPECT_EQ(essai.jouer(d.code), PAS_BLOQUE);
            EXPECT_EQ((*essai.plateau)[porte_l][porte_c].typeCase, PORTE_CLE);
            EXPECT_EQ((*essai.plateau)[porte_l][porte_c].statutCase, 9);
            EXPECT_TRUE(memes_serrures(essai.f, uneSerrure{3, porte_l, porte_c}));
            EXPECT_EQ(ecran.sortie(),
                      std::string(QUESTION) + "\nYou need the key number : 3 \n\n<pause>");
            EXPECT_EQ(ecran.reste(), 0u);
        }
        {
            SCOPED_TRACE("no, " + nom_direction(d.code));
            test::ConsoleScriptee ecran;
            ecran.touche('n');
            Essai essai(d, {PORTE_CLE, 13, 1});
            EXPECT_EQ(essai.jouer(d.code), PAS_BLOQUE);
            EXPECT_EQ((*essai.plateau)[porte_l][porte_c].typeCase, PORTE_CLE);
            EXPECT_TRUE(memes_serrures(essai.f, uneSerrure{7, porte_l, porte_c}));
            EXPECT_EQ(ecran.sortie(), QUESTION);
        }
    }
}

TEST(PorteFermee, AsksAgainUntilLowerCaseYesOrNo) {
    test::ConsoleScriptee ecran;
    ecran.touches("YNx").touche(TOUCHE_PREFIXE).touche(FLECHE_DROITE).touche(0).touche('n');
    auto plateau = test::plateau_avec_heros(5, 5);
    (*plateau)[2][3] = {PORTE_FERMEE, 0, 1};
    EXPECT_EQ(porte_fermee(*plateau, 2, 3), 1);
    std::string attendu;
    for (int fois = 0; fois < 7; ++fois) {
        attendu += QUESTION;
    }
    EXPECT_EQ(ecran.sortie(), attendu);
    EXPECT_EQ((*plateau)[2][3].typeCase, PORTE_FERMEE);

    // The same refusals before a 'y' at a closed door: it opens.
    test::ConsoleScriptee ecran2;
    ecran2.touches("Yy");
    EXPECT_EQ(porte_fermee(*plateau, 2, 3), 0);
    EXPECT_EQ(ecran2.sortie(), std::string(QUESTION) + QUESTION);
    EXPECT_EQ((*plateau)[2][3].typeCase, CASE_VIDE);
}

TEST(CalculDeplacement, GoldRaisesGoldAndScoreAlike) {
    std::srand(1234);
    for (int tirage = 0; tirage < 200; ++tirage) {
        const Direction& d = DIRECTIONS[tirage % 4];
        test::ConsoleScriptee ecran;
        Essai essai(d, {PIECE_OR, 0, 1});
        EXPECT_EQ(essai.jouer(d.code), PAS_LIBRE);
        const int gain = essai.p.piecOr - 10;
        EXPECT_GE(gain, 1);
        EXPECT_LE(gain, 19);
        EXPECT_EQ(essai.p.score - 100, gain);
        const sCaseJeu& cible = (*essai.plateau)[5 + d.dl][5 + d.dc];
        EXPECT_EQ(cible.typeCase, CASE_VIDE);
        EXPECT_EQ(cible.statutCase, 0);
        EXPECT_EQ(cible.visible, 1);
        EXPECT_EQ(ecran.sortie(), "");
    }
}

TEST(CalculDeplacement, PotionOrKeyRefusedByAFullBagStaysWhereItLies) {
    const sCaseJeu objets[] = {{POTION, 0, 1}, {CLE, 9, 1}};
    for (const sCaseJeu& objet : objets) {
        for (const Direction& d : DIRECTIONS) {
            SCOPED_TRACE("type " + std::to_string(objet.typeCase) + " " + nom_direction(d.code));
            test::ConsoleScriptee ecran;
            ecran.touches("xxxx"); // should the bag say it is full and wait
            Essai essai(d, objet);
            // 99 keys: no room left for anything.
            (*essai.sacoche)[0].nbObjet = OBJETS_MAX;
            for (int n = 1; n <= OBJETS_MAX; ++n) {
                unObjet& o = (*essai.sacoche)[n].ob;
                copier_nom(o.nom, "cle");
                o.numero = n;
                o.attribut = 0;
                o.puissance = 0;
            }
            auto avant = std::make_unique<Plateau>(*essai.plateau);
            EXPECT_EQ(essai.jouer(d.code), PAS_BLOQUE);
            EXPECT_TRUE(test::memes_cases(*essai.plateau, *avant));
            EXPECT_EQ(essai.p.score, 100);
            EXPECT_EQ((*essai.sacoche)[0].nbObjet, OBJETS_MAX);
        }
    }
}

TEST(CalculDeplacement, TheHeroIsTheFirstMarkedCellAndABoardWithoutOneMovesNothing) {
    for (const Direction& d : DIRECTIONS) {
        test::ConsoleScriptee ecran;
        auto plateau = test::plateau_rempli({PORTE_FERMEE, 0, 1});
        auto avant = std::make_unique<Plateau>(*plateau);
        sPerso p{};
        auto sacoche = std::make_unique<Sacoche>();
        (*sacoche)[0].nbObjet = 0;
        uneSerrure f = SERRURE_TEMOIN;
        EXPECT_EQ(calcul_deplacement(*plateau, L, C, d.code, p, *sacoche, f), PAS_LIBRE);
        EXPECT_TRUE(test::memes_cases(*plateau, *avant));
        EXPECT_TRUE(memes_serrures(f, SERRURE_TEMOIN));
        EXPECT_EQ(ecran.sortie(), "");
    }

    // Two marked cells: the one met first in row order is the hero, the other is not asked.
    test::ConsoleScriptee ecran;
    auto plateau = test::plateau_avec_heros(2, 7);
    (*plateau)[3][1].statutCase = STATUT_HEROS;
    (*plateau)[2][8].typeCase = MUR_INTERIEUR;
    sPerso p{};
    auto sacoche = std::make_unique<Sacoche>();
    (*sacoche)[0].nbObjet = 0;
    uneSerrure f = SERRURE_TEMOIN;
    EXPECT_EQ(calcul_deplacement(*plateau, L, C, FLECHE_DROITE, p, *sacoche, f), PAS_BLOQUE);
    // A hero beyond the level's columns is not on the level.
    auto dehors = test::plateau_avec_heros(2, C);
    EXPECT_EQ(calcul_deplacement(*dehors, L, C, FLECHE_GAUCHE, p, *sacoche, f), PAS_LIBRE);
    EXPECT_EQ((*dehors)[2][C - 1].statutCase, 0);
}

} // namespace
} // namespace korva
