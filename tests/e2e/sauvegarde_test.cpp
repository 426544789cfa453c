// A new game played at the terminal: its sheet, a walk, a save, a quit without saving, the
// list of saves and the game loaded back where it was saved, by the real program.
#include "files/niveaux.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

namespace korva::test {
namespace {

constexpr std::string_view PAUSE = "Press any key to continue . . .";
constexpr std::string_view MENU = "3 : quit";
constexpr std::string_view LEGENDE = " q : save and quit";

// An arrow that takes the hero of the first level onto plain floor, and the one back.
std::pair<std::string_view, std::string_view> premier_pas(const Plateau& plateau, int l, int c) {
    for (int i = 1; i + 1 < l; ++i) {
        for (int j = 1; j + 1 < c; ++j) {
            if (plateau[i][j].statutCase != STATUT_HEROS) {
                continue;
            }
            const std::tuple<std::string_view, std::string_view, sCaseJeu> pas[] = {
                {DROITE, GAUCHE, plateau[i][j + 1]},
                {BAS, HAUT, plateau[i + 1][j]},
                {GAUCHE, DROITE, plateau[i][j - 1]},
                {HAUT, BAS, plateau[i - 1][j]}};
            for (const auto& [aller, retour, cellule] : pas) {
                if (cellule.typeCase == CASE_VIDE || cellule.typeCase == CASE_PASSAGE) {
                    return {aller, retour};
                }
            }
        }
    }
    return {};
}

TEST(SauvegardeBoutEnBout, NewGameWalksSavesQuitsAndComesBackWhereItWasSaved) {
    DossierJeu dossier;
    constexpr const char* REGISTRE = "fichiers/personnages/joueurs.txt";
    auto niveau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
    std::string erreur;
    ASSERT_TRUE(lire_niveau(dossier.lire("fichiers/niveaux/niveau1g.txt"), *niveau, l, c, erreur))
        << erreur;
    const auto [aller, retour] = premier_pas(*niveau, l, c);
    ASSERT_FALSE(aller.empty()) << "the first level's hero cannot step onto plain floor";

    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(PAUSE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre(MENU));
    partie.envoyer("1");
    ASSERT_TRUE(partie.attendre("Enter the name of your persona : "));
    partie.envoyer("Zed\r");
    ASSERT_TRUE(partie.attendre("===> ? : "));
    partie.envoyer("1\r");
    ASSERT_TRUE(partie.attendre("Here we are : Zed , The genial magician !"));
    ASSERT_TRUE(partie.attendre("His score : 0"));
    ASSERT_TRUE(partie.attendre("Be careful ! ! !"));
    ASSERT_TRUE(partie.attendre(PAUSE));
    partie.envoyer(" ");
    // Only what changes on the screen is sent: views are compared as the screen shows them.
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    EXPECT_NE(partie.ecran().find("Level : 1"), std::string::npos);
    EXPECT_EQ(dossier.lire(REGISTRE), "0\n"); // a new game records nobody

    // One step (the arrow's prefix draws the same board, which sends nothing), then save.
    partie.envoyer(aller);
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    const std::string vue_sauvee = partie.ecran();
    partie.envoyer("s");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game..."));
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE)); // the board again, a second later
    EXPECT_EQ(partie.ecran(), vue_sauvee);
    // A step back, then quit without saving it.
    partie.envoyer(retour);
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    EXPECT_NE(partie.ecran(), vue_sauvee);
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran(MENU));
    const std::size_t score = vue_sauvee.find("Score : ");
    ASSERT_NE(score, std::string::npos);
    const std::string points = std::to_string(std::stoi(vue_sauvee.substr(score + 8)));
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nZed " + points + "\n");

    partie.envoyer("2");
    ASSERT_TRUE(partie.attendre_ecran("(0: return to main menu):"));
    const std::string liste = partie.ecran();
    EXPECT_NE(liste.find("Saved games :"), std::string::npos) << liste;
    // The tab skips from the ninth column to the seventeenth.
    EXPECT_NE(liste.find("\n1 : Zed          score : " + points + "\n"), std::string::npos)
        << liste;
    partie.envoyer("1\r");
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    // The same board, hero and figures as when the game was saved.
    EXPECT_EQ(partie.ecran(), vue_sauvee);
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran(MENU));

    // A registered name is refused to a new game.
    partie.envoyer("1");
    ASSERT_TRUE(partie.attendre("Enter the name of your persona : "));
    partie.envoyer("Zed\r");
    ASSERT_TRUE(partie.attendre("Pseudonym : Zed is already exist...restart the game"));
    partie.envoyer(" ");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_EQ(partie.erreurs(), "");
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nZed " + points + "\n");
}

} // namespace
} // namespace korva::test
