// Failures the player can read, files that cannot hurt the game, figures that cannot wrap, and
// names that read the same everywhere.
#include "characters/personnage.hpp"
#include "dungeon/deplacement.hpp"
#include "dungeon/plateau_essai.hpp"
#include "files/fichier_sur.hpp"
#include "game/jeu.hpp"
#include "items/objets.hpp"
#include "items/sac.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace korva {
namespace {

namespace fs = std::filesystem;
using namespace test;

const std::string BOB = "fichiers/personnages/Bob.txt";
const std::string REGISTRE = "fichiers/personnages/joueurs.txt";

// Every character is a key, except "[text]", a typed line.
void scripter(ConsoleScriptee& ecran, std::string_view script) {
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '[') {
            const std::size_t fin = script.find(']', i);
            ecran.ligne(std::string(script.substr(i + 1, fin - i - 1)));
            i = fin;
        } else {
            ecran.touche(static_cast<unsigned char>(script[i]));
        }
    }
}

TEST(FichiersSurs, EveryFailureWaitsForAKeyUnderItsReport) {
    const std::string n1 = "fichiers/niveaux/niveau1g.txt", n2 = "fichiers/niveaux/niveau2g.txt";
    const std::string verrou = REGISTRE + ".lock/x", trop_grand(TAILLE_LECTURE_MAX + 1, '2');
    const std::string au_bord = texte_niveau(20, 50, 1, 5, 49); // the hero by the way out
    const struct {
        std::vector<std::pair<std::string, std::string>> fichiers; // written, or removed if ""
        const char* script;                                        // from start-up to the failure
        std::string ecran; // how the screen of the failing step ends: the pause (only one)
        std::string rapport;
    } cas[] = {
        {{{REGISTRE, "x"}}, " 1[Ayla]", "Ayla\n<pause>", "joueurs.txt: the player registry is"},
        {{{REGISTRE, "1 Bob 5"}, {BOB, trop_grand}}, " 2[1]", "1\n<pause>", "Bob.txt: larger than"},
        {{{n1, ""}}, " 1[Ayla][0] ", "! \n \n \n <pause><cls>", "niveau1g.txt: No such"},
        {{{n1, au_bord}, {n2, ""}}, " 1[Ayla][0] M", "quit \n <pause>", "niveau2g.txt: No such"},
        {{{verrou, "x"}}, " 1[Ayla][0] s", "game...\n<pause>", "joueurs.txt.lock: "},
        {{{verrou, "x"}}, " 1[Ayla][0] qY", "in progress... <pause>", "joueurs.txt.lock: "},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.script);
        DossierJeu dossier;
        for (const auto& [chemin, contenu] : k.fichiers) {
            contenu.empty() ? dossier.supprimer(chemin) : dossier.ecrire(chemin, contenu);
        }
        ConsoleScriptee ecran;
        scripter(ecran, k.script);
        // The game waits at a pause on the screen of the step that failed, so the report
        // written since that step is still shown.
        EXPECT_THROW(jeu_principal(), ScriptEpuise);
        EXPECT_NE(ecran.sortie().find(k.ecran), std::string::npos) << ecran.sortie();
        EXPECT_NE(ecran.erreurs().find(k.rapport), std::string::npos) << ecran.erreurs();
    }
}

TEST(FichiersSurs, OnlyRegularFilesOfAGameFilesSizeAreRead) {
    DossierJeu dossier;
    dossier.ecrire("gros", std::string(TAILLE_LECTURE_MAX + 1, 'x'));
    std::vector<std::pair<std::string, int>> cas = {{"gros", ERREUR_TROP_GRAND}};
#ifndef _WIN32
    ::mkfifo("fifo", 0644);
    fs::create_symlink("/dev/zero", "zero");
    fs::create_symlink("/dev/null", "null");
    fs::create_symlink(REGISTRE, "lien"); // a link to a regular file is followed
    const int non = ERREUR_PAS_UN_FICHIER;
    cas.insert(cas.end(), {{"fifo", non}, {"zero", non}, {"null", non}, {"lien", 0}});
#endif
    for (const auto& [chemin, attendu] : cas) {
        std::string contenu;
        int numero_erreur = 0;
        EXPECT_EQ(lire_fichier(chemin, contenu, numero_erreur), attendu == 0) << chemin;
        EXPECT_EQ(numero_erreur, attendu) << chemin;
    }
#ifndef _WIN32
    // Parchments that are pipes: the hero's reading is refused with the reason, without waiting.
    for (int n = 1; n <= NOMBRE_PARCHEMINS; ++n) {
        const std::string chemin = "fichiers/parchemins/fichier" + std::to_string(n) + ".txt";
        fs::remove(chemin);
        ::mkfifo(chemin.c_str(), 0644);
    }
    ConsoleScriptee ecran;
    ecran.touche(' ');
    sPerso p{"Ayla", 0, 0, 10, 0, 0, 0, 0, 0, 0}; // who can read any parchment
    parch(p);
    EXPECT_TRUE(ecran.erreurs().ends_with(": not a regular file (a pipe or a device)\n"));
#endif
}

#ifndef _WIN32
TEST(FichiersSurs, ASaveKeepsThePermissionsOfTheFileItReplaces) {
    // Permissions before (0: no file yet), umask, permissions after.
    for (const auto& [avant, masque, apres] :
         {std::tuple{0600, 022, 0600}, {0666, 022, 0666}, {0, 022, 0644}, {0, 077, 0600}}) {
        DossierJeu dossier;
        if (avant != 0) {
            dossier.ecrire(BOB, "old");
            fs::permissions(BOB, static_cast<fs::perms>(avant));
        }
        const mode_t ancien = ::umask(static_cast<mode_t>(masque));
        int numero_erreur = 0;
        EXPECT_TRUE(ecrire_fichier_atomique(BOB, "new", numero_erreur));
        ::umask(ancien);
        EXPECT_EQ(static_cast<int>(fs::status(BOB).permissions()), apres) << avant;
    }
}
#endif

TEST(FichiersSurs, StatsAndScoreStopAtTheEdgeOfInt) {
    DossierJeu dossier;
    ConsoleScriptee ecran;
    ecran.pauses_automatiques(true);
    for (const int bord : {INT_MAX, INT_MIN}) {
        auto plateau = plateau_avec_heros(1, 1);
        (*plateau)[0][0].statutCase = INT_MIN; // the level a fight is told
        sPerso p{"Ayla", 0, bord, bord, bord, bord, bord, bord, bord, bord};
        Sacoche sacoche{};
        uneSerrure f = SERRURE_SANS_PORTE;
        // Whatever the hero finds raises a figure.
        for (const int type : {POTION, CLE, ARMURE, EPEE, PIECE_OR, PARCHEMIN, MONSTRE}) {
            (*plateau)[1][2] = {bord > 0 ? type : CASE_VIDE, 13, 1};
            calcul_deplacement(*plateau, 3, 3, FLECHE_DROITE, p, sacoche, f);
        }
        // A potion for each stat, up or down, then a key that opens its door.
        sacoche[0].nbObjet = 7;
        for (int k = 1; k <= 7; ++k) { // slot k acts on stat k; slot 7 holds key 2
            sacoche[k].ob = {"potion", k / 7 * 2, k % 7, bord > 0 ? 3 : -3};
        }
        (*plateau)[2][2] = {PORTE_CLE, 8, 1};
        for (int n = 0; n < 7; ++n) {
            scripter(ecran, "1[1]");
            gestion_sac(sacoche, p, *plateau, uneSerrure{2, 2, 2});
        }
        const int score = bord > 0 ? bord : bord + POINTS_OBJET;
        EXPECT_EQ(std::vector({p.corps, p.intellect, p.esprit, p.endurance, p.pouvoir, p.habilete,
                               p.score, p.piecOr}),
                  std::vector({bord, bord, bord, bord, bord, bord, score, bord}));
    }
}

TEST(FichiersSurs, NamesAreShownAsTypedOrRefusedAndTakenInAnyLetterCase) {
    DossierJeu dossier;
    dossier.ecrire(REGISTRE, "1\nBob 3\n");
    ConsoleScriptee ecran;
    // "José" as a terminal and as the Windows console send it, then Bob in other letters.
    scripter(ecran, "[Jos\xC3\xA9][Jos\x82][bOB] ");
    sPerso p{};
    EXPECT_THROW(saisirPerso(p), FinDuProcessus);
    EXPECT_EQ(ecran.nombre("cannot be used: the name holds a character outside plain ASCII, "
                           "such as an accented letter.\n\n"),
              2);
    EXPECT_TRUE(ecran.sortie().ends_with(
        "\nPseudonym : bOB is already exist...restart the game \n\n\n <pause><exit 0>"));
}

} // namespace
} // namespace korva
