#include "console/console.hpp"
#include "console/terminal.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstring>
#include <string>

#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace korva {
namespace {

using test::PartieTerminal;

// The terminal console, made the game's console in the child process.
std::unique_ptr<Console> console_du_terminal() {
    std::unique_ptr<Console> terminal = creer_console_terminal();
    installer_console(terminal.get());
    return terminal;
}

TEST(ConsoleTerminal, LinesAreEchoedKeysAreNot) {
    PartieTerminal partie([] {
        const auto terminal = console_du_terminal();
        afficher("key? ");
        afficher("<%d>\nname? ", console().lire_touche());
        afficher("<%zu>\nagain? ", console().lire_ligne().size());
        afficher("<%d>\n", console().lire_touche());
        terminer(0);
    });
    ASSERT_TRUE(partie.attendre("key? "));
    ASSERT_TRUE(partie.attendre_mode(false));
    // Typed ahead of the line, never echoed by the terminal: the game shows those bytes itself.
    partie.envoyer("xA\u00e9");
    ASSERT_TRUE(partie.attendre_mode(true));
    ASSERT_TRUE(partie.attendre_ecran("name? A\u00e9"));
    partie.envoyer("b\r"); // Enter, as a terminal sends it; echoed by the terminal
    // The screen is drawn anew, the line kept on it.
    ASSERT_TRUE(partie.attendre_ecran("again?"));
    EXPECT_TRUE(partie.ecran().starts_with("key? <120>\nname? A\u00e9b\n<4>\nagain?\n"))
        << partie.ecran();
    ASSERT_TRUE(partie.attendre_mode(false));
    partie.envoyer("y");
    ASSERT_TRUE(partie.attendre("<121>"));
    EXPECT_EQ(partie.sortie().find("again? y"), std::string::npos); // no echo
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
}

TEST(ConsoleTerminal, KeysGlyphsAndColoursThroughTheTerminalUntilTheLineDrops) {
    PartieTerminal partie([] {
        ::signal(SIGHUP, SIG_IGN); // as under nohup: a failed read is what ends the game
        const auto terminal = console_du_terminal();
        Color(12, 0);
        afficher("a");
        Color(12, 0); // the same colour again: nothing to send
        console().ecrire(std::string_view("\x02\x0f\x00\x14|\n", 6));
        Color(9, 0);
        afficher("ready");
        for (;;) {
            afficher("<%d>", console().lire_touche());
        }
    });
    // Only the text colour changes between the lines.
    ASSERT_TRUE(partie.attendre("\x1b[91;40ma\u263b\u263c \u00b6|\r\n\x1b[94mready"));
    partie.envoyer("\x1b"); // a lone Escape comes through after a short wait
    ASSERT_TRUE(partie.attendre("<27>"));
    partie.envoyer("\x1b[1;5C\x1b[15~q");
    ASSERT_TRUE(partie.attendre("<224><77><113>"));
    partie.fermer_terminal(); // the line drops
    EXPECT_EQ(partie.attendre_fin(), 0);
}

TEST(ConsoleTerminal, PauseTakesOneKeyPressDiscardDropsKeysTypedAhead) {
    PartieTerminal partie([] {
        const auto terminal = console_du_terminal();
        afficher("abc");
        console().pause(); // an arrow: both its codes are the one key press
        afficher("def\n");
        console().pause();
        afficher("<%d>", console().lire_touche());
        console().vider_entree();
        afficher("flushed ");
        afficher("<%d>", console().lire_touche());
        terminer(0);
    });
    ASSERT_TRUE(partie.attendre("abc\r\nPress any key to continue . . . ")) << partie.sortie();
    partie.envoyer(test::GAUCHE);
    ASSERT_TRUE(partie.attendre("\r\ndef\r\nPress any key to continue . . . "));
    partie.envoyer("a");
    ASSERT_TRUE(partie.attendre("\r\n"));
    partie.envoyer("bc\x1b[A");                   // one write: all typed before the discard
    ASSERT_TRUE(partie.attendre("<98>flushed ")); // the pause's keys are not seen after it
    partie.envoyer("d");
    ASSERT_TRUE(partie.attendre("<100>"));
    EXPECT_EQ(partie.attendre_fin(), 0);
}

TEST(ConsoleTerminal, OutputToAClosedPipeStillRestoresTheKeyboard) {
    PartieTerminal partie([] {
        ::signal(SIGPIPE, SIG_DFL);
        int tuyau[2];
        if (::pipe(tuyau) != 0) {
            ::_exit(20);
        }
        const int ecran = ::dup(STDOUT_FILENO);
        ::dup2(tuyau[1], STDOUT_FILENO); // as in `korva | head`, once head is gone
        ::close(tuyau[0]);
        ::close(tuyau[1]);
        const auto terminal = console_du_terminal();
        const char* pret = "single keys";
        if (::write(ecran, pret, std::strlen(pret)) < 0) {
            ::_exit(21);
        }
        afficher("lost");
        console().lire_touche(); // writes what is pending first
        ::_exit(22);
    });
    ASSERT_TRUE(partie.attendre("single keys"));
    EXPECT_EQ(partie.attendre_fin(), 128 + SIGPIPE);
    EXPECT_TRUE(partie.modes_restaures());
}

TEST(ConsoleTerminal, StopAndContinueUnderAShell) {
    // The child plays a shell with job control: the console runs in a process group of its
    // own in the foreground, and Ctrl-Z really stops it.
    PartieTerminal partie([] {
        ::signal(SIGTTOU, SIG_IGN);
        const pid_t jeu = ::fork();
        if (jeu == 0) {
            ::setpgid(0, 0);
            ::tcsetpgrp(STDIN_FILENO, ::getpgrp());
            ::signal(SIGTTOU, SIG_DFL);
            const auto terminal = console_du_terminal();
            Color(12, 0);
            console().titre("T");
            afficher("ready");
            afficher("<%d>", console().lire_touche());
            terminer(0);
        }
        ::setpgid(jeu, jeu);
        int etat = 0;
        ::waitpid(jeu, &etat, WUNTRACED);
        if (!WIFSTOPPED(etat)) {
            ::_exit(10);
        }
        ::tcsetpgrp(STDIN_FILENO, ::getpgrp());
        termios modes{};
        ::tcgetattr(STDIN_FILENO, &modes);
        const bool cuit = (modes.c_lflag & (ICANON | ECHO)) == (ICANON | ECHO);
        const std::string_view etat_terminal = cuit ? "[stopped, restored]" : "[stopped, raw]";
        std::array<char, 16> ligne{};
        if (::write(STDOUT_FILENO, etat_terminal.data(), etat_terminal.size()) < 0 ||
            ::read(STDIN_FILENO, ligne.data(), ligne.size()) <= 0) { // the player types "fg"
            ::_exit(12);
        }
        ::tcsetpgrp(STDIN_FILENO, jeu);
        ::kill(-jeu, SIGCONT);
        ::waitpid(jeu, &etat, 0);
        ::_exit(WIFEXITED(etat) ? WEXITSTATUS(etat) : 11);
    });
    ASSERT_TRUE(partie.attendre("ready"));
    ASSERT_TRUE(partie.attendre_mode(false));
    partie.envoyer("\x1a");
    ASSERT_TRUE(partie.attendre("\x1b[23;0t\x1b[0m\x1b[?25h[stopped, restored]"));
    EXPECT_TRUE(partie.modes_restaures());
    partie.envoyer("fg\r");
    // Taken back: the title again, the colour in use, single keys.
    ASSERT_TRUE(partie.attendre("\x1b[22;0t\x1b]0;T\x07\x1b[91;40m"));
    ASSERT_TRUE(partie.attendre_mode(false));
    partie.envoyer("k");
    ASSERT_TRUE(partie.attendre("<107>"));
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
}

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
        const auto terminal = console_du_terminal();
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
