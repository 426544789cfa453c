// The terminal as the player has it around the real game: given back on every way out, taken
// back after Ctrl-Z and `fg`, and a notice in place of the game while it is too small.
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <vterm.h>

namespace korva::test {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view MENU = "3 : quit";
constexpr std::string_view PAUSE = "Press any key to continue . . .";
constexpr const char* NOM = "Enter the name of your persona :";

// Every cell of the game's screen as shown (a blank shows its background), then the cursor.
std::vector<CaseVue> capture(const PartieTerminal& partie) {
    std::vector<CaseVue> cases;
    for (int l = 0; l < 50; ++l) {
        for (int c = 0; c < 110; ++c) {
            CaseVue vue = partie.vue.case_(l, c);
            vue.texte = vue.glyphe == " " ? -1 : vue.texte;
            cases.push_back(vue);
        }
    }
    VTermPos curseur{};
    vterm_state_get_cursorpos(vterm_obtain_state(partie.vue.vt), &curseur);
    cases.push_back({"", curseur.row, curseur.col});
    return cases;
}

// Goes on to the main menu, where the game has set its title and colours.
void jusqu_au_menu(PartieTerminal& partie) {
    ASSERT_TRUE(partie.attendre(PAUSE)) << partie.ecran();
    ASSERT_TRUE(partie.jouer("\x04", MENU)) << partie.ecran(); // Ctrl-D too is a key there
    EXPECT_EQ(partie.vue.titre, "KORVA !!!");
    EXPECT_FALSE(partie.modes_restaures()); // single keys, no echo
}

// The terminal as each kind and setting has it: the game's screen on the alternate screen where
// there is one, no colour under NO_COLOR or on a terminal without, nothing above ASCII under the
// C locale (box lines from the line-drawing set, a name's letters beyond ASCII as '?'), and the
// shell's screen given back with the last words under it, as the game said them (a lost fight's
// last round, tabs and all), and nothing else (where there is no other screen, the game's is
// cleared for them); a replay of that game leaves nothing there. A terminal that cannot address
// its cursor is refused in one line.
TEST(TerminalPosix, EveryKindOfTerminalAndSetting) {
    DossierJeu dossier;
    dossier.ecrire("fichiers/personnages/joueurs.txt.lock/x", "");
    // A name typed in UTF-8, and one the game saved in code page 437 before, ending in a control
    // of the upper range, which a terminal would obey, then the first character past them; Max's
    // saved game: skill -99 and endurance 1, a monster at his right, so he loses the fight.
    dossier.ecrire("fichiers/personnages/joueurs.txt",
                   "3\n\u0141ucja 3\nZo\x89\u009b\u00a0 1\nMax 0\n");
    dossier.ecrire("fichiers/personnages/Max.txt", lire_tout(KORVA_TESTS "/console/Max.txt"));
    for (const char* term : {"xterm-256color", "screen", "linux", "vt100", "dumb"}) {
        // The last one sets NO_COLOR, but empty: the colours stay.
        for (const Reglages& r : {Reglages{term, true}, Reglages{term, false, "1"},
                                  Reglages{term, true, "1"}, Reglages{term, false, ""}}) {
            const bool sans_couleur = r.no_color != nullptr && *r.no_color != '\0';
            SCOPED_TRACE(std::string(term) + (r.utf8 ? " UTF-8" : " C") +
                         (sans_couleur ? " NO_COLOR" : ""));
            PartieTerminal partie(dossier.racine(), 52, 120, {KORVA_BINAIRE}, r);
            partie.vue.recevoir("shell$ korva\r\n");
            partie.vue.titre = "shell";
            if (std::string_view(term) == "dumb") {
                EXPECT_EQ(partie.attendre_fin(), 1);
                EXPECT_EQ(partie.ecran().find("shell$ korva\nkorva: the terminal TERM=dumb cannot "
                                              "move its cursor or clear its screen"),
                          0u)
                    << partie.ecran();
                continue;
            }
            const bool alternatif = r.term == "xterm-256color" || r.term == "screen";
            const bool couleurs = !sans_couleur && r.term != "vt100";
            const bool xterm = r.term == "xterm-256color";
            ASSERT_TRUE(partie.attendre(PAUSE)) << partie.ecran();
            EXPECT_EQ(partie.ecran().find("shell$"), std::string::npos);
            // Cleared in the game's colours, beyond the art too.
            EXPECT_EQ(partie.vue.case_(45, 100).fond, couleurs ? 0 : -1);
            EXPECT_EQ(partie.vue.case_(1, 26).glyphe, r.utf8 ? "║" : "│");
            EXPECT_EQ(partie.vue.case_(0, 26).glyphe, r.utf8 ? "░" : ".");
            ASSERT_TRUE(partie.jouer(" ", MENU));
            EXPECT_EQ(partie.vue.case_(2, 1), // bright as bold where 8 colours
                      (CaseVue{"A", couleurs ? 13 : -1, couleurs ? 0 : -1}));
            EXPECT_EQ(partie.vue.titre, xterm ? "KORVA !!!" : "shell");
            EXPECT_EQ(partie.vue.taille_demandee, xterm ? std::pair(50, 110) : std::pair(0, 0));
            // Listed, then named by the report on a save that is not there.
            ASSERT_TRUE(
                partie.jouer("2", r.utf8 ? "1 : \u0141ucja        score : 3\n2 : Zo\u00eb?\u00a0 "
                                         : "1 : ?ucja        score : 3\n2 : Zo??? "))
                << partie.ecran();
            // The report on the line under the answer, neither on it nor further down.
            ASSERT_TRUE(partie.jouer(
                "1\r", r.utf8 ? "menu): 1\nfichiers/personnages/\u0141ucja.txt: No such file"
                              : "menu): 1\nfichiers/personnages/?ucja.txt: No such file"))
                << partie.ecran();
            ASSERT_TRUE(partie.jouer(" ", MENU));
            // Max's board is drawn again whole, as it was, cursor and all, by each way it is: after
            // a report on it (the registry's lock is a folder); after Ctrl-Z and `fg`, whatever
            // the shell left (here no shell stops the game: it goes on at once); after a resize
            // through the notice.
            ASSERT_TRUE(partie.jouer("2", "return to main menu):")) << partie.ecran();
            ASSERT_TRUE(partie.jouer("3\r", "Score : 0"));
            const std::vector<CaseVue> plateau = capture(partie);
            const auto pareil = [&] { return capture(partie) == plateau; };
            ASSERT_TRUE(partie.jouer("s", "Is a directory\nPress any key")) << partie.ecran();
            partie.taper(" ");
            ASSERT_TRUE(partie.attendre(pareil)) << partie.ecran();
            const std::string traces = r.utf8 ? "" : xterm ? "\x1b(0" : "\x0e"; // as the game's
            partie.vue.recevoir(traces + (couleurs ? "\x1b[35;44m" : "") + "\x1b[Hshell");
            ::kill(partie.pid, SIGTSTP);
            ASSERT_TRUE(partie.attendre(pareil)) << partie.ecran();
            partie.redimensionner(24, 80);
            ASSERT_TRUE(partie.attendre("KORVA needs a terminal"));
            partie.redimensionner(52, 120);
            ASSERT_TRUE(partie.attendre(pareil)) << partie.ecran();
            partie.taper("\x1b[C   "); // Max steps into the monster and loses (three pauses)
            EXPECT_EQ(partie.attendre_fin(), 0);
            EXPECT_TRUE(partie.modes_restaures());
            EXPECT_EQ(partie.vue.octets_hauts, 0u);
            EXPECT_EQ(partie.vue.titre, "shell");
            EXPECT_EQ(partie.vue.taille_demandee, xterm ? std::pair(52, 120) : std::pair(0, 0));
            // The last round as the game said it, under the shell's own line where the shell's
            // screen is back, and nothing else, no pause's prompt (the monster's figures are the
            // dice's); the shell's prompt comes where '$' shows. Then a replay of such a game (they
            // are all alike), which leaves nothing there.
            const std::string dit = partie.ecran_du_shell();
            EXPECT_EQ(dit.substr(0, dit.find("\nRound : 1\n\nYour endurance 1         monster")),
                      alternatif ? "shell$ korva\n" : "");
            EXPECT_TRUE(dit.ends_with("here ...\n\n\n$") && dit.find("Press") == dit.npos) << dit;
            const std::string jouee = fs::directory_iterator("fichiers/enregistrements")->path();
            PartieTerminal rejeu(dossier.racine(), 52, 120, {KORVA_BINAIRE, "--replay", jouee}, r);
            ASSERT_TRUE(rejeu.attendre("Score : 0"));
            // Paused, its last title comes back after Ctrl-Z and fg, not its first.
            const auto en_pause = [&] { return rejeu.vue.titre == "KORVA replay (paused)"; };
            if (xterm) {
                rejeu.taper(" ");
                ASSERT_TRUE(rejeu.attendre(en_pause));
                rejeu.vue.titre = "shell";
                ::kill(rejeu.pid, SIGTSTP);
                EXPECT_TRUE(rejeu.attendre(en_pause)) << rejeu.vue.titre;
                rejeu.taper(" ");
            }
            rejeu.taper("++++"); // at its fastest
            EXPECT_EQ(rejeu.attendre_fin(), 0);
            EXPECT_EQ(rejeu.ecran_du_shell(), "$");
        }
    }
}

TEST(TerminalPosix, GivenBackOnEveryWayOut) {
    DossierJeu dossier;
    struct Cas {
        std::string_view avant; // typed at the menu, then `ecran` awaited
        std::string_view ecran;
        std::string_view touches;
        int signal;
        int statut;
    };
    // Quit; Ctrl-C at the menu, at the name's prompt and at the saved games (none here); Ctrl-D,
    // the end of input, at the name's prompt; signals from elsewhere (SIGUSR1, a server's hang-up
    // for idleness, among them), and the one a crash sends (the sanitizers keep the others of
    // that kind for themselves). Outside a game nothing is saved.
    for (const Cas& cas :
         {Cas{"", "", "3", 0, 0}, Cas{"", "", "\x03", 0, 128 + SIGINT},
          Cas{"1", NOM, "\x03", 0, 128 + SIGINT},
          Cas{"2", "No game saved", "\x03", 0, 128 + SIGINT}, Cas{"1", NOM, "\x04", 0, 0},
          Cas{"", "", "", SIGTERM, 128 + SIGTERM}, Cas{"", "", "", SIGHUP, 128 + SIGHUP},
          Cas{"", "", "", SIGUSR1, 128 + SIGUSR1}, Cas{"", "", "", SIGABRT, 128 + SIGABRT}}) {
        SCOPED_TRACE(testing::PrintToString(cas.avant) + testing::PrintToString(cas.touches) +
                     std::to_string(cas.signal));
        PartieTerminal partie(dossier.racine());
        partie.vue.titre = "shell";
        jusqu_au_menu(partie);
        ASSERT_TRUE(partie.jouer(cas.avant, cas.ecran)) << partie.ecran();
        partie.taper(cas.touches);
        if (cas.signal != 0) {
            ::kill(partie.pid, cas.signal);
        }
        EXPECT_EQ(partie.attendre_fin(), cas.statut);
        EXPECT_TRUE(partie.modes_restaures());
        EXPECT_EQ(partie.vue.titre, "shell");
        EXPECT_EQ(partie.vue.plume(), (CaseVue{"", -1, -1}));
        EXPECT_TRUE(partie.vue.curseur_visible);
        EXPECT_EQ(noms_dans(dossier.racine() / "fichiers/personnages"),
                  std::vector<std::string>{"joueurs.txt"});
    }
    // A terminal set not to go back to the first column at a line feed: the game sets it so.
    PartieTerminal sans_retour(dossier.racine(), 50, 110,
                               {"/bin/sh", "-c", "stty -onlcr; exec \"$0\"", KORVA_BINAIRE});
    jusqu_au_menu(sans_retour);
    EXPECT_EQ(sans_retour.vue.case_(2, 1).glyphe, "A") << sans_retour.ecran();
    // Reports sent to a file stand there as the game wrote them, a name's UTF-8 whole even where
    // the terminal shows none.
    dossier.ecrire("fichiers/personnages/joueurs.txt", "1\n\u0141ucja 3\n");
    PartieTerminal erreurs(dossier.racine(), 50, 110,
                           {"/bin/sh", "-c", "exec \"$0\" 2>erreurs.txt", KORVA_BINAIRE},
                           Reglages{"xterm-256color", false});
    jusqu_au_menu(erreurs);
    ASSERT_TRUE(erreurs.jouer("2", "main menu):"));
    ASSERT_TRUE(erreurs.jouer("1\r", std::string(PAUSE)));
    ASSERT_TRUE(erreurs.jouer(" ", MENU) && erreurs.jouer("3", "Bye Bye..."));
    EXPECT_EQ(erreurs.attendre_fin(), 0);
    EXPECT_EQ(dossier.lire("erreurs.txt"),
              "fichiers/personnages/\u0141ucja.txt: No such file or directory\n");
    // The line drops under `nohup`: its reads fail, and that ends the game too.
    PartieTerminal partie(dossier.racine(), 50, 110,
                          {"/bin/sh", "-c", "trap '' HUP; exec \"$0\"", KORVA_BINAIRE});
    jusqu_au_menu(partie);
    partie.fermer();
    EXPECT_EQ(partie.attendre_fin(), 0);
}

// Under a shell with job control, as a player has it.
TEST(TerminalPosix, CtrlZThenFgDrawsTheGameAgainWithTheLineBeingTyped) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine(), 50, 110, {"bash", "--norc", "--noprofile", "-i"});
    partie.taper(std::string(KORVA_BINAIRE) + "\r");
    jusqu_au_menu(partie);
    const auto arret_puis_reprise = [&partie] {
        ASSERT_TRUE(partie.jouer("\x1a", "Stopped")) << partie.ecran();
        EXPECT_EQ(partie.vue.titre, "");
        EXPECT_EQ(partie.vue.plume(), (CaseVue{"", -1, -1}));
        // Continued in the background, it stops at its first read and leaves the shell's screen
        // and modes alone.
        partie.taper("\x0c"); // the shell's own Ctrl-L
        ASSERT_TRUE(partie.attendre([&partie] { return partie.ecran().starts_with("$\n"); }));
        ASSERT_TRUE(partie.jouer("bg\r", "&\n")) << partie.ecran();
        ASSERT_TRUE(partie.attendre([&partie] {
            partie.taper("jobs\r");
            const std::string e = partie.ecran();
            return e.find("Stopped", e.find("&\n")) != std::string::npos;
        })) << partie.ecran();
        EXPECT_EQ(partie.vue.titre, "");
        EXPECT_EQ(partie.ecran().find(MENU), std::string::npos) << partie.ecran();
        partie.taper("fg\r");
        ASSERT_TRUE(partie.attendre([&] {
            return partie.ecran().find("Stopped") == std::string::npos;
        })) << partie.ecran();
        EXPECT_EQ(partie.vue.titre, "KORVA !!!");
    };
    arret_puis_reprise();
    EXPECT_NE(partie.ecran().find(MENU), std::string::npos) << partie.ecran();
    ASSERT_TRUE(partie.jouer("1", NOM));
    // An arrow is no part of a name; a letter beyond ASCII, even one code page 437 lacks, shows as
    // itself.
    ASSERT_TRUE(partie.jouer("Zo\x1b[D\u0141", std::string(NOM) + " Zo\u0141\n")) << partie.ecran();
    arret_puis_reprise();
    EXPECT_NE(partie.ecran().find(std::string(NOM) + " Zo\u0141\n"), std::string::npos)
        << partie.ecran();
    // The line is still the game's to edit; Enter ends it, the next text on a line of its own.
    ASSERT_TRUE(partie.jouer("\x7f\x7f", std::string(NOM) + " Z\n")) << partie.ecran();
    ASSERT_TRUE(partie.jouer("ra\r", "\nChoose among his class")) << partie.ecran();
    ASSERT_TRUE(partie.jouer("2\r", "Here we are : Zra ,")) << partie.ecran();
}

// While the terminal is smaller than the game, a notice shows the size needed and the size now,
// keys typed are not the game's; once large enough, the game's screen is back as it was.
TEST(TerminalPosix, NoticeWhileTooSmallThenTheGameAsItWas) {
    DossierJeu dossier;
    dossier.supprimer("fichiers/presentation/image.txt"); // a report, part of the screen too
    PartieTerminal partie(dossier.racine(), 24, 80);
    // Outside a game, Ctrl-C quits.
    const auto avis = [&partie](int colonnes, int lignes) {
        return partie.attendre(
            "KORVA needs a terminal of at least\n110 columns by 50 lines.\nThis one has " +
            std::to_string(colonnes) + " columns by " + std::to_string(lignes) +
            " lines.\n\nMake the window larger to play on,\nor press Ctrl-C "
            "to quit.");
    };
    ASSERT_TRUE(avis(80, 24)) << partie.ecran();
    EXPECT_EQ(partie.vue.taille_demandee, (std::pair{50, 110}));
    partie.taper(" ");
    partie.redimensionner(50, 100);
    ASSERT_TRUE(avis(100, 50)) << partie.ecran();
    partie.redimensionner(50, 110);
    ASSERT_TRUE(partie.attendre("fichiers/presentation/image.txt: No such file or directory"));
    jusqu_au_menu(partie); // the title's pause did not take the key typed at the notice

    const std::vector<CaseVue> menu = capture(partie);
    for (const auto& [lignes, colonnes] : {std::pair{49, 110}, {50, 109}}) {
        partie.redimensionner(lignes, colonnes);
        ASSERT_TRUE(avis(colonnes, lignes)) << partie.ecran();
        partie.taper("3");
        partie.redimensionner(50, 110);
        ASSERT_TRUE(partie.attendre(MENU));
        EXPECT_TRUE(capture(partie) == menu) << partie.ecran();
    }
    // A report under the menu's last line, which ends in a blank, starts a line of its own.
    dossier.ecrire("fichiers/personnages/joueurs.txt", "x\n");
    ASSERT_TRUE(partie.jouer("2", "-\n\nfichiers/personnages/joueurs.txt: the player registry is"));
    partie.redimensionner(24, 80);
    ASSERT_TRUE(avis(80, 24));
    partie.taper("\x03");
    EXPECT_EQ(partie.attendre_fin(), 128 + SIGINT);
    EXPECT_TRUE(partie.modes_restaures());
}

} // namespace
} // namespace korva::test
