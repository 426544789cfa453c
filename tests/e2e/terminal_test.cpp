#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <chrono>
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

TEST(PartieTerminal, TitleMenuAndQuit) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine());

    // The title art with its code page 437 glyphs, the illustration then the name.
    ASSERT_TRUE(partie.attendre("░░▒▒▓▓████"));
    ASSERT_TRUE(partie.attendre("╚═╤═╝"));
    // The name ends with a line feed, and three more follow it: the cursor is at the first
    // column, so the prompt needs no line feed of its own.
    ASSERT_TRUE(partie.attendre("below\r\n\r\n\r\n\r\nPress any key to continue . . ."));
    EXPECT_NE(partie.sortie().find("\x1b[8;50;110t"), std::string::npos);
    EXPECT_EQ(partie.sortie().find(EMPILER_TITRE), std::string::npos); // only after the key
    EXPECT_FALSE(partie.modes_restaures());                            // single keys while it runs

    partie.envoyer(std::string(HAUT)); // an arrow is one key press for the pause
    ASSERT_TRUE(partie.attendre(EMPILER_TITRE));
    ASSERT_TRUE(partie.attendre(TITRE));
    // The menu in light magenta, over the title screen: only what differs is sent.
    ASSERT_TRUE(partie.attendre("\x1b[95"));
    ASSERT_TRUE(partie.attendre_ecran("3 : quit"));
    const std::string menu = partie.ecran();
    EXPECT_TRUE(menu.starts_with("\n\n A KORVA-LIKE DUNGEON CRAWLER !!!\n\n\n-----")) << menu;
    EXPECT_EQ(menu.find("below"), std::string::npos) << menu; // nothing left of the title

    // Not answers: the menu again, the same screen, for which nothing is sent. Keys typed
    // before the menu is drawn are dropped: '3' is typed until it is the one read.
    partie.envoyer("z");
    partie.envoyer(std::string(BAS));
    bool fini = false;
    for (int essai = 0; essai < 50 && !fini; ++essai) {
        partie.envoyer("3");
        fini = partie.attendre_ecran("Bye Bye...", std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(fini) << partie.ecran();
    EXPECT_TRUE(partie.ecran().starts_with("\nBye Bye...\n\n\n")) << partie.ecran();
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
    EXPECT_TRUE(partie.sortie().ends_with(REMISE));
    EXPECT_EQ(partie.erreurs(), "");
}

TEST(PartieTerminal, MissingTitleArtAndASmallTerminalAreReportedAndTheGameGoesOn) {
    DossierJeu dossier;
    dossier.supprimer("fichiers/presentation/image.txt");
    PartieTerminal partie(dossier.racine(), 24, 80);

    ASSERT_TRUE(partie.attendre(INVITE));
    EXPECT_EQ(partie.erreurs(),
              "KORVA needs a terminal of 110 columns by 50 lines; this one has 80 by 24.\n"
              "fichiers/presentation/image.txt: No such file or directory\n");
    EXPECT_EQ(partie.sortie().find("█"), std::string::npos); // the name is not shown either
    partie.envoyer("3"); // the key that ends the pause is not the menu's
    ASSERT_TRUE(partie.attendre(MENU));
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("3");
    ASSERT_TRUE(partie.attendre("Bye Bye..."));
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
}

TEST(PartieTerminal, HangUpInterruptAndTerminationEndTheGameRestored) {
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        DossierJeu dossier;
        PartieTerminal partie(dossier.racine());
        ASSERT_TRUE(partie.attendre(INVITE));
        if (signal == SIGTERM) {
            ::kill(partie.pid(), SIGTERM); // at the pause: the title was never set
        } else {
            partie.envoyer(" ");
            ASSERT_TRUE(partie.attendre("3 : quit"));
            if (signal == SIGHUP) {
                partie.fermer_entree();
            } else {
                partie.envoyer("\x03"); // Ctrl-C still interrupts in single-key mode
            }
        }
        EXPECT_EQ(partie.attendre_fin(), 128 + signal);
        EXPECT_TRUE(partie.modes_restaures());
        EXPECT_TRUE(partie.sortie().ends_with(signal == SIGTERM ? REMISE.substr(7) : REMISE));
        EXPECT_EQ(partie.sortie().find(EMPILER_TITRE) == std::string::npos, signal == SIGTERM);
    }
}

} // namespace
} // namespace korva::test
