// A key found on the first level opens its door from the bag, played on the real game.
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

constexpr std::string_view INVITE = "Press any key to continue . . .";

std::string_view touches_de(int fleche) {
    return fleche == FLECHE_HAUT     ? HAUT
           : fleche == FLECHE_BAS    ? BAS
           : fleche == FLECHE_GAUCHE ? GAUCHE
                                     : DROITE;
}

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

TEST(ObjetsTerminal, KeyFromTheFirstLevelOpensItsDoorFromTheBag) {
    DossierJeu dossier;
    const Chemin chemin = chemin_par_la_porte();
    ASSERT_FALSE(chemin.fleches.empty());
    ASSERT_EQ(chemin.cles().size(), 1u);
    const auto portes = chemin.portes();
    const auto porte_cle = std::ranges::find(portes, PORTE_CLE, &Rencontre::typeCase);
    ASSERT_NE(porte_cle, portes.end());
    const std::size_t pas_porte_cle = porte_cle->pas;
    const int numero = porte_cle->numero;
    ASSERT_EQ(chemin.cles()[0].numero, numero);

    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("1");
    ASSERT_TRUE(partie.attendre("Enter the name of your persona : "));
    partie.envoyer("hero\n");
    ASSERT_TRUE(partie.attendre("===> ? : "));
    partie.envoyer("0\n");
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("Score : 0 "));

    for (std::size_t pas = 0; pas < chemin.fleches.size(); ++pas) {
        const std::string fleche(touches_de(chemin.fleches[pas]));
        partie.envoyer(fleche);
        if (std::ranges::none_of(portes, [&](const Rencontre& r) { return r.pas == pas; })) {
            continue;
        }
        ASSERT_TRUE(partie.attendre("Open the door ?  y/n : ")) << "step " << pas;
        partie.envoyer("y");
        if (pas != pas_porte_cle) {
            continue;
        }
        const std::string besoin = "You need the key number : " + std::to_string(numero);
        ASSERT_TRUE(partie.attendre(besoin));
        ASSERT_TRUE(partie.attendre(INVITE));
        partie.envoyer(" ");
        // The key is the bag's only object; the score counts it (only what changed on the
        // screen is sent: the figure).
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
        ASSERT_TRUE(partie.attendre(INVITE));
        partie.envoyer(" ");
        ASSERT_TRUE(partie.attendre_ecran("Score : 10 "));
        // The doorway is open now: the same arrow steps into it.
        partie.envoyer(fleche);
    }

    // Out of the right edge into the second level, the score as the door left it.
    ASSERT_TRUE(partie.attendre_ecran("Level : 2 "));
    EXPECT_NE(partie.ecran().find("\nScore : 10       Level : 2 "), std::string::npos);
    EXPECT_EQ(partie.erreurs(), "");
}

} // namespace
} // namespace korva::test
