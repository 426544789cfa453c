#include "console/console.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

namespace korva {
namespace {

TEST(Console, ColorSetsBackgroundTimesSixteenPlusText) {
    test::ConsoleScriptee ecran;
    Color(12, 0);
    EXPECT_EQ(ecran.attribut(), 12);
    Color(15, 4);
    EXPECT_EQ(ecran.attribut(), 4 * 16 + 15);
}

TEST(Console, ReportsAndFormattedOutput) {
    test::ConsoleScriptee ecran;
    afficher("%d : %s\n", -3, "potion");
    afficher_ligne("\nBye Bye...");
    signaler("fichiers/absent.txt", ENOENT);
    EXPECT_EQ(ecran.texte(), "-3 : potion\n\nBye Bye...\n");
    EXPECT_EQ(ecran.erreurs(), "fichiers/absent.txt: No such file or directory\n");
}

TEST(Console, WholeNumbersFromTypedLines) {
    EXPECT_EQ(entier_depuis("2"), 2);
    EXPECT_EQ(entier_depuis(" -1 "), -1);
    EXPECT_EQ(entier_depuis("+7"), 7);
    EXPECT_EQ(entier_depuis(""), std::nullopt);
    EXPECT_EQ(entier_depuis("two"), std::nullopt);
    EXPECT_EQ(entier_depuis("2 3"), std::nullopt);
    EXPECT_EQ(entier_depuis("3x"), std::nullopt);
    EXPECT_EQ(entier_depuis("99999999999"), std::nullopt);
}

} // namespace
} // namespace korva
