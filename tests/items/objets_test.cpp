#include "characters/personnage.hpp"
#include "items/objets.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korva {
namespace {

constexpr const char* EFFACE = "\nWriting is erased too to understand something ...\n<pause>";

sPerso heros(int intellect) {
    sPerso p{};
    p.corps = p.esprit = p.endurance = p.pouvoir = p.habilete = 5;
    p.intellect = intellect;
    p.score = 30;
    return p;
}

// A seed under which a parchment draws number `numero` and asks for Intellect `requis`.
unsigned graine_parchemin(int numero, int requis) {
    for (unsigned graine = 1; graine < 100000; ++graine) {
        std::srand(graine);
        const int n = rand_a_b(1, 11);
        const int r = rand_a_b(1, 5);
        if (n == numero && r == requis) {
            return graine;
        }
    }
    ADD_FAILURE() << "no seed draws parchment " << numero << " with Intellect " << requis;
    return 1;
}

std::string chemin(int numero) {
    return "fichiers/parchemins/fichier" + std::to_string(numero) + ".txt";
}

void verifier_renfort(const char* message, void (*trouver)(sPerso&), int sPerso::*champ) {
    for (unsigned graine = 1; graine <= 100; ++graine) {
        std::srand(graine);
        const int gain = rand_a_b(1, 5);
        std::srand(graine);
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(5);
        trouver(p);
        EXPECT_EQ(ecran.sortie(), std::string(message) + "\n<pause>");
        EXPECT_EQ(p.*champ, 5 + gain);
        EXPECT_GE(gain, 1);
        EXPECT_LE(gain, 4);
        EXPECT_EQ(p.score, 35);
    }
    // The message and the pause come before the rise: a pause never answered leaves all.
    test::ConsoleScriptee ecran;
    sPerso p = heros(5);
    EXPECT_THROW(trouver(p), test::ScriptEpuise);
    EXPECT_EQ(p.*champ, 5);
    EXPECT_EQ(p.score, 30);
}

TEST(ArmuR, RaisesEnduranceAfterItsMessage) {
    verifier_renfort("\n\nCongratulations ... you just strengthen your endurance points ! \n",
                     armuR, &sPerso::endurance);
}

TEST(Epe, RaisesSkillAfterItsMessage) {
    verifier_renfort("\n\nCongratulations ... you just strengthen your skill points ! \n", epe,
                     &sPerso::habilete);
}

TEST(Parch, ReadsTheDrawnParchment) {
    test::DossierJeu dossier;
    for (int n = 1; n <= 10; ++n) {
        dossier.ecrire(chemin(n), "parchment " + std::to_string(n) + "\nsecond line\n");
    }
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        std::srand(graine_parchemin(n, 4));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(4);
        parch(p);
        EXPECT_EQ(ecran.sortie(),
                  "\nMessage parchment: \n\"parchment " + std::to_string(n) + "\n\"\n\n<pause>");
        EXPECT_EQ(p.score, 35);
        EXPECT_EQ(ecran.erreurs(), "");
    }
}

TEST(Parch, IntellectTooLowLeavesTheParchmentUnread) {
    test::DossierJeu dossier;
    // The file is not even looked for.
    dossier.supprimer(chemin(6));
    for (int intellect = -1; intellect <= 3; ++intellect) {
        SCOPED_TRACE(intellect);
        const unsigned graine = graine_parchemin(6, intellect < 1 ? 1 : intellect + 1);
        std::srand(graine);
        rand_a_b(1, 11);
        rand_a_b(1, 5);
        const int suivant = std::rand();

        std::srand(graine);
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(intellect);
        parch(p);
        EXPECT_EQ(ecran.sortie(), EFFACE);
        EXPECT_EQ(ecran.erreurs(), "");
        EXPECT_EQ(p.score, 30);
        // Both draws were made.
        EXPECT_EQ(std::rand(), suivant);
    }
    {
        // Intellect equal to the need is enough.
        std::srand(graine_parchemin(2, 3));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(3);
        parch(p);
        EXPECT_EQ(p.score, 35);
    }
}

TEST(Parch, EmptyAndLongFirstLines) {
    test::DossierJeu dossier;
    {
        dossier.ecrire(chemin(3), "");
        std::srand(graine_parchemin(3, 1));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(1);
        parch(p);
        EXPECT_EQ(ecran.sortie(), "\nMessage parchment: \n\" \"\n\n<pause>");
        EXPECT_EQ(p.score, 35);
    }
    {
        // The first 98 characters, the closing quote on the same line.
        const std::string ligne = std::string(98, 'a') + "bcdef";
        dossier.ecrire(chemin(9), ligne + "\nrest\n");
        std::srand(graine_parchemin(9, 2));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(2);
        parch(p);
        EXPECT_EQ(ecran.sortie(),
                  "\nMessage parchment: \n\"" + std::string(98, 'a') + "\"\n\n<pause>");
    }
    {
        // Exactly 98 characters and the line feed: the line feed is left out.
        dossier.ecrire(chemin(9), std::string(98, 'z') + "\n");
        std::srand(graine_parchemin(9, 2));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(2);
        parch(p);
        EXPECT_EQ(ecran.sortie(),
                  "\nMessage parchment: \n\"" + std::string(98, 'z') + "\"\n\n<pause>");
    }
    {
        // A last line without its line feed, and bytes of code page 437 as they are.
        dossier.ecrire(chemin(4), "\xb0\xb1 runes");
        std::srand(graine_parchemin(4, 4));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(9);
        parch(p);
        EXPECT_EQ(ecran.sortie(), "\nMessage parchment: \n\"\xb0\xb1 runes\"\n\n<pause>");
    }
}

TEST(Parch, MissingOrUnreadableFileIsReportedAndPlayGoesOn) {
    test::DossierJeu dossier;
    {
        dossier.supprimer(chemin(7));
        std::srand(graine_parchemin(7, 1));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(5);
        parch(p);
        EXPECT_EQ(ecran.sortie(), "<pause>");
        EXPECT_EQ(ecran.erreurs(), "fichiers/parchemins/fichier7.txt: No such file or directory\n");
        EXPECT_EQ(p.score, 30);
        EXPECT_EQ(ecran.nombre("<exit"), 0);
    }
    {
        std::filesystem::create_directory(chemin(7));
        std::srand(graine_parchemin(7, 1));
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(5);
        parch(p);
        EXPECT_EQ(ecran.sortie(), "<pause>");
        // The system's reason differs from one platform to another.
        EXPECT_TRUE(ecran.erreurs().starts_with("fichiers/parchemins/fichier7.txt: "))
            << ecran.erreurs();
        EXPECT_EQ(ecran.erreurs().find("No such file"), std::string::npos) << ecran.erreurs();
        EXPECT_EQ(p.score, 30);
    }
}

TEST(Parchemins, TheTenShippedParchmentsAreOneShortLineEach) {
    namespace fs = std::filesystem;
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        const fs::path fichier =
            test::fichiers_du_depot() / "parchemins" / ("fichier" + std::to_string(n) + ".txt");
        ASSERT_TRUE(fs::is_regular_file(fichier));
        std::ifstream entree(fichier, std::ios::binary);
        std::ostringstream contenu;
        contenu << entree.rdbuf();
        const std::string texte = contenu.str();
        ASSERT_FALSE(texte.empty());
        EXPECT_EQ(texte.back(), '\n');
        EXPECT_EQ(texte.find('\n'), texte.size() - 1);
        EXPECT_LE(texte.size() - 1, 98u);
        EXPECT_GE(texte.size(), 20u);
        for (const char octet : texte.substr(0, texte.size() - 1)) {
            EXPECT_TRUE(octet >= ' ' && octet <= '~') << "byte " << int(octet);
        }
    }
    EXPECT_FALSE(fs::exists(test::fichiers_du_depot() / "parchemins" / "fichier11.txt"));
}

} // namespace
} // namespace korva
