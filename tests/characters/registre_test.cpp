#include "characters/personnage.hpp"
#include "characters/registre.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace korva {
namespace {

using test::ConsoleScriptee;
using test::DossierJeu;
using test::FinDuProcessus;

constexpr const char* REGISTRE = "fichiers/personnages/joueurs.txt";
constexpr const char* REGLE = "------------------------------------- \n ";
constexpr const char* INVITE_PLACE =
    "Enter the location number of the player (0: return to main menu): ";

sPerso personnage(std::string_view nom, int score) {
    sPerso p{};
    copier_nom(p.nom, nom);
    p.score = score;
    return p;
}

sJoueur joueur(std::string_view pseudo, int score) {
    sJoueur j{};
    copier_nom(j.pseudo, pseudo);
    j.score = score;
    return j;
}

std::string registre_de(int nombre) {
    std::string texte = std::to_string(nombre) + "\n";
    for (int i = 0; i < nombre; ++i) {
        texte += "p" + std::to_string(i) + " " + std::to_string(1000 - i) + "\n";
    }
    return texte;
}

TEST(Registre, ReadsCountAndPlayers) {
    std::vector<sJoueur> joueurs;
    std::string erreur;
    ASSERT_TRUE(lire_registre("0\n", joueurs, erreur));
    EXPECT_TRUE(joueurs.empty());

    // Formatted reading skips any white space, so line breaks are not required.
    ASSERT_TRUE(lire_registre("3\nAlice 12\nbob -4\r\n  carl\t+7", joueurs, erreur)) << erreur;
    ASSERT_EQ(joueurs.size(), 3u);
    EXPECT_STREQ(joueurs[0].pseudo, "Alice");
    EXPECT_EQ(joueurs[0].score, 12);
    EXPECT_STREQ(joueurs[1].pseudo, "bob");
    EXPECT_EQ(joueurs[1].score, -4);
    EXPECT_STREQ(joueurs[2].pseudo, "carl");
    EXPECT_EQ(joueurs[2].score, 7);

    const std::string long49(49, 'n');
    ASSERT_TRUE(lire_registre("1\n" + long49 + " 2147483647\n", joueurs, erreur));
    EXPECT_EQ(std::string(joueurs[0].pseudo), long49);
    EXPECT_EQ(joueurs[0].score, 2147483647);
}

TEST(Registre, RefusesBrokenContentsWithoutHalfReading) {
    const struct {
        std::string texte;
        std::string attendu;
    } cas[] = {
        {"", "the player count is missing"},
        {" \n\n", "the player count is missing"},
        {"two\nA 1\n", "the player count \"two\" is not a number"},
        {"2x\n", "is not a number"},
        {"-1\n", "the player count is negative (-1)"},
        {"99999999999\n", "is not a number"},
        {"3\nA 1\nB 2\n", "the count announces 3 players but only 2 follow"},
        {"2\nA 1\nB\n", "line 3: the score of B is missing"},
        {"1\n" + std::string(50, 'x') + " 3\n", "line 2: the name \"xxxxxxxxxxxxxxxxxxxx...\" is "
                                                "longer than 49 characters"},
        {"1\nA ten\n", "line 2: the score \"ten\" is not a number"},
        {"1\nA 3000000000\n", "the score \"3000000000\" is not a number"},
        {"1\nA 5-\n", "is not a number"},
        {std::string("1\nA\0B 5\n", 8), "line 2: the name holds a NUL byte"},
        {"1\nA 1\nB 2\n", "line 3: more lines follow than the count (1) announces"},
    };
    for (const auto& c : cas) {
        std::vector<sJoueur> joueurs{joueur("keep", 1)};
        std::string erreur;
        EXPECT_FALSE(lire_registre(c.texte, joueurs, erreur)) << c.texte;
        EXPECT_NE(erreur.find(c.attendu), std::string::npos) << c.texte << " -> " << erreur;
        ASSERT_EQ(joueurs.size(), 1u);
        EXPECT_STREQ(joueurs[0].pseudo, "keep");
    }
}

// Whatever bytes the file holds, the reader answers; what it accepts it reads back the same.
TEST(Registre, SurvivesArbitraryText) {
    std::mt19937 generateur(1234);
    const std::string morceaux[] = {"0",
                                    "1",
                                    "3",
                                    "-2",
                                    " ",
                                    "\n",
                                    "\t",
                                    "A",
                                    "bob",
                                    "+",
                                    "-",
                                    "99999999999",
                                    std::string(60, 'z'),
                                    std::string(1, '\0'),
                                    "\xff",
                                    "12x"};
    for (int essai = 0; essai < 3000; ++essai) {
        std::string texte;
        const int longueur = static_cast<int>(generateur() % 12);
        for (int i = 0; i < longueur; ++i) {
            texte += morceaux[generateur() % std::size(morceaux)];
        }
        std::vector<sJoueur> joueurs;
        std::string erreur;
        if (lire_registre(texte, joueurs, erreur)) {
            std::string relu = std::to_string(joueurs.size()) + "\n";
            for (const sJoueur& j : joueurs) {
                relu += std::string(j.pseudo) + " " + std::to_string(j.score) + "\n";
            }
            std::vector<sJoueur> encore;
            ASSERT_TRUE(lire_registre(relu, encore, erreur)) << relu;
            ASSERT_EQ(encore.size(), joueurs.size());
        } else {
            EXPECT_FALSE(erreur.empty());
        }
    }
}

TEST(Registre, SelectionSortKeepsItsOwnTieOrder) {
    sJoueur tab[] = {joueur("first", 5), joueur("second", 5), joueur("third", 9)};
    triselection(tab, 3);
    EXPECT_STREQ(tab[0].pseudo, "third");
    EXPECT_STREQ(tab[1].pseudo, "second");
    EXPECT_STREQ(tab[2].pseudo, "first");
    EXPECT_EQ(tab[0].score, 9);

    // An exchange can carry an equal score past another: 3,7,3,7 gives B,D,C,A.
    sJoueur quatre[] = {joueur("A", 3), joueur("B", 7), joueur("C", 3), joueur("D", 7)};
    triselection(quatre, 4);
    EXPECT_STREQ(quatre[0].pseudo, "B");
    EXPECT_STREQ(quatre[1].pseudo, "D");
    EXPECT_STREQ(quatre[2].pseudo, "C");
    EXPECT_STREQ(quatre[3].pseudo, "A");

    sJoueur seul[] = {joueur("only", 1)};
    triselection(seul, 1);
    triselection(seul, 0);
    EXPECT_STREQ(seul[0].pseudo, "only");

    sJoueur x = joueur("x", 1);
    sJoueur y = joueur("y", 2);
    echanger(&x, &y);
    EXPECT_STREQ(x.pseudo, "y");
    EXPECT_EQ(x.score, 2);
    EXPECT_STREQ(y.pseudo, "x");
    EXPECT_EQ(y.score, 1);
}

TEST(Registre, NameCheckIsCaseSensitive) {
    DossierJeu dossier;
    ConsoleScriptee ecran;
    dossier.ecrire(REGISTRE, "0\n");
    EXPECT_EQ(nom_dans_registre("Alice"), false);
    dossier.ecrire(REGISTRE, "2\nAlice 10\nbob 3\n");
    EXPECT_EQ(nom_dans_registre("Alice"), true);
    EXPECT_EQ(nom_dans_registre("bob"), true);
    EXPECT_EQ(nom_dans_registre("alice"), false);
    EXPECT_EQ(nom_dans_registre("BOB"), false);
    EXPECT_EQ(ecran.sortie(), "");
}

TEST(Registre, ListShowsThePlayersAndTakesAPlace) {
    DossierJeu dossier;
    dossier.ecrire(REGISTRE, "2\nalice 30\nbob 5\n");
    const std::string tete = std::string("<cls>\n\n") + REGLE + "\nSaved games : \n" +
                             "\n1 : alice \t score : 30 \n2 : bob \t score : 5 <flush>\n\n" + REGLE;
    const std::string invite = std::string("\n") + INVITE_PLACE + "<flush>";
    {
        // The last place picks the last line; places out of the list and text ask again.
        ConsoleScriptee ecran;
        ecran.ligne("3").ligne("-1").ligne("two").ligne("").ligne("2");
        nomPerso d{};
        d.l = 7;
        d.c = 8;
        EXPECT_EQ(ouvrir_fichier_joueur(d), 0);
        EXPECT_STREQ(d.nom, "bob");
        EXPECT_EQ(d.l, 7);
        EXPECT_EQ(d.c, 8);
        EXPECT_EQ(ecran.sortie(), tete + invite + "3\n" + invite + "-1\n" + invite + "two\n" +
                                      invite + "\n" + invite + "2\n");
        EXPECT_EQ(ecran.reste(), 0u);
    }
    {
        ConsoleScriptee ecran;
        ecran.ligne("1");
        nomPerso d{};
        EXPECT_EQ(ouvrir_fichier_joueur(d), 0);
        EXPECT_STREQ(d.nom, "alice");
    }
    {
        ConsoleScriptee ecran;
        ecran.ligne("0");
        nomPerso d{};
        EXPECT_EQ(ouvrir_fichier_joueur(d), 1);
        EXPECT_STREQ(d.nom, "");
        EXPECT_EQ(ecran.sortie(), tete + invite + "0\n");
    }
    EXPECT_EQ(dossier.lire(REGISTRE), "2\nalice 30\nbob 5\n");
}

TEST(Registre, ListWithNoGameSaved) {
    DossierJeu dossier;
    dossier.ecrire(REGISTRE, "0\n");
    ConsoleScriptee ecran;
    ecran.touche(' ');
    nomPerso d{};
    EXPECT_EQ(ouvrir_fichier_joueur(d), 1);
    EXPECT_EQ(ecran.sortie(), std::string("<cls>\n\n") + REGLE + "\nNo game saved !!\n\n<pause>");
}

TEST(Registre, UpdateInEveryBranch) {
    DossierJeu dossier;
    ConsoleScriptee ecran;

    // Empty registry: count 1 and the one line.
    dossier.ecrire(REGISTRE, "0\n");
    EXPECT_EQ(mettre_a_jour_registre(personnage("Zed", 12)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nZed 12\n");

    // A new player is appended and the two are ranked.
    EXPECT_EQ(mettre_a_jour_registre(personnage("amy", 40)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "2\namy 40\nZed 12\n");

    // Found: the last saved score stays, even a lower one.
    EXPECT_EQ(mettre_a_jour_registre(personnage("amy", 3)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "2\nZed 12\namy 3\n");

    // Names that differ in letter case are two players.
    EXPECT_EQ(mettre_a_jour_registre(personnage("zed", 5)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "3\nZed 12\nzed 5\namy 3\n");

    // Every line with the name is updated.
    dossier.ecrire(REGISTRE, "3\nbo 1\nal 2\nbo 3\n");
    EXPECT_EQ(mettre_a_jour_registre(personnage("bo", 9)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "3\nbo 9\nbo 9\nal 2\n");

    // Ties come out in the selection sort's order.
    dossier.ecrire(REGISTRE, "2\nfirst 5\nsecond 5\n");
    EXPECT_EQ(mettre_a_jour_registre(personnage("third", 9)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "3\nthird 9\nsecond 5\nfirst 5\n");

    EXPECT_EQ(ecran.erreurs(), "");
    EXPECT_EQ(ecran.sortie(), "");
}

TEST(Registre, HoldsMoreThanAHundredPlayers) {
    DossierJeu dossier;
    dossier.ecrire(REGISTRE, registre_de(150));
    {
        ConsoleScriptee ecran;
        EXPECT_EQ(mettre_a_jour_registre(personnage("late", 0)), 0);
    }
    std::string attendu = registre_de(150);
    attendu.replace(0, 3, "151");
    attendu += "late 0\n";
    EXPECT_EQ(dossier.lire(REGISTRE), attendu);

    ConsoleScriptee ecran;
    ecran.ligne("151");
    nomPerso d{};
    EXPECT_EQ(ouvrir_fichier_joueur(d), 0);
    EXPECT_STREQ(d.nom, "late");
    EXPECT_NE(ecran.texte().find("\n150 : p149 \t score : 851 "), std::string::npos);
    EXPECT_EQ(nom_dans_registre("p149"), true);
}

TEST(Registre, BrokenRegistryIsReportedAndNeverRewritten) {
    const std::string casses[] = {"", "-3\n", "3\nA 1\nB 2\n",
                                  "1\n" + std::string(50, 'x') + " 1\n", "1\nA many\n"};
    for (const std::string& casse : casses) {
        DossierJeu dossier;
        dossier.ecrire(REGISTRE, casse);
        {
            ConsoleScriptee ecran;
            EXPECT_EQ(mettre_a_jour_registre(personnage("newbie", 5)), 1);
            EXPECT_EQ(ecran.erreurs().rfind(
                          std::string(REGISTRE) + ": the player registry is damaged: ", 0),
                      0u)
                << ecran.erreurs();
        }
        {
            ConsoleScriptee ecran;
            nomPerso d{};
            EXPECT_EQ(ouvrir_fichier_joueur(d), 1);
            EXPECT_EQ(ecran.sortie(), ""); // back to the menu before any screen
            EXPECT_NE(ecran.erreurs().find(REGISTRE), std::string::npos);
        }
        {
            ConsoleScriptee ecran;
            ecran.ligne("newbie");
            sPerso p{};
            EXPECT_EQ(saisirPerso(p), 1);
            EXPECT_EQ(ecran.reste(), 0u);
            EXPECT_NE(ecran.erreurs().find(REGISTRE), std::string::npos);
        }
        EXPECT_EQ(dossier.lire(REGISTRE), casse);
    }
}

TEST(Registre, MissingRegistryIsAFailure) {
    DossierJeu dossier;
    dossier.supprimer(REGISTRE);
    const std::string rapport = std::string(REGISTRE) + ": No such file or directory\n";
    {
        ConsoleScriptee ecran;
        nomPerso d{};
        try {
            ouvrir_fichier_joueur(d);
            ADD_FAILURE() << "the list went on without its registry";
        } catch (const FinDuProcessus& fin) {
            EXPECT_EQ(fin.statut, 1);
        }
        EXPECT_EQ(ecran.erreurs(), rapport);
        EXPECT_EQ(ecran.sortie(), "<exit 1>");
    }
    {
        ConsoleScriptee ecran;
        ecran.ligne("Alice");
        sPerso p{};
        try {
            saisirPerso(p);
            ADD_FAILURE() << "creation went on without its registry";
        } catch (const FinDuProcessus& fin) {
            EXPECT_EQ(fin.statut, 1);
        }
        EXPECT_EQ(ecran.erreurs(), rapport);
    }
    {
        // After a save the game goes on: the save file itself is written.
        ConsoleScriptee ecran;
        EXPECT_EQ(mettre_a_jour_registre(personnage("Alice", 5)), 1);
        EXPECT_EQ(ecran.erreurs(), rapport);
        EXPECT_FALSE(std::filesystem::exists(REGISTRE));
    }
}

TEST(Registre, UpdateRefusesANameThatWouldBreakTheFile) {
    DossierJeu dossier;
    dossier.ecrire(REGISTRE, "1\nA 1\n");
    ConsoleScriptee ecran;
    EXPECT_EQ(mettre_a_jour_registre(personnage("two words", 5)), 1);
    EXPECT_EQ(mettre_a_jour_registre(personnage("", 5)), 1);
    EXPECT_NE(ecran.erreurs().find("two words"), std::string::npos);
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nA 1\n");
}

} // namespace
} // namespace korva
