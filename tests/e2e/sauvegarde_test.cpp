// A new game played at the terminal by the real program: its sheet, a save, a walk to the
// first level's locked door opened with the key found on the way, a quit without saving, the
// list of saves and the game loaded back where it was saved.
#include "files/niveaux.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/recherche_chemin.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace korva::test {
namespace {

constexpr std::string_view PAUSE = "Press any key to continue . . .";
constexpr std::string_view MENU = "3 : quit";
constexpr std::string_view LEGENDE = " q : save and quit";
constexpr const char* REGISTRE = "fichiers/personnages/joueurs.txt";

// The walk out of the first level that takes its key and opens its door, going round
// everything else that would stop or score: monsters, items and gold.
Chemin chemin_par_la_porte() {
    auto plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
    EXPECT_EQ(charger_niveau("fichiers/niveaux/niveau1g.txt", *plateau, l, c), 0);
    Contraintes contraintes;
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            const int type = (*plateau)[i][j].typeCase;
            if (type != CASE_VIDE && type != CASE_PASSAGE && type != PORTE_FERMEE &&
                type != PORTE_CLE && type != CLE && type != MUR_EXTERIEUR &&
                type != MUR_INTERIEUR && type != EBOULEMENT) {
                contraintes.interdites.push_back({i, j});
            }
        }
    }
    const auto chemin = chemin_vers_bord(*plateau, l, c, Sens::avant, contraintes);
    EXPECT_TRUE(chemin.has_value());
    return chemin.value_or(Chemin{});
}

TEST(PartieSauveeBoutEnBout, KeyOpensItsDoorFromTheBagAndTheSaveComesBackWhereItStood) {
    DossierJeu dossier;
    const Chemin chemin = chemin_par_la_porte();
    ASSERT_EQ(chemin.cles().size(), 1u);
    const auto portes = chemin.portes();
    const auto porte_cle = std::ranges::find(portes, PORTE_CLE, &Rencontre::typeCase);
    ASSERT_NE(porte_cle, portes.end());
    const int numero = porte_cle->numero;
    ASSERT_EQ(chemin.cles()[0].numero, numero);
    // The first step goes onto plain floor: the game is saved there.
    ASSERT_TRUE(
        std::ranges::none_of(chemin.rencontres, [](const Rencontre& r) { return r.pas == 0; }));

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
    const std::string vue_depart = partie.ecran();
    EXPECT_NE(vue_depart.find("Score : 0        Level : 1"), std::string::npos) << vue_depart;
    EXPECT_EQ(dossier.lire(REGISTRE), "0\n"); // a new game records nobody

    // One step (the arrow's prefix draws the same board, which sends nothing), then save.
    partie.envoyer(touches_de(chemin.fleches[0]));
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE));
    const std::string vue_sauvee = partie.ecran();
    ASSERT_NE(vue_sauvee, vue_depart);
    partie.envoyer("s");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game..."));
    ASSERT_TRUE(partie.attendre_ecran(LEGENDE)); // the board again, a second later
    EXPECT_EQ(partie.ecran(), vue_sauvee);
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nZed 0\n");

    for (std::size_t pas = 1; pas < chemin.fleches.size(); ++pas) {
        const std::string_view fleche = touches_de(chemin.fleches[pas]);
        partie.envoyer(fleche);
        if (std::ranges::none_of(portes, [&](const Rencontre& r) { return r.pas == pas; })) {
            continue;
        }
        ASSERT_TRUE(partie.attendre("Open the door ?  y/n : ")) << "step " << pas;
        partie.envoyer("y");
        if (pas != porte_cle->pas) {
            continue;
        }
        ASSERT_TRUE(partie.attendre("You need the key number : " + std::to_string(numero)));
        ASSERT_TRUE(partie.attendre(PAUSE));
        partie.envoyer(" ");
        // The key is the bag's only object; the score counts it.
        ASSERT_TRUE(partie.attendre_ecran("Score : 5 "));
        partie.envoyer("i");
        // The tab skips to the ninth column.
        ASSERT_TRUE(partie.attendre_ecran("1 :      cle " + std::to_string(numero)));
        partie.envoyer("1");
        // Keys typed before the prompt would be thrown away: type the slot once it is asked.
        ASSERT_TRUE(partie.attendre("Enter the slot number (or 0 to exit): "));
        partie.envoyer("1\n");
        ASSERT_TRUE(partie.attendre("You use the number key : " + std::to_string(numero)));
        ASSERT_TRUE(partie.attendre("The door opens!"));
        ASSERT_TRUE(partie.attendre(PAUSE));
        partie.envoyer(" ");
        ASSERT_TRUE(partie.attendre_ecran("Score : 10 "));
        break;
    }

    // Quit without saving the walk.
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran(MENU));
    partie.envoyer("2");
    ASSERT_TRUE(partie.attendre_ecran("(0: return to main menu):"));
    const std::string liste = partie.ecran();
    EXPECT_NE(liste.find("Saved games :"), std::string::npos) << liste;
    // The tab skips from the ninth column to the seventeenth.
    EXPECT_NE(liste.find("\n1 : Zed          score : 0\n"), std::string::npos) << liste;
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
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nZed 0\n");
}

} // namespace
} // namespace korva::test
