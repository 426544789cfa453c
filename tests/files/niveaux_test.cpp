#include "dungeon/plateau_essai.hpp"
#include "files/niveaux.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

namespace korva {
namespace {

constexpr const char* CHEMIN = "fichiers/niveaux/niveau1g.txt";
constexpr sCaseJeu TEMOIN{42, 7, 1};

// A 3 by 4 level: walls, a door, a key numbered 1 and the hero.
constexpr const char* RANGEE_0 = "{1,2,1},{1,0,1},{1,0,1},{1,0,1},";
constexpr const char* RANGEE_1 = "{1,0,1},{0,1,1},{3,0,0},{12,7,0},";
constexpr const char* RANGEE_2 = "{1,0,0},{1,0,0},{1,0,0},{1,0,0},";

// Reads `texte` as the level file and checks the 3 by 4 level above came out of it.
void verifier_petit_niveau(const std::string& texte) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    dossier.ecrire(CHEMIN, texte);
    auto plateau = test::plateau_rempli(TEMOIN);
    int l = 0;
    int c = 0;
    EXPECT_EQ(charger_niveau(CHEMIN, *plateau, l, c), 0);
    EXPECT_EQ(std::make_pair(l, c), std::make_pair(3, 4));
    std::string lu;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 5; ++j) {
            // Cells outside the level keep what they held.
            lu += test::enregistrement((*plateau)[i][j]);
        }
        lu += "\n";
    }
    const std::string dehors = test::enregistrement(TEMOIN);
    EXPECT_EQ(lu, RANGEE_0 + dehors + "\n" + RANGEE_1 + dehors + "\n" + RANGEE_2 + dehors + "\n" +
                      dehors + dehors + dehors + dehors + dehors + "\n");
    EXPECT_EQ(ecran.erreurs() + ecran.sortie(), "");
}

TEST(ChargerNiveau, ReadsRowsWhateverWhiteSpaceSeparatesThemAndBlanksBeforeNumbers) {
    const std::string rangees[] = {RANGEE_0, RANGEE_1, RANGEE_2};
    for (const std::string entre : {"\n", "\n\n\n", "", "\r\n", " \t\n  "}) {
        SCOPED_TRACE("between rows: \"" + entre + "\"");
        verifier_petit_niveau("3\n\n4\n" + rangees[0] + entre + rangees[1] + entre + rangees[2] +
                              entre);
    }
    verifier_petit_niveau(" 3 4\n{ 1, 2,\n1},{1,0,1},{1,0,1},{1,0,1},\n"
                          "{1,0,1},{ 0,\t1, 1},{+3,0,0},{12,7,0},\n"
                          "{1,0,0},{1,0,0},{1,0,0},{1,0,0},"
                          "anything after the last row is never read");

    // The largest level the board holds.
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    dossier.ecrire(CHEMIN, test::texte_niveau(100, 100, 5, 99, 99));
    auto plateau = test::plateau_rempli(TEMOIN);
    int l = 0;
    int c = 0;
    EXPECT_EQ(charger_niveau(CHEMIN, *plateau, l, c), 0);
    EXPECT_EQ(std::make_pair(l, c), std::make_pair(100, 100));
    EXPECT_EQ((*plateau)[99][99].statutCase, STATUT_HEROS);
    EXPECT_EQ((*plateau)[0][0].statutCase, 6);
}

struct MauvaisFichier {
    const char* cas;
    std::string contenu;
    const char* probleme; // part of the report
    bool absent = false;
};

TEST(ChargerNiveau, RefusesBadFilesAndKeepsTheLevelInPlay) {
    const std::string bon1 = RANGEE_1;
    // The small level with one row replaced.
    auto avec = [](int rang, const char* rangee) {
        const char* rangees[] = {RANGEE_0, RANGEE_1, RANGEE_2};
        rangees[rang] = rangee;
        return std::string("3\n4\n") + rangees[0] + "\n" + rangees[1] + "\n" + rangees[2];
    };
    const MauvaisFichier mauvais[] = {
        {"missing", "", ": No such file or directory\n", true},
        {"empty", "", "size"},
        {"size not a number", "three\n4\n", "size"},
        {"no column count", "3\n", "size"},
        {"too many rows", test::texte_niveau(101, 4, 1, 1, 1), "outside 1 to 100"},
        {"too many columns", test::texte_niveau(4, 101, 1, 1, 1), "outside 1 to 100"},
        {"no rows", "0\n4\n", "outside 1 to 100"},
        {"negative columns", "3\n-4\n", "outside 1 to 100"},
        {"huge size", "99999999999\n4\n", "size"},
        {"truncated", "3\n4\n" + std::string(RANGEE_0) + "\n" + bon1 + "\n", "end at row 3"},
        {"truncated inside a row", "3\n4\n" + std::string(RANGEE_0) + "\n{1,0,1},", "end at row 2"},
        {"blank before a comma", avec(0, "{1 ,2,1},{1,0,1},{1,0,1},{1,0,1},"), "malformed"},
        {"blank before the closing brace", avec(0, "{1,2,1 },{1,0,1},{1,0,1},{1,0,1},"),
         "malformed"},
        {"blank before the opening brace", avec(1, "{1,0,1}, {0,1,1},{3,0,0},{12,7,0},"),
         "malformed cell record at row 2, column 2"},
        {"no comma after a record", avec(0, "{1,2,1}{1,0,1},{1,0,1},{1,0,1},"), "malformed"},
        {"two fields", avec(0, "{1,2},{1,0,1},{1,0,1},{1,0,1},"), "malformed"},
        {"letter for a number", avec(0, "{1,2,x},{1,0,1},{1,0,1},{1,0,1},"), "malformed"},
        {"no hero", avec(1, "{1,0,1},{0,0,1},{3,0,0},{12,7,0},"), "no cell holds the hero"},
        {"two heroes", avec(2, "{1,0,0},{1,0,0},{0,1,0},{1,0,0},"), "2 cells hold the hero"},
        {"unknown cell type", avec(1, "{1,0,1},{0,1,1},{3,0,0},{15,0,0},"),
         "row 2, column 4 has the unknown type 15"},
        {"key without its number", avec(1, "{1,0,1},{0,1,1},{3,0,0},{12,6,0},"),
         "row 2, column 4 is a key or a locked door without a key number"},
        {"locked door without its number", avec(1, "{1,0,1},{0,1,1},{6,0,0},{12,7,0},"),
         "row 2, column 3 is a key or a locked door without a key number"},
    };
    for (const MauvaisFichier& m : mauvais) {
        SCOPED_TRACE(m.cas);
        test::DossierJeu dossier;
        test::ConsoleScriptee ecran;
        if (m.absent) {
            dossier.supprimer(CHEMIN);
        } else {
            dossier.ecrire(CHEMIN, m.contenu);
        }
        auto plateau = test::plateau_rempli(TEMOIN);
        int l = 15;
        int c = 50;
        EXPECT_EQ(charger_niveau(CHEMIN, *plateau, l, c), 1);
        EXPECT_EQ(std::make_pair(l, c), std::make_pair(15, 50));
        EXPECT_TRUE(test::memes_cases(*plateau, *test::plateau_rempli(TEMOIN)));
        EXPECT_EQ(ecran.erreurs().rfind(
                      std::string(CHEMIN) + (m.absent ? m.probleme : ": not a valid level: "), 0),
                  0u)
            << ecran.erreurs();
        EXPECT_NE(ecran.erreurs().find(m.probleme), std::string::npos) << ecran.erreurs();
        EXPECT_EQ(ecran.erreurs().back(), '\n');
        EXPECT_EQ(ecran.sortie(), "");
    }
}

TEST(LireNiveau, StopsAfterTheWhiteSpaceThatFollowsTheLastRow) {
    const std::string texte = "1\n2\n{0,1,1},{4,0,0},\n\n3\nrest";
    auto plateau = test::plateau_rempli(TEMOIN);
    int l = 0;
    int c = 0;
    std::string erreur;
    std::size_t fin = 0;
    ASSERT_TRUE(lire_niveau(texte, *plateau, l, c, erreur, &fin));
    EXPECT_EQ(texte.substr(fin), "3\nrest");
    EXPECT_EQ(l, 1);
    EXPECT_EQ(c, 2);
    EXPECT_EQ((*plateau)[0][1].typeCase, CASE_PASSAGE);
}

} // namespace
} // namespace korva
