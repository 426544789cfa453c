#include "characters/personnage.hpp"
#include "characters/registre.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <filesystem>

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

std::string registre_de(int nombre) {
    std::string texte = std::to_string(nombre) + "\n";
    for (int i = 0; i < nombre; ++i) {
        texte += "p" + std::to_string(i) + " " + std::to_string(1000 - i) + "\n";
    }
    return texte;
}

TEST(Registre, ListShowsThePlayersAndTakesAPlaceOrSaysNoneIsSaved) {
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
        EXPECT_EQ(ouvrir_fichier_joueur(d), 0);
        EXPECT_STREQ(d.nom, "bob");
        EXPECT_EQ(ecran.sortie(), tete + invite + "3\n" + invite + "-1\n" + invite + "two\n" +
                                      invite + "\n" + invite + "2\n");
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

    dossier.ecrire(REGISTRE, "0\n");
    ConsoleScriptee ecran;
    ecran.touche(' ');
    nomPerso d{};
    EXPECT_EQ(ouvrir_fichier_joueur(d), 1);
    EXPECT_EQ(ecran.sortie(), std::string("<cls>\n\n") + REGLE + "\nNo game saved !!\n\n<pause>");
}

TEST(Registre, UpdateInEveryBranchAndCaseBlindNameCheck) {
    DossierJeu dossier;
    ConsoleScriptee ecran;

    // Empty registry: count 1 and the one line.
    dossier.ecrire(REGISTRE, "0\n");
    EXPECT_EQ(nom_dans_registre("Zed"), false);
    EXPECT_EQ(mettre_a_jour_registre(personnage("Zed", 12)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nZed 12\n");

    // A new player is appended and the two are ranked.
    EXPECT_EQ(mettre_a_jour_registre(personnage("amy", 40)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "2\namy 40\nZed 12\n");

    // Found: the last saved score stays, even a lower one.
    EXPECT_EQ(mettre_a_jour_registre(personnage("amy", 3)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "2\nZed 12\namy 3\n");

    // Names that differ in letter case are two players, but a new name is taken by either.
    EXPECT_EQ(mettre_a_jour_registre(personnage("zed", 5)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "3\nZed 12\nzed 5\namy 3\n");
    EXPECT_EQ(nom_dans_registre("Zed"), true);
    EXPECT_EQ(nom_dans_registre("amy"), true);
    EXPECT_EQ(nom_dans_registre("Amy"), true);
    EXPECT_EQ(nom_dans_registre("ZED"), true);

    // Every line with the name is updated.
    dossier.ecrire(REGISTRE, "3\nbo 1\nal 2\nbo 3\n");
    EXPECT_EQ(mettre_a_jour_registre(personnage("bo", 9)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "3\nbo 9\nbo 9\nal 2\n");

    // Any white space parts names and scores, and the file is written back plainly.
    const std::string long49(49, 'n');
    dossier.ecrire(REGISTRE, "2\r\n" + long49 + " 2147483647\r\n  bob\t+7");
    EXPECT_EQ(mettre_a_jour_registre(personnage("cy", -4)), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "3\n" + long49 + " 2147483647\nbob 7\ncy -4\n");

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
    ConsoleScriptee ecran;
    EXPECT_EQ(mettre_a_jour_registre(personnage("late", 0)), 0);
    std::string attendu = registre_de(150);
    attendu.replace(0, 3, "151");
    attendu += "late 0\n";
    EXPECT_EQ(dossier.lire(REGISTRE), attendu);

    ecran.ligne("151");
    nomPerso d{};
    EXPECT_EQ(ouvrir_fichier_joueur(d), 0);
    EXPECT_STREQ(d.nom, "late");
    EXPECT_NE(ecran.texte().find("\n150 : p149 \t score : 851 "), std::string::npos);
    EXPECT_EQ(nom_dans_registre("p149"), true);
}

TEST(Registre, BrokenRegistryIsReportedAndNeverRewritten) {
    const struct {
        std::string texte;
        std::string raison;
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
    const std::string rapport = std::string(REGISTRE) + ": the player registry is damaged: ";
    for (const auto& c : cas) {
        SCOPED_TRACE(c.texte);
        DossierJeu dossier;
        dossier.ecrire(REGISTRE, c.texte);
        {
            ConsoleScriptee ecran;
            EXPECT_EQ(mettre_a_jour_registre(personnage("newbie", 5)), 1);
            EXPECT_TRUE(ecran.erreurs().starts_with(rapport)) << ecran.erreurs();
            EXPECT_NE(ecran.erreurs().find(c.raison), std::string::npos) << ecran.erreurs();
        }
        {
            ConsoleScriptee ecran;
            ecran.touche(' ');
            nomPerso d{};
            EXPECT_EQ(ouvrir_fichier_joueur(d), 1);
            EXPECT_EQ(ecran.sortie(), "<pause>"); // the report, then back to the menu
            EXPECT_TRUE(ecran.erreurs().starts_with(rapport));
        }
        {
            ConsoleScriptee ecran;
            ecran.ligne("newbie").touche(' ');
            sPerso p{};
            EXPECT_EQ(saisirPerso(p), 1);
            EXPECT_EQ(ecran.reste(), 0u);
            EXPECT_TRUE(ecran.erreurs().starts_with(rapport));
        }
        EXPECT_EQ(dossier.lire(REGISTRE), c.texte);
    }
}

TEST(Registre, MissingRegistryIsAFailure) {
    DossierJeu dossier;
    dossier.supprimer(REGISTRE);
    const std::string rapport = std::string(REGISTRE) + ": No such file or directory\n";
    {
        ConsoleScriptee ecran;
        ecran.touche(' ');
        nomPerso d{};
        EXPECT_THROW(ouvrir_fichier_joueur(d), FinDuProcessus);
        EXPECT_EQ(ecran.erreurs(), rapport);
        EXPECT_EQ(ecran.sortie(), "<pause><exit 1>");
    }
    {
        ConsoleScriptee ecran;
        ecran.ligne("Alice").touche(' ');
        sPerso p{};
        EXPECT_THROW(saisirPerso(p), FinDuProcessus);
        EXPECT_EQ(ecran.erreurs(), rapport);
        EXPECT_TRUE(ecran.sortie().ends_with("<exit 1>"));
    }
    // After a save the game goes on: the save file itself is written.
    ConsoleScriptee ecran;
    EXPECT_EQ(mettre_a_jour_registre(personnage("Alice", 5)), 1);
    EXPECT_EQ(ecran.erreurs(), rapport);
    EXPECT_FALSE(std::filesystem::exists(REGISTRE));
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
