// A key found on the first level opens its door from the bag, played on the real game.
#include "files/niveaux.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/recherche_chemin.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace korva::test {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view INVITE = "Press any key to continue . . .";

std::string_view touches_de(int fleche) {
    switch (fleche) {
    case FLECHE_HAUT:
        return HAUT;
    case FLECHE_BAS:
        return BAS;
    case FLECHE_GAUCHE:
        return GAUCHE;
    default:
        return DROITE;
    }
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

// Character creation asks for a name and a class when it is there; a fixed hero otherwise.
void creer_le_heros(PartieTerminal& partie) {
    const std::size_t debut = partie.sortie().size();
    for (int essai = 0; essai < 100; ++essai) {
        if (partie.attendre("Enter the name of your persona : ", 100ms)) {
            partie.envoyer("hero\n");
            ASSERT_TRUE(partie.attendre("===> ? : "));
            partie.envoyer("0\n");
            return;
        }
        if (partie.sortie().find(INVITE, debut) != std::string::npos) {
            return;
        }
    }
    FAIL() << "neither character creation nor the first level came";
}

TEST(ObjetsTerminal, KeyFromTheFirstLevelOpensItsDoorFromTheBag) {
    DossierJeu dossier;
    const Chemin chemin = chemin_par_la_porte();
    ASSERT_FALSE(chemin.fleches.empty());
    ASSERT_EQ(chemin.cles().size(), 1u);
    const auto portes = chemin.portes();
    std::size_t pas_porte_cle = chemin.fleches.size();
    int numero = 0;
    for (const Rencontre& r : portes) {
        if (r.typeCase == PORTE_CLE) {
            ASSERT_EQ(pas_porte_cle, chemin.fleches.size()) << "one locked door only";
            pas_porte_cle = r.pas;
            numero = r.numero;
        }
    }
    ASSERT_LT(pas_porte_cle, chemin.fleches.size());
    ASSERT_EQ(chemin.cles()[0].numero, numero);

    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("1");
    creer_le_heros(partie);
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("Score : 0 "));

    for (std::size_t pas = 0; pas < chemin.fleches.size(); ++pas) {
        const std::string fleche(touches_de(chemin.fleches[pas]));
        partie.envoyer(fleche);
        bool porte = false;
        for (const Rencontre& r : portes) {
            porte = porte || r.pas == pas;
        }
        if (!porte) {
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
        // The key is the bag's only object; the score counts it.
        ASSERT_TRUE(partie.attendre("Score : 5 "));
        partie.envoyer("i");
        ASSERT_TRUE(partie.attendre("CONTENTS OF THE BAG:"));
        ASSERT_TRUE(partie.attendre("1 :\t cle " + std::to_string(numero) + " "));
        ASSERT_TRUE(partie.attendre("2 : return to the previous screen"));
        partie.envoyer("1");
        // Keys typed before the prompt would be thrown away: type the slot once it is asked.
        ASSERT_TRUE(partie.attendre("Enter the slot number (or 0 to exit): "));
        partie.envoyer("1\n");
        ASSERT_TRUE(partie.attendre("You use the number key : " + std::to_string(numero)));
        ASSERT_TRUE(partie.attendre("The door opens!"));
        ASSERT_TRUE(partie.attendre(INVITE));
        partie.envoyer(" ");
        ASSERT_TRUE(partie.attendre("Score : 10 "));
        // The doorway is open now: the same arrow steps into it.
        partie.envoyer(fleche);
    }

    // Out of the right edge into the second level, the score as the door left it.
    ASSERT_TRUE(partie.attendre("Score : 10 \t Level : 2 "));
    partie.envoyer("i");
    ASSERT_TRUE(partie.attendre("CONTENTS OF THE BAG:"));
    ASSERT_TRUE(partie.attendre("EMPTY"));
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" q");
    ASSERT_TRUE(partie.attendre("Back-up of your game Y/N ? : "));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("3");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_EQ(partie.erreurs(), "");
}

} // namespace
} // namespace korva::test
