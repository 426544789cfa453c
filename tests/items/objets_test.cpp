#include "characters/personnage.hpp"
#include "items/objets.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace korva {
namespace {

sPerso heros(int intellect) {
    sPerso p{};
    p.corps = p.esprit = p.endurance = p.pouvoir = p.habilete = 5;
    p.intellect = intellect;
    p.score = 30;
    return p;
}

void verifier_renfort(const char* message, void (*trouver)(sPerso&), int sPerso::*champ) {
    int plus_bas = 100, plus_haut = -100;
    for (unsigned graine = 1; graine <= 100; ++graine) {
        std::srand(graine);
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        sPerso p = heros(5);
        trouver(p);
        EXPECT_EQ(ecran.sortie(), std::string(message) + "\n<pause>");
        EXPECT_EQ(p.score, 35);
        plus_bas = std::min(plus_bas, p.*champ - 5);
        plus_haut = std::max(plus_haut, p.*champ - 5);
    }
    EXPECT_EQ(plus_bas, 1);
    EXPECT_EQ(plus_haut, 4);
    // The message and the pause come before the rise: a pause never answered leaves all.
    test::ConsoleScriptee ecran;
    sPerso p = heros(5);
    EXPECT_THROW(trouver(p), test::ScriptEpuise);
    EXPECT_EQ(p.*champ, 5);
    EXPECT_EQ(p.score, 30);
}

TEST(Renfort, ArmorAndSwordRaiseTheirStatAfterTheMessage) {
    verifier_renfort("\n\nCongratulations ... you just strengthen your endurance points ! \n",
                     armuR, &sPerso::endurance);
    verifier_renfort("\n\nCongratulations ... you just strengthen your skill points ! \n", epe,
                     &sPerso::habilete);
}

std::string chemin(int numero) {
    return "fichiers/parchemins/fichier" + std::to_string(numero) + ".txt";
}

std::string message(const std::string& texte) {
    return "\nMessage parchment: \n\"" + texte + "\"\n\n<pause>";
}

struct Lecture {
    std::string sortie;
    std::string erreurs;
    int score;
};

// Reads a parchment under a seed that draws number `numero` and asks for Intellect `requis`.
Lecture lire(int numero, int requis, int intellect) {
    unsigned graine = 1;
    for (; graine < 100000; ++graine) {
        std::srand(graine);
        const int n = rand_a_b(1, 11);
        if (n == numero && rand_a_b(1, 5) == requis) {
            break;
        }
    }
    std::srand(graine);
    test::ConsoleScriptee ecran;
    ecran.touche(' ');
    sPerso p = heros(intellect);
    parch(p);
    return {ecran.sortie(), ecran.erreurs(), p.score};
}

TEST(Parch, ReadsTheFirstLineOfTheDrawnParchment) {
    test::DossierJeu dossier;
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        dossier.ecrire(chemin(n), "parchment " + std::to_string(n) + "\nsecond line\n");
        const Lecture l = lire(n, 4, 4);
        EXPECT_EQ(l.sortie, message("parchment " + std::to_string(n) + "\n"));
        EXPECT_EQ(l.score, 35);
    }
    const struct {
        std::string contenu;
        std::string montre;
    } cas[] = {
        {"", " "},
        // The first 98 characters, the closing quote on the same line.
        {std::string(98, 'a') + "bcdef\nrest\n", std::string(98, 'a')},
        {std::string(98, 'z') + "\n", std::string(98, 'z')},
        // A last line without its line feed, and bytes of code page 437 as they are.
        {"\xb0\xb1 runes", "\xb0\xb1 runes"},
    };
    for (const auto& c : cas) {
        dossier.ecrire(chemin(9), c.contenu);
        const Lecture l = lire(9, 2, 2);
        EXPECT_EQ(l.sortie, message(c.montre));
        EXPECT_EQ(l.score, 35);
    }
}

TEST(Parch, IntellectTooLowLeavesTheParchmentUnread) {
    test::DossierJeu dossier;
    // The file is not even looked for.
    dossier.supprimer(chemin(6));
    for (int intellect = -1; intellect <= 3; ++intellect) {
        SCOPED_TRACE(intellect);
        const Lecture l = lire(6, std::max(1, intellect + 1), intellect);
        EXPECT_EQ(l.sortie, "\nWriting is erased too to understand something ...\n<pause>");
        EXPECT_EQ(l.erreurs, "");
        EXPECT_EQ(l.score, 30);
    }
    // Intellect equal to the need is enough.
    EXPECT_EQ(lire(2, 3, 3).score, 35);
}

TEST(Parch, MissingOrUnreadableFileIsReportedAndPlayGoesOn) {
    test::DossierJeu dossier;
    dossier.supprimer(chemin(7));
    Lecture l = lire(7, 1, 5);
    EXPECT_EQ(l.sortie, "<pause>");
    EXPECT_EQ(l.erreurs, "fichiers/parchemins/fichier7.txt: No such file or directory\n");
    EXPECT_EQ(l.score, 30);

    // The system's reason differs from one platform to another.
    std::filesystem::create_directory(chemin(7));
    l = lire(7, 1, 5);
    EXPECT_EQ(l.sortie, "<pause>");
    EXPECT_TRUE(l.erreurs.starts_with("fichiers/parchemins/fichier7.txt: ")) << l.erreurs;
    EXPECT_EQ(l.erreurs.find("No such file"), std::string::npos) << l.erreurs;
    EXPECT_EQ(l.score, 30);
}

TEST(Parchemins, TheTenShippedParchmentsAreOneShortLineEach) {
    namespace fs = std::filesystem;
    const fs::path dossier = test::fichiers_du_depot() / "parchemins";
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        const fs::path fichier = dossier / ("fichier" + std::to_string(n) + ".txt");
        ASSERT_TRUE(fs::is_regular_file(fichier));
        std::ifstream entree(fichier, std::ios::binary);
        const std::string texte{std::istreambuf_iterator<char>(entree), {}};
        ASSERT_GE(texte.size(), 20u);
        EXPECT_LE(texte.size(), 99u);
        EXPECT_EQ(texte.find('\n'), texte.size() - 1);
        EXPECT_TRUE(std::all_of(texte.begin(), texte.end() - 1,
                                [](char octet) { return octet >= ' ' && octet <= '~'; }));
    }
    EXPECT_FALSE(fs::exists(dossier / "fichier11.txt"));
}

} // namespace
} // namespace korva
