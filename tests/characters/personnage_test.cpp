#include "characters/personnage.hpp"
#include "files/nom_joueur.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace korva {
namespace {

using test::ConsoleScriptee;
using test::DossierJeu;
using test::FinDuProcessus;

constexpr const char* REGISTRE = "fichiers/personnages/joueurs.txt";
constexpr const char* INVITE_NOM = "Enter the name of your persona : ";
constexpr const char* INVITE_CLASSE =
    "Choose among his class : \n 0 : warrior \n 1 : magician \n 2 : priest \n 3 : crafty \n "
    "===> ? : ";

TEST(Personnage, StatsFollowTheClassWeights) {
    // Favoured stat (Body, Intellect, Mind) of warrior, magician, priest, crafty.
    const int favorisee[] = {0, 1, 2, 1};
    for (int classe = GUERRIER; classe <= RUSE; ++classe) {
        int minimum[3] = {100, 100, 100};
        int maximum[3] = {0, 0, 0};
        for (unsigned graine = 0; graine < 2000; ++graine) {
            std::srand(graine);
            sPerso p{};
            tirer_caracteristiques(p, classe);
            ASSERT_EQ(p.endurance, p.corps + p.esprit);
            ASSERT_EQ(p.pouvoir, p.intellect + p.esprit);
            ASSERT_EQ(p.habilete, p.corps + p.intellect);
            const int stats[3] = {p.corps, p.intellect, p.esprit};
            for (int s = 0; s < 3; ++s) {
                minimum[s] = std::min(minimum[s], stats[s]);
                maximum[s] = std::max(maximum[s], stats[s]);
            }
        }
        for (int s = 0; s < 3; ++s) {
            EXPECT_EQ(minimum[s], s == favorisee[classe] ? 4 : 1) << classe << " " << s;
            EXPECT_EQ(maximum[s], 10) << classe << " " << s;
        }
    }
}

TEST(Personnage, NamePromptAndClassPromptAskAgain) {
    DossierJeu dossier;
    ConsoleScriptee ecran;
    ecran.ligne("").ligne("../x").ligne("  Ayla  ");
    ecran.ligne("4").ligne("-1").ligne("priest").ligne("").ligne("2");
    sPerso p{};
    p.score = 77;
    p.piecOr = 3;
    EXPECT_EQ(saisirPerso(p), 0);
    const std::string refus = "\nThis name cannot be used: ";
    EXPECT_EQ(ecran.sortie(), std::string(INVITE_NOM) + "\n" + refus + "the name is empty.\n\n" +
                                  INVITE_NOM + "../x\n" + refus +
                                  "the name holds '/' or '\\'.\n\n" + INVITE_NOM + "  Ayla  \n" +
                                  INVITE_CLASSE + "4\n" + INVITE_CLASSE + "-1\n" + INVITE_CLASSE +
                                  "priest\n" + INVITE_CLASSE + "\n" + INVITE_CLASSE + "2\n");
    EXPECT_STREQ(p.nom, "Ayla");
    EXPECT_EQ(p.classe, PRETRE);
    EXPECT_EQ(p.score, 0);
    EXPECT_EQ(p.piecOr, 0);
    EXPECT_GE(p.esprit, 4);
    EXPECT_EQ(dossier.lire(REGISTRE), "0\n"); // creation records nobody
}

TEST(Personnage, NameRule) {
    const struct {
        std::string raison;
        std::vector<std::string> noms;
    } refuses[] = {
        {"the name is empty", {""}},
        {"the name is longer than 49 characters", {std::string(50, 'a')}},
        {"the name must be one word, without blanks", {"two words", "tab\there"}},
        {"the name holds '/' or '\\'", {"a/b", "a\\b"}},
        {"the name holds a control character",
         {"a\x01z", std::string("nul\0x", 5), "del\x7f", "esc\x1b[2J"}},
        {"the name cannot be \".\" or \"..\"", {".", ".."}},
        {"the name is kept for the player registry", {"joueurs", "JOUEURS", "Joueurs"}},
        {"the name holds one of : * ? \" < > |",
         {"a:b", "why?", "star*", "pipe|", "<in>", "say\""}},
        {"the name is kept by the system for a device", {"con", "NUL", "aux.log", "Com1", "lpt9"}},
    };
    for (const auto& cas : refuses) {
        for (const std::string& nom : cas.noms) {
            std::string raison;
            EXPECT_FALSE(nom_valide(nom, raison)) << nom;
            EXPECT_EQ(raison, cas.raison) << nom;
        }
    }
    for (const std::string nom : {"Ayla", "...", "joueurs2", "j.txt", "-x-", "console", "COM0",
                                  "com10", "nul_", "joueurs.txt"}) {
        std::string raison;
        EXPECT_TRUE(nom_valide(nom, raison)) << nom << ": " << raison;
    }
    std::string raison;
    EXPECT_TRUE(nom_valide(std::string(49, 'a'), raison));
}

TEST(Personnage, TakenNameEndsTheGame) {
    DossierJeu dossier;
    dossier.ecrire(REGISTRE, "2\nAlice 10\nbob 3\n");
    {
        ConsoleScriptee ecran;
        ecran.ligne("bob").touche(' ');
        sPerso p{};
        EXPECT_THROW(saisirPerso(p), FinDuProcessus);
        EXPECT_EQ(ecran.sortie(),
                  std::string(INVITE_NOM) +
                      "bob\n\nPseudonym : bob is already exist...restart the game \n\n\n "
                      "<pause><exit 0>");
    }
    EXPECT_EQ(dossier.lire(REGISTRE), "2\nAlice 10\nbob 3\n");
}

TEST(Personnage, SheetByteForByte) {
    sPerso p{};
    copier_nom(p.nom, "Ayla");
    p.corps = 10;
    p.intellect = p.esprit = 1;
    p.endurance = p.habilete = 11;
    p.pouvoir = 2;
    p.score = -5;
    p.piecOr = 99;
    const auto feuille = [&](const char* ligne_classe) {
        return std::string("\n \nHere we are : Ayla , ") + ligne_classe +
               "His score : -5 \nThese main features are : \n Body : 10 \n Intellect : 1 \n "
               "Mind : 1 \n Its features derived are : \n Endurance : 11 \n Power : 2 \n "
               "skill : 11 \n \n \n Be careful ! ! ! \n \n \n ";
    };
    // Classes -1 to 4: the two outside the four are unknown.
    const char* lignes[] = {"ERROR : unknown Class ! \n ", "the valiant warrior ! \n ",
                            "The genial magician ! \n ",   "The priest ! \n ",
                            "The crafty wily ! \n ",       "ERROR : unknown Class ! \n "};
    for (int classe = -1; classe <= 4; ++classe) {
        ConsoleScriptee ecran;
        p.classe = classe;
        afficherPerso(p);
        EXPECT_EQ(ecran.sortie(), feuille(lignes[classe + 1])) << classe;
    }
}

} // namespace
} // namespace korva
