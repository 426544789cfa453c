// A game saved at the terminal, listed at the main menu and loaded back, by the real program.
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace korva::test {
namespace {

constexpr std::string_view PAUSE = "Press any key to continue . . .";
constexpr std::string_view MENU = "3 : quit";
constexpr std::string_view LEGENDE = " q : save and quit";

// An arrow that takes the hero of the first level onto plain floor, and the cell it reaches.
struct Pas {
    std::string_view fleche;
    int ligne;
    int colonne;
};

Pas premier_pas(const Plateau& plateau, int l, int c) {
    int hl = -1;
    int hc = -1;
    for (int i = 0; i < l && hl < 0; ++i) {
        for (int j = 0; j < c; ++j) {
            if (plateau[i][j].statutCase == STATUT_HEROS) {
                hl = i;
                hc = j;
                break;
            }
        }
    }
    const Pas pas[] = {
        {DROITE, hl, hc + 1}, {BAS, hl + 1, hc}, {GAUCHE, hl, hc - 1}, {HAUT, hl - 1, hc}};
    for (const Pas& p : pas) {
        if (p.ligne >= 0 && p.ligne < l && p.colonne >= 0 && p.colonne < c &&
            (plateau[p.ligne][p.colonne].typeCase == CASE_VIDE ||
             plateau[p.ligne][p.colonne].typeCase == CASE_PASSAGE)) {
            return p;
        }
    }
    return {{}, -1, -1};
}

TEST(SauvegardeBoutEnBout, SavedGameIsListedAndComesBackWhereItStood) {
    DossierJeu dossier;
    auto niveau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
    std::string erreur;
    ASSERT_TRUE(lire_niveau(dossier.lire("fichiers/niveaux/niveau1g.txt"), *niveau, l, c, erreur))
        << erreur;
    const Pas pas = premier_pas(*niveau, l, c);
    ASSERT_FALSE(pas.fleche.empty()) << "the first level's hero cannot step onto plain floor";

    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(PAUSE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre(MENU));
    partie.envoyer("1");
    ASSERT_TRUE(partie.attendre("Enter the name of your persona : "));
    partie.envoyer("Zed\r");
    ASSERT_TRUE(partie.attendre("===> ? : "));
    partie.envoyer("0\r");
    ASSERT_TRUE(partie.attendre("Be careful"));
    ASSERT_TRUE(partie.attendre(PAUSE));
    partie.envoyer(" ");
    // Only what changes on the screen is sent: views are compared as the screen shows them.
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));

    // One step (the arrow's prefix draws the same board, which sends nothing), then save.
    partie.envoyer(pas.fleche);
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    const std::string vue_sauvee = partie.ecran();
    ASSERT_NE(vue_sauvee.find("Body : "), std::string::npos) << vue_sauvee;
    partie.envoyer("s");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game..."));
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE)); // the board again, a second later
    EXPECT_EQ(partie.ecran(), vue_sauvee);
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran(MENU));

    // The save holds the hero on the cell it stepped onto; the registry holds the player.
    const std::string sauvegarde = dossier.lire("fichiers/personnages/Zed.txt");
    auto plateau = std::make_unique<Plateau>();
    auto sacoche = std::make_unique<Sacoche>();
    sPerso p{};
    ASSERT_TRUE(lire_sauvegarde(sauvegarde, "Zed", *plateau, l, c, p, *sacoche, erreur)) << erreur;
    EXPECT_EQ(l, 20);
    EXPECT_EQ(c, 50);
    EXPECT_EQ((*plateau)[pas.ligne][pas.colonne].statutCase, STATUT_HEROS);
    EXPECT_EQ(p.classe, 0);
    EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"),
              "1\nZed " + std::to_string(p.score) + "\n");

    partie.envoyer("2");
    ASSERT_TRUE(partie.attendre_ecran("(0: return to main menu):"));
    const std::string liste = partie.ecran();
    EXPECT_NE(liste.find("Saved games :"), std::string::npos) << liste;
    // The tab skips from the ninth column to the seventeenth.
    EXPECT_NE(liste.find("\n1 : Zed          score : " + std::to_string(p.score) + "\n"),
              std::string::npos)
        << liste;
    partie.envoyer("1\r");
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    // The same board, hero and figures as when the game was saved.
    EXPECT_EQ(partie.ecran(), vue_sauvee);

    // Saved again without a move, the file is the same.
    partie.envoyer("s");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game..."));
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    EXPECT_EQ(dossier.lire("fichiers/personnages/Zed.txt"), sauvegarde);
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran(MENU));
    partie.envoyer("3");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_EQ(partie.erreurs(), "");
}

} // namespace
} // namespace korva::test
