// One whole game at a terminal, by the real program, on a first level of the test's own: a new
// hero takes a few steps and a key, opens the bag, saves, quits to the menu, loads the game back
// and quits.
#include "files/enregistrement.hpp"
#include "files/journal_parties.hpp"
#include "files/sauvegarde.hpp"
#include "records/enregistrements.hpp"
#include "records/heros.hpp"
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/transcription.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <utility>

namespace korva::test {
namespace {

constexpr std::string_view PAUSE = "Press any key to continue . . .";
constexpr std::string_view MENU = "3 : quit";
constexpr std::string_view LEGENDE = " q : save and quit";
constexpr int NUMERO_CLE = 3;
// Arrow keys as a terminal sends them.
constexpr const char* DROITE = "\x1b[C";
constexpr const char* BAS = "\x1b[B";
constexpr const char* GAUCHE = "\x1b[D";

// Walls round it, the hero at row 2, column 2, the key two steps to its right; nothing else.
std::string premier_niveau() {
    return niveau_depuis_carte(lire_tout(KORVA_TESTS "/e2e/premier_niveau.txt"), 1, false);
}

TEST(PartieTerminal, NewHeroStepsBagSaveQuitLoadBackQuit) {
    DossierJeu dossier;
    dossier.ecrire("fichiers/niveaux/niveau1g.txt", premier_niveau());
    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(PAUSE)) << partie.ecran();
    EXPECT_NE(partie.ecran().find("░░▒▒▓▓████"), std::string::npos); // code page 437 art
    ASSERT_TRUE(partie.jouer(" ", MENU));
    ASSERT_TRUE(partie.jouer("1", "Enter the name of your persona :"));
    ASSERT_TRUE(partie.jouer("Zed\r", "===> ? :"));
    ASSERT_TRUE(partie.jouer("1\r", "Here we are : Zed , The genial magician !")) << partie.ecran();
    ASSERT_TRUE(partie.attendre("\n" + std::string(PAUSE))); // the prompt on a line of its own
    ASSERT_TRUE(partie.jouer(GAUCHE, LEGENDE)); // one key press for the pause, both its codes

    // Two steps right take the key (the score counts it), one down.
    ASSERT_TRUE(partie.jouer(std::string(DROITE) + DROITE, "Score : 5 ")) << partie.ecran();
    partie.taper(BAS);
    ASSERT_TRUE(partie.attendre([&] { return partie.vue.case_(3, 4).glyphe == "☻"; }))
        << partie.ecran();
    EXPECT_EQ(partie.vue.case_(3, 4), (CaseVue{"☻", 15, 0}));
    EXPECT_EQ(partie.vue.case_(2, 2).glyphe, " ");
    // The walls seen on the way, in dark grey; the score in light red.
    EXPECT_EQ(partie.vue.case_(0, 5), (CaseVue{"#", 8, 0}));
    const std::string ecran = partie.ecran();
    const auto score = ecran.begin() + static_cast<std::ptrdiff_t>(ecran.find("Score : 5 "));
    EXPECT_EQ(partie.vue.case_(static_cast<int>(std::count(ecran.begin(), score, '\n')), 0),
              (CaseVue{"S", 12, 0}));
    ASSERT_TRUE(partie.jouer("i", "1 :      cle " + std::to_string(NUMERO_CLE))) << partie.ecran();
    ASSERT_TRUE(partie.jouer("2", LEGENDE));
    const std::string plateau = partie.ecran();

    ASSERT_TRUE(partie.jouer("s", "Back-up of your game..."));
    ASSERT_TRUE(partie.jouer("q", "Back-up of your game Y/N ? :"));
    ASSERT_TRUE(partie.jouer("N3", MENU)); // the menu drops the key typed ahead
    ASSERT_TRUE(partie.jouer("2", "1 : Zed          score : 5")) << partie.ecran();
    ASSERT_TRUE(partie.jouer("1\r", LEGENDE));
    EXPECT_EQ(partie.ecran(), plateau); // the same board, hero, figures and bag
    ASSERT_TRUE(partie.jouer("q", "Back-up of your game Y/N ? :"));
    ASSERT_TRUE(partie.jouer("N", MENU));
    ASSERT_TRUE(partie.jouer("3", "Bye Bye..."));
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
    EXPECT_EQ(partie.ecran_du_shell(), "\nBye Bye...\n$"); // on the shell's screen, as said

    // The first game, replayed: its first board, then Space pauses it (as the window's title
    // says), '.' plays one key, Space resumes, and 'q' leaves before the end.
    const std::vector<std::string> enregistrements =
        noms_dans(dossier.racine() / DOSSIER_ENREGISTREMENTS);
    ASSERT_EQ(enregistrements.size(), 2u);
    PartieTerminal rejeu(dossier.racine(), 50, 110,
                         {KORVA_BINAIRE, "--replay",
                          std::string(DOSSIER_ENREGISTREMENTS) + "/" + enregistrements[0]});
    ASSERT_TRUE(rejeu.attendre(LEGENDE)) << rejeu.ecran();
    rejeu.taper(" ");
    ASSERT_TRUE(rejeu.attendre([&] { return rejeu.vue.titre == "KORVA replay (paused)"; }));
    ASSERT_TRUE(rejeu.jouer(".", "Score : ")) << rejeu.ecran();
    rejeu.taper(" ");
    ASSERT_TRUE(rejeu.attendre([&] { return rejeu.vue.titre == "KORVA replay"; }));
    rejeu.taper("q");
    EXPECT_EQ(rejeu.attendre_fin(), 0);
    EXPECT_TRUE(rejeu.modes_restaures());
    EXPECT_EQ(noms_dans(dossier.racine() / DOSSIER_ENREGISTREMENTS), enregistrements);
}

// A typed line is edited at every prompt that reads one: Backspace takes back a character (all
// its bytes), Ctrl-U the whole line, Ctrl-D after some text does nothing, and Ctrl-D on an empty
// line ends the game outside a game (inside one it is an empty answer, below).
TEST(PartieTerminal, TypedLinesAreEditedAtEveryPrompt) {
    using Etapes = std::vector<std::pair<std::string, std::string_view>>; // keys, then text awaited
    const Etapes nom{{" ", MENU}, {"1", "Enter the name of your persona :"}};
    Etapes classe = nom;
    classe.emplace_back("Zed\r", "===> ? :");
    const Etapes liste{{" ", MENU}, {"2", "(0: return to main menu):"}};
    Etapes emplacement = classe;
    emplacement.insert(emplacement.end(), {{"1\r", "Be careful"},
                                           {" ", LEGENDE},
                                           {std::string(DROITE) + DROITE + "i", "cle 3"},
                                           {"1", "(or 0 to exit):"}});
    struct Cas {
        const Etapes& jusqu_a; // the prompt
        std::string_view touches;
        std::string_view attendu; // on the screen; empty: the game ends, with status 0
    };
    // The editing keys in octal: \177 Backspace, \010 Ctrl-H, \025 Ctrl-U, \004 Ctrl-D, \033 Esc.
    for (const Cas& cas :
         {Cas{nom, "Ab\177c\r1\r", "Here we are : Ac ,"},
          Cas{nom, "Ab\010c\r1\r", "Here we are : Ac ,"},
          Cas{nom, "xyz\025Zed\r1\r", "Here we are : Zed ,"},
          Cas{nom, "Zo\004d\r1\r", "Here we are : Zod ,"},
          Cas{nom, "Z\033OAe\033[Dd\r1\r", "Here we are : Zed ,"}, // arrows of both forms
          Cas{nom, "Z\u0151\177\177\u0141\u00f3\r1\r", "Here we are : \u0141\u00f3 ,"},
          Cas{classe, "9\1772\r", "The priest !"}, Cas{classe, "33\0253\r", "The crafty wily !"},
          Cas{classe, "\004", ""}, Cas{liste, "7\0250\r", MENU}, Cas{liste, "\004", ""},
          Cas{emplacement, "9\0251\r", "You use the number key : 3"}}) {
        SCOPED_TRACE(std::string(cas.touches));
        DossierJeu dossier;
        dossier.ecrire("fichiers/niveaux/niveau1g.txt", premier_niveau());
        dossier.ecrire("fichiers/personnages/joueurs.txt", "1\nAyla 3\n");
        PartieTerminal partie(dossier.racine());
        ASSERT_TRUE(partie.attendre(PAUSE)) << partie.ecran();
        for (const auto& [touches, texte] : cas.jusqu_a) {
            ASSERT_TRUE(partie.jouer(touches, texte)) << partie.ecran();
        }
        partie.taper(cas.touches);
        if (cas.attendu.empty()) {
            EXPECT_EQ(partie.attendre_fin(), 0);
        } else {
            EXPECT_TRUE(partie.attendre(cas.attendu)) << partie.ecran();
        }
    }
}

// A game kept from Ctrl-C and a lost terminal: Ctrl-D at the bag's slot prompt is an empty answer,
// Ctrl-C asks what 'q' asks (on too small a terminal, as its notice says, once it is large
// enough), and a hang-up, SIGTERM, SIGPIPE or a server's hang-up for idleness (SIGUSR1) saves
// the game of that moment, which the registry then lists, before the process ends as the signal
// would have. The games log has the game's one line, which tells idleness apart.
TEST(PartieTerminal, KeptFromCtrlCAndALostTerminal) {
    for (const int signal : {SIGINT, SIGHUP, SIGTERM, SIGPIPE, SIGUSR1}) {
        SCOPED_TRACE(signal);
        const std::string ligne = std::string("hero=Zed\tclass=magician\toutcome=") +
                                  (signal == SIGINT    ? "quit"
                                   : signal == SIGUSR1 ? "idle"
                                                       : "hangup") +
                                  "\tlevel=1\tscore=5\tgold=0\tturns=";
        DossierJeu dossier;
        dossier.ecrire("fichiers/niveaux/niveau1g.txt", premier_niveau());
        PartieTerminal partie(dossier.racine());
        ASSERT_TRUE(partie.attendre(PAUSE)) << partie.ecran();
        ASSERT_TRUE(partie.jouer(" ", MENU));
        ASSERT_TRUE(partie.jouer("1", "Enter the name of your persona :"));
        ASSERT_TRUE(partie.jouer("Zed\r1\r", "Here we are : Zed"));
        ASSERT_TRUE(partie.jouer(" ", LEGENDE));
        ASSERT_TRUE(partie.jouer(std::string(DROITE) + DROITE + "i", "cle 3"));
        ASSERT_TRUE(partie.jouer("1", "(or 0 to exit):"));
        ASSERT_TRUE(partie.jouer("\x04", LEGENDE)) << partie.ecran();
        if (signal == SIGINT) {
            partie.redimensionner(24, 80);
            ASSERT_TRUE(partie.attendre("on.\nCtrl-C asks whether to save the\ngame once"));
            partie.taper("\x03");
            partie.redimensionner(50, 110);
            ASSERT_TRUE(partie.attendre("Back-up of your game Y/N ? :")) << partie.ecran();
            ASSERT_TRUE(partie.jouer("N", MENU));
            ASSERT_TRUE(partie.jouer("3", "Bye Bye..."));
            EXPECT_EQ(partie.attendre_fin(), 0);
            EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), "0\n");
            EXPECT_TRUE(dossier.lire(FICHIER_JOURNAL_PARTIES).starts_with(ligne));
            continue;
        }
        if (signal == SIGHUP) {
            partie.fermer();
        } else {
            ::kill(partie.pid, signal);
        }
        EXPECT_EQ(partie.attendre_fin(), 128 + signal);
        auto sauvee = std::make_unique<PartieSauvee>();
        std::string erreur;
        ASSERT_TRUE(
            lire_sauvegarde(dossier.lire("fichiers/personnages/Zed.txt"), "Zed", *sauvee, erreur))
            << erreur;
        EXPECT_EQ(sauvee->perso.score, 5);
        EXPECT_EQ(trouver_heros(sauvee->plateau, sauvee->l, sauvee->c)->colonne, 4);
        EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), "1\nZed 5\n");
        EXPECT_TRUE(dossier.lire(FICHIER_JOURNAL_PARTIES).starts_with(ligne));
        EXPECT_EQ(std::ranges::count(dossier.lire(FICHIER_JOURNAL_PARTIES), '\n'), 1);
    }
}

// A game watched live from a second terminal: the watcher sees at once the board as it stands,
// then each move as it is made; `q` leaves without touching the game, and the watch ends with
// the game, when it ends (back to the menu) or is killed outright.
TEST(PartieTerminal, WatchedLive) {
    for (const bool tuee : {false, true}) {
        DossierJeu dossier;
        dossier.ecrire("fichiers/niveaux/niveau1g.txt", premier_niveau());
        PartieTerminal partie(dossier.racine());
        ASSERT_TRUE(partie.attendre(PAUSE));
        ASSERT_TRUE(partie.jouer(" ", MENU));
        ASSERT_TRUE(partie.jouer("1", "Enter the name of your persona :"));
        ASSERT_TRUE(partie.jouer("Zed\r1\r", "Here we are : Zed"));
        ASSERT_TRUE(partie.jouer(" ", LEGENDE));
        const std::string chemin = std::string(DOSSIER_ENREGISTREMENTS) + "/" +
                                   noms_dans(dossier.racine() / DOSSIER_ENREGISTREMENTS).at(0);
        const std::vector<std::string> suivre{KORVA_BINAIRE, "--replay", chemin, "--follow"};
        PartieTerminal parti(dossier.racine(), 50, 110, suivre),
            suivi(dossier.racine(), 50, 110, suivre);
        for (PartieTerminal* t : {&parti, &suivi}) {
            ASSERT_TRUE(t->attendre(LEGENDE)) << t->ecran();
            EXPECT_EQ(t->ecran(), partie.ecran());
        }
        parti.taper("q");
        EXPECT_EQ(parti.attendre_fin(), 0);
        ASSERT_TRUE(partie.jouer(std::string(DROITE) + DROITE, "Score : 5 "));
        ASSERT_TRUE(suivi.attendre("Score : 5 ")) << suivi.ecran();
        EXPECT_EQ(suivi.ecran(), partie.ecran());
        if (tuee) {
            ::kill(partie.pid, SIGKILL);
            ASSERT_TRUE(suivi.jouer("", "The recording stops here.")) << suivi.ecran();
            suivi.taper(" ");
        } else {
            ASSERT_TRUE(partie.jouer("qN", MENU));
        }
        EXPECT_EQ(suivi.attendre_fin(), 0);
    }
}

} // namespace
} // namespace korva::test
