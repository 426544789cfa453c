#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace korva::test {
namespace {

// What the game leaves behind on every way out: title popped, colours reset, cursor shown.
constexpr std::string_view REMISE = "\x1b[23;0t\x1b[0m\x1b[?25h";
constexpr std::string_view EMPILER_TITRE = "\x1b[22;0t";
constexpr std::string_view TITRE = "\x1b]0;KORVA !!!\x07";
constexpr std::string_view INVITE = "Press any key to continue . . .";
constexpr std::string_view MENU = "A KORVA-LIKE DUNGEON CRAWLER !!!";

bool finit_par(const std::string& texte, std::string_view fin) {
    return texte.ends_with(fin);
}

// Starts the game and takes it past the title to the main menu.
void jusqu_au_menu(PartieTerminal& partie) {
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre(MENU));
    ASSERT_TRUE(partie.attendre("3 : quit"));
}

TEST(PartieTerminal, TitleMenuAndQuit) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine());

    // The title art with its code page 437 glyphs, the illustration then the name.
    ASSERT_TRUE(partie.attendre("░░▒▒▓▓████"));
    ASSERT_TRUE(partie.attendre("╔═══╗"));
    ASSERT_TRUE(partie.attendre("☼"));
    ASSERT_TRUE(partie.attendre("▲"));
    ASSERT_TRUE(partie.attendre("╚═╤═╝"));
    ASSERT_TRUE(partie.attendre("☻"));
    ASSERT_TRUE(partie.attendre("██"));
    // The name ends with a line feed, and three more follow it: the cursor is at the first
    // column, so the prompt needs no line feed of its own.
    ASSERT_TRUE(partie.attendre("below\r\n\r\n\r\n\r\nPress any key to continue . . ."));
    EXPECT_NE(partie.sortie().find("\x1b[8;50;110t"), std::string::npos);
    EXPECT_EQ(partie.sortie().find(EMPILER_TITRE), std::string::npos); // only after the key
    EXPECT_FALSE(partie.modes_restaures());                            // single keys while it runs

    partie.envoyer(std::string(HAUT)); // an arrow is one key press for the pause
    ASSERT_TRUE(partie.attendre(EMPILER_TITRE));
    ASSERT_TRUE(partie.attendre(TITRE));
    ASSERT_TRUE(partie.attendre("\x1b[H\x1b[2J\r\n\x1b[95;40m\r\n A KORVA-LIKE DUNGEON CRAWLER"));
    ASSERT_TRUE(partie.attendre("\x1b[97;40m\r\n\r\n-----"));
    ASSERT_TRUE(partie.attendre("1 : new game"));
    ASSERT_TRUE(partie.attendre("3 : quit"));

    partie.envoyer("z"); // not an answer: the menu again
    ASSERT_TRUE(partie.attendre(MENU));
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer(std::string(BAS));
    ASSERT_TRUE(partie.attendre(MENU));
    ASSERT_TRUE(partie.attendre("3 : quit"));

    partie.envoyer("3");
    ASSERT_TRUE(partie.attendre("\x1b[H\x1b[2J\r\nBye Bye...\r\n"));
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
    EXPECT_TRUE(finit_par(partie.sortie(), REMISE));
    EXPECT_EQ(partie.erreurs(), "");
}

TEST(PartieTerminal, MissingTitleArtIsReportedAndTheGameGoesOn) {
    DossierJeu dossier;
    dossier.supprimer("fichiers/presentation/image.txt");
    PartieTerminal partie(dossier.racine());

    ASSERT_TRUE(partie.attendre(INVITE));
    EXPECT_EQ(partie.erreurs(), "fichiers/presentation/image.txt: No such file or directory\n");
    EXPECT_EQ(partie.sortie().find("█"), std::string::npos); // the name is not shown either
    partie.envoyer("3"); // the key that ends the pause is not the menu's
    ASSERT_TRUE(partie.attendre(MENU));
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("3");
    ASSERT_TRUE(partie.attendre("Bye Bye..."));
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
}

TEST(PartieTerminal, HangUpAtTheMenuEndsTheGameRestored) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine());
    jusqu_au_menu(partie);
    partie.fermer_entree();
    EXPECT_EQ(partie.attendre_fin(), 128 + SIGHUP);
    EXPECT_TRUE(partie.modes_restaures());
    EXPECT_TRUE(finit_par(partie.sortie(), REMISE));
}

TEST(PartieTerminal, InterruptAtTheMenuEndsTheGameRestored) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine());
    jusqu_au_menu(partie);
    partie.envoyer("\x03"); // Ctrl-C still interrupts in single-key mode
    EXPECT_EQ(partie.attendre_fin(), 128 + SIGINT);
    EXPECT_TRUE(partie.modes_restaures());
    EXPECT_TRUE(finit_par(partie.sortie(), REMISE));
}

TEST(PartieTerminal, TerminationAtThePauseEndsTheGameRestored) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(INVITE));
    ::kill(partie.pid(), SIGTERM);
    EXPECT_EQ(partie.attendre_fin(), 128 + SIGTERM);
    EXPECT_TRUE(partie.modes_restaures());
    // The title was never set: only the colours are undone.
    EXPECT_TRUE(finit_par(partie.sortie(), "\x1b[0m\x1b[?25h"));
    EXPECT_EQ(partie.sortie().find("\x1b[23;0t"), std::string::npos);
}

TEST(PartieTerminal, SmallTerminalIsToldTheSizeTheGameNeeds) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine(), 24, 80);
    ASSERT_TRUE(partie.attendre(INVITE));
    EXPECT_EQ(partie.erreurs(),
              "KORVA needs a terminal of 110 columns by 50 lines; this one has 80 by 24.\n");
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("3");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
}

} // namespace
} // namespace korva::test
