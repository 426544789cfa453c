#include "console/console.hpp"
#include "console/terminal.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace korva {
namespace {

using test::PartieTerminal;

// The screen the game draws before each key: the same frame again and again, then one cell
// changed.
void dessiner(int tour) {
    Color(15, 0);
    console().effacer();
    afficher("turn\n");
    Color(8, 0);
    afficher("#");
    if (tour < 2) {
        afficher(".");
    } else {
        Color(15, 0);
        afficher("\x02");
    }
}

TEST(EcranTerminal, SameFrameSendsNothingAndAResizeDrawsItAllAgain) {
    PartieTerminal partie([] {
        const std::unique_ptr<Console> terminal = creer_console_terminal();
        installer_console(terminal.get());
        for (int tour = 0;; ++tour) {
            dessiner(tour);
            if (console().lire_touche() == 'q') {
                terminer(0);
            }
        }
    });
    // The first frame: the screen cleared, then everything.
    ASSERT_TRUE(partie.attendre("\x1b[H\x1b[2J"));
    ASSERT_TRUE(partie.attendre_ecran("#."));
    EXPECT_EQ(partie.ecran().substr(0, 8), "turn\n#.\n");
    ASSERT_TRUE(partie.attendre_mode(false));
    const std::size_t avant = partie.sortie().size();
    partie.envoyer("a"); // the same frame: nothing at all is sent
    partie.envoyer("b"); // one cell changes: only that cell, in its colour
    ASSERT_TRUE(partie.attendre("\u263b"));
    const std::string pas = partie.sortie().substr(avant);
    EXPECT_EQ(pas, "\b\x1b[97m\u263b") << pas;

    // A resized terminal may have moved the text about: all of it is drawn again at once,
    // without waiting for a key.
    ::kill(partie.pid(), SIGWINCH);
    ASSERT_TRUE(partie.attendre("\x1b[H\x1b[2J"));
    ASSERT_TRUE(partie.attendre_ecran("#\u263b"));
    EXPECT_EQ(partie.ecran().substr(0, 10), "turn\n#\u263b\n");
    partie.envoyer("q");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
}

} // namespace
} // namespace korva
