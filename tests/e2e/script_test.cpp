// The game with no terminal at all: keys read from a file as they come, the text stream out,
// and the end of the input ends the game.
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <sys/wait.h>

namespace korva::test {
namespace {

TEST(PartieParScript, KeysFromAFileAndItsEndEndsTheGame) {
    struct Cas {
        const char* entree;
        std::size_t menus;
        bool au_revoir;
    };
    // The pause's key, an arrow (two codes: two menus more), then quit; the input ending at the
    // menu; at the pause.
    for (const Cas& cas : {Cas{"\n\x1b[A3", 3, true}, Cas{"\n", 1, false}, Cas{"", 0, false}}) {
        SCOPED_TRACE(cas.entree);
        DossierJeu dossier;
        std::ofstream(dossier.racine() / "entree", std::ios::binary) << cas.entree;
        // A game that would hang is killed.
        const std::string commande =
            "timeout -s KILL 20 '" + std::string(KORVA_BINAIRE) + "' <entree 2>/dev/null";
        FILE* const jeu = ::popen(commande.c_str(), "r");
        ASSERT_NE(jeu, nullptr);
        std::string sortie;
        char tampon[4096];
        for (std::size_t lus; (lus = std::fread(tampon, 1, sizeof tampon, jeu)) > 0;) {
            sortie.append(tampon, lus);
        }
        EXPECT_EQ(::pclose(jeu), 0);
        EXPECT_NE(sortie.find("\nPress any key to continue . . ."), std::string::npos);
        std::size_t menus = 0;
        for (auto i = sortie.find("A KORVA-LIKE"); i != std::string::npos;
             i = sortie.find("A KORVA-LIKE", i + 1)) {
            ++menus;
        }
        EXPECT_EQ(menus, cas.menus);
        EXPECT_EQ(sortie.find("\nBye Bye...\n") != std::string::npos, cas.au_revoir);
        EXPECT_TRUE(sortie.ends_with("\x1b[0m\x1b[?25h")); // colours and cursor given back
    }
}

} // namespace
} // namespace korva::test
