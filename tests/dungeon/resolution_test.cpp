#include "dungeon/deplacement.hpp"
#include "dungeon/plateau_essai.hpp"
#include "items/sac.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

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

std::string texte(const uneSerrure& f) {
    return std::to_string(f.numero) + " at " + std::to_string(f.l) + "," + std::to_string(f.c);
}

// One step's resolution from the hero at (hi, hj) of an empty bag, the target set as given.
struct Essai {
    std::unique_ptr<Plateau> plateau;
    std::unique_ptr<Plateau> avant;
    sPerso p{};
    std::unique_ptr<Sacoche> sacoche = std::make_unique<Sacoche>();
    uneSerrure f = SERRURE_TEMOIN;

    Essai(const Direction& d, sCaseJeu cible, std::unique_ptr<Plateau> depart = nullptr)
        : plateau(depart ? std::move(depart) : test::plateau_avec_heros(5, 5)) {
        if (d.code != 0) {
            (*plateau)[5 + d.dl][5 + d.dc] = cible;
        }
        avant = std::make_unique<Plateau>(*plateau);
        p.score = 100;
        p.piecOr = 10;
        (*sacoche)[0].nbObjet = 0;
    }
    int jouer(int a) { return calcul_deplacement(*plateau, L, C, a, p, *sacoche, f); }
    bool inchange() const { return test::memes_cases(*plateau, *avant); }
};

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
        SCOPED_TRACE(std::to_string(k.i) + "," + std::to_string(k.j) + " " + std::to_string(k.a));
        test::ConsoleScriptee ecran;
        // Beyond the level's edge the board holds a monster: it is never looked at.
        auto plateau = test::plateau_rempli({MONSTRE, 0, 1});
        for (int i = 0; i < L; ++i) {
            (*plateau)[i].fill({MUR_EXTERIEUR, 0, 1});
        }
        (*plateau)[k.i][k.j].statutCase = STATUT_HEROS;
        Essai essai({0, 0, 0}, {}, std::move(plateau));
        EXPECT_EQ(essai.jouer(k.a), PAS_SORTIE);
        EXPECT_TRUE(essai.inchange());
        EXPECT_EQ(texte(essai.f), texte(SERRURE_TEMOIN));
        EXPECT_EQ(essai.p.score, 100);
        EXPECT_EQ(ecran.sortie(), "");
    }
}

TEST(CalculDeplacement, FloorLetsThroughAndWallsRocksAndUnknownCellsBlock) {
    const std::pair<int, int> cas[] = {{CASE_VIDE, PAS_LIBRE},
                                       {CASE_PASSAGE, PAS_LIBRE},
                                       {MUR_EXTERIEUR, PAS_BLOQUE},
                                       {MUR_INTERIEUR, PAS_BLOQUE},
                                       {EBOULEMENT, PAS_BLOQUE},
                                       {15, PAS_BLOQUE},
                                       {-1, PAS_BLOQUE},
                                       {1000, PAS_BLOQUE}};
    for (const Direction& d : DIRECTIONS) {
        for (const auto& [type, resultat] : cas) {
            SCOPED_TRACE("type " + std::to_string(type) + " " + std::to_string(d.code));
            test::ConsoleScriptee ecran;
            Essai essai(d, {type, 0, 1});
            EXPECT_EQ(essai.jouer(d.code), resultat);
            EXPECT_TRUE(essai.inchange());
            EXPECT_EQ(texte(essai.f), texte(SERRURE_TEMOIN));
            EXPECT_EQ(essai.p.score + essai.p.piecOr, 110);
            EXPECT_EQ(ecran.sortie(), "");
        }
    }
}

TEST(CalculDeplacement, BothDoorsAnsweredInEveryDirection) {
    const std::string besoin = std::string(QUESTION) + "\nYou need the key number : 3 \n\n<pause>";
    struct Cas {
        sCaseJeu porte;
        const char* touches;
        int resultat;
        int numero; // recorded in the lock
        std::string sortie;
    };
    const Cas cas[] = {
        // A closed door holds a number no key carries.
        {{PORTE_FERMEE, 0, 0}, "y", PAS_LIBRE, -6, QUESTION},
        {{PORTE_FERMEE, 0, 1}, "n", PAS_BLOQUE, -6, QUESTION},
        // A locked door never opens here: the bag's key is used from the inventory.
        {{PORTE_CLE, 9, 1}, "yx", PAS_BLOQUE, 3, besoin},
        {{PORTE_CLE, 13, 1}, "n", PAS_BLOQUE, 7, QUESTION},
    };
    for (const Direction& d : DIRECTIONS) {
        for (const Cas& k : cas) {
            SCOPED_TRACE(std::to_string(k.porte.typeCase) + k.touches + " " +
                         std::to_string(d.code));
            test::ConsoleScriptee ecran;
            ecran.touches(k.touches);
            Essai essai(d, k.porte);
            const int pl = 5 + d.dl;
            const int pc = 5 + d.dc;
            EXPECT_EQ(essai.jouer(d.code), k.resultat);
            const bool ouverte = k.resultat == PAS_LIBRE;
            EXPECT_EQ(test::enregistrement((*essai.plateau)[pl][pc]),
                      test::enregistrement(ouverte ? sCaseJeu{CASE_VIDE, 0, 0} : k.porte));
            // Opened downwards the door is not recorded; every other answer records it.
            const uneSerrure attendue =
                ouverte && d.code == FLECHE_BAS ? SERRURE_TEMOIN : uneSerrure{k.numero, pl, pc};
            EXPECT_EQ(texte(essai.f), texte(attendue));
            EXPECT_EQ(ecran.sortie(), k.sortie);
            EXPECT_EQ(ecran.reste(), 0u);
        }
    }
}

TEST(PorteFermee, AsksAgainUntilLowerCaseYesOrNo) {
    test::ConsoleScriptee ecran;
    ecran.touches("YNx").touche(TOUCHE_PREFIXE).touche(FLECHE_DROITE).touche(0).touches("nYy");
    auto plateau = test::plateau_avec_heros(5, 5);
    (*plateau)[2][3] = {PORTE_FERMEE, 0, 1};
    EXPECT_EQ(porte_fermee(*plateau, 2, 3), 1);
    std::string attendu;
    for (int fois = 0; fois < 7; ++fois) {
        attendu += QUESTION;
    }
    EXPECT_EQ(ecran.sortie(), attendu);
    EXPECT_EQ((*plateau)[2][3].typeCase, PORTE_FERMEE);
    EXPECT_EQ(porte_fermee(*plateau, 2, 3), 0);
    EXPECT_EQ(ecran.sortie(), attendu + QUESTION + QUESTION);
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
        EXPECT_EQ(test::enregistrement((*essai.plateau)[5 + d.dl][5 + d.dc]), "{0,0,1},");
        EXPECT_EQ(ecran.sortie(), "");
    }
}

TEST(CalculDeplacement, PotionOrKeyRefusedByAFullBagStaysWhereItLies) {
    for (const sCaseJeu& objet : {sCaseJeu{POTION, 0, 1}, sCaseJeu{CLE, 9, 1}}) {
        for (const Direction& d : DIRECTIONS) {
            SCOPED_TRACE("type " + std::to_string(objet.typeCase) + " " + std::to_string(d.code));
            test::ConsoleScriptee ecran;
            ecran.touches("xxxx"); // should the bag say it is full and wait
            Essai essai(d, objet);
            // 99 keys: no room left for anything.
            (*essai.sacoche)[0].nbObjet = OBJETS_MAX;
            for (int n = 1; n <= OBJETS_MAX; ++n) {
                (*essai.sacoche)[n].ob = unObjet{};
                copier_nom((*essai.sacoche)[n].ob.nom, "cle");
                (*essai.sacoche)[n].ob.numero = n;
            }
            EXPECT_EQ(essai.jouer(d.code), PAS_BLOQUE);
            EXPECT_TRUE(essai.inchange());
            EXPECT_EQ(essai.p.score, 100);
            EXPECT_EQ((*essai.sacoche)[0].nbObjet, OBJETS_MAX);
        }
    }
}

TEST(CalculDeplacement, TheHeroIsTheFirstMarkedCellAndABoardWithoutOneMovesNothing) {
    for (const Direction& d : DIRECTIONS) {
        test::ConsoleScriptee ecran;
        Essai essai({0, 0, 0}, {}, test::plateau_rempli({PORTE_FERMEE, 0, 1}));
        EXPECT_EQ(essai.jouer(d.code), PAS_LIBRE);
        EXPECT_TRUE(essai.inchange());
        EXPECT_EQ(texte(essai.f), texte(SERRURE_TEMOIN));
        EXPECT_EQ(ecran.sortie(), "");
    }
    // Two marked cells: the one met first in row order is the hero, the other is not asked.
    test::ConsoleScriptee ecran;
    auto plateau = test::plateau_avec_heros(2, 7);
    (*plateau)[3][1].statutCase = STATUT_HEROS;
    (*plateau)[2][8].typeCase = MUR_INTERIEUR;
    Essai deux({0, 0, 0}, {}, std::move(plateau));
    EXPECT_EQ(deux.jouer(FLECHE_DROITE), PAS_BLOQUE);
    // A hero beyond the level's columns is not on the level.
    Essai dehors({0, 0, 0}, {}, test::plateau_avec_heros(2, C));
    EXPECT_EQ(dehors.jouer(FLECHE_GAUCHE), PAS_LIBRE);
    EXPECT_EQ((*dehors.plateau)[2][C - 1].statutCase, 0);
}

} // namespace
} // namespace korva
