// The game with no terminal at all: keys read from a file as they come, the text stream out,
// and the end of the input ends the game.
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace korva::test {
namespace {

TEST(PartieParScript, KeysFromAFileAndItsEndEndsTheGame) {
    DossierJeu dossier;
    // The pause's key, then an arrow: two codes, that the menu takes as two wrong answers.
    std::ofstream(dossier.racine() / "entree", std::ios::binary) << "\n\x1b[A";
    // A game that would wait for ever is killed.
    const std::string commande = "timeout -s KILL 20 '" + std::string(KORVA_BINAIRE) + "' <entree";
    FILE* const jeu = ::popen(commande.c_str(), "r");
    std::string sortie;
    char tampon[4096];
    for (std::size_t lus; (lus = std::fread(tampon, 1, sizeof tampon, jeu)) > 0;) {
        sortie.append(tampon, lus);
    }
    EXPECT_EQ(::pclose(jeu), 0);
    // The pause's prompt on a line of its own, then the window's title.
    EXPECT_NE(sortie.find("\nPress any key to continue . . . \n\x1b[22;0t\x1b]0;KORVA !!!\a"),
              std::string::npos)
        << sortie;
    std::size_t menus = 0;
    for (auto i = sortie.find("3 : quit"); i != std::string::npos;
         i = sortie.find("3 : quit", i + 1)) {
        ++menus;
    }
    EXPECT_EQ(menus, 3u);
    EXPECT_TRUE(sortie.ends_with("\x1b[0m\x1b[?25h")) << sortie; // colours and cursor given back
}

} // namespace
} // namespace korva::test
