#include "dungeon/plateau_essai.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <string>

namespace korva {
namespace {

using test::DossierJeu;
using test::PartieTerminal;

constexpr const char* PAUSE = "Press any key to continue . . .";
constexpr const char* OR_VU = "\u263C"; // the gold coin's glyph as the terminal shows it

// A first level of 7 rows by 12 columns: the hero at (3,2) and, out of sight, a gold coin at
// (3,9) on the same row.
std::string petit_premier_niveau() {
    std::string texte = "7\n12\n";
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 12; ++j) {
            sCaseJeu cellule{CASE_VIDE, 0, i == 3 && j < 6 ? 1 : 0};
            if (i == 0 || j == 0 || i == 6 || j == 11) {
                cellule = {MUR_EXTERIEUR, i == 0 && j == 0 ? 2 : 0, 1};
            }
            if (i == 3 && j == 2) {
                cellule.statutCase = STATUT_HEROS;
            }
            if (i == 3 && j == 9) {
                cellule.typeCase = PIECE_OR;
            }
            texte += test::enregistrement(cellule);
        }
        texte += "\n";
    }
    return texte;
}

// The figure after the last `libelle` written; -1 when there is none.
int dernier_nombre(const std::string& sortie, const std::string& libelle) {
    const std::size_t p = sortie.rfind(libelle);
    return p == std::string::npos ? -1 : std::stoi(sortie.substr(p + libelle.size()));
}

TEST(MarcheBoutEnBout, NewGameShowsTheSheetWalksTheFirstLevelThenQuitsToTheMenu) {
    DossierJeu dossier;
    dossier.ecrire("fichiers/niveaux/niveau1g.txt", petit_premier_niveau());
    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(PAUSE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("1");
    ASSERT_TRUE(partie.attendre("Enter the name of your persona : "));
    partie.envoyer("Ayla\r");
    ASSERT_TRUE(partie.attendre("===> ? : "));
    partie.envoyer("1\r");
    ASSERT_TRUE(partie.attendre("Here we are : Ayla , The genial magician !"));
    ASSERT_TRUE(partie.attendre("His score : 0"));
    ASSERT_TRUE(partie.attendre("Be careful ! ! !"));
    ASSERT_TRUE(partie.attendre(PAUSE));
    partie.envoyer(" ");
    // Only what changes on the screen is sent: the figures are read from the screen.
    ASSERT_TRUE(partie.attendre_ecran(" q : save and quit"));
    EXPECT_EQ(dernier_nombre(partie.ecran(), "Gold : "), 0);
    EXPECT_NE(partie.ecran().find("Level : 1"), std::string::npos);
    EXPECT_EQ(partie.ecran().find(OR_VU), std::string::npos);

    // Four steps right bring the coin into sight, no gold counted yet; three more onto it.
    for (int pas = 0; pas < 4; ++pas) {
        partie.envoyer(test::DROITE);
    }
    ASSERT_TRUE(partie.attendre_ecran(OR_VU));
    EXPECT_EQ(dernier_nombre(partie.ecran(), "Gold : "), 0);
    for (int pas = 0; pas < 3; ++pas) {
        partie.envoyer(test::DROITE);
    }
    ASSERT_TRUE(partie.attendre_ecran("#        \u263b")) << partie.ecran(); // on the coin
    const int gagne = dernier_nombre(partie.ecran(), "Gold : ");
    EXPECT_GE(gagne, 1);
    EXPECT_LE(gagne, 19);
    EXPECT_EQ(dernier_nombre(partie.ecran(), "Score : "), gagne);
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran("3 : quit"));
    partie.envoyer("3");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_EQ(partie.erreurs(), "");
    // Neither a new game nor a quit without saving records anybody.
    EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), "0\n");
    EXPECT_FALSE(std::filesystem::exists(dossier.racine() / "fichiers/personnages/Ayla.txt"));
}

} // namespace
} // namespace korva
