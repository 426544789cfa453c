// The real game on a terminal, played by the keys of the computed ways: a new game walks the
// first level into the second, saves, leaves, loads the save from the main menu and walks back
// into the first level.
#include "files/niveaux.hpp"
#include "support/dossier_jeu.hpp"
#include "support/jeu_du_chemin.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace korva::test {
namespace {

constexpr std::string_view INVITE = "Press any key to continue . . .";
constexpr std::string_view FIN_DU_PLATEAU = " q : save and quit";

// The way out of a level file from its hero, going round every monster.
Chemin chemin_du_fichier(const std::string& fichier, Sens sens) {
    auto plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
    EXPECT_EQ(charger_niveau(fichier, *plateau, l, c), 0) << fichier;
    const auto chemin = chemin_vers_bord(*plateau, l, c, sens);
    EXPECT_TRUE(chemin.has_value()) << fichier;
    EXPECT_EQ(chemin.value_or(Chemin{}).combats(), 0) << fichier << ": a fight on the way";
    return chemin.value_or(Chemin{});
}

// Plays the keys of a way. Only the bag's slot prompt throws typed-ahead keys away, so the slot
// is typed once the prompt shows; every other key may run ahead of the screen.
void jouer(PartieTerminal& partie, const Chemin& chemin, std::vector<int>& sac) {
    for (const Action& action : actions_du_chemin(chemin, sac)) {
        switch (action.genre) {
        case Action::fleche:
            partie.envoyer(touches_de(action.code));
            break;
        case Action::touche:
        case Action::pause:
            partie.envoyer(std::string(1, static_cast<char>(action.code)));
            break;
        case Action::emplacement:
            ASSERT_TRUE(partie.attendre("Enter the slot number (or 0 to exit): "));
            partie.envoyer(std::to_string(action.code) + "\n");
            break;
        }
    }
}

std::string plateau_affiche(PartieTerminal& partie) {
    const std::string ecran = partie.ecran();
    return ecran.substr(0, ecran.find(FIN_DU_PLATEAU));
}

TEST(PartieCompleteTerminal, FirstLevelIntoTheSecondSavedLoadedAndBack) {
    DossierJeu dossier;
    const Chemin aller = chemin_du_fichier("fichiers/niveaux/niveau1g.txt", Sens::avant);
    const Chemin retour = chemin_du_fichier("fichiers/niveaux/niveau2g.txt", Sens::arriere);
    ASSERT_FALSE(aller.fleches.empty());
    ASSERT_FALSE(retour.fleches.empty());
    // The first level's way opens a locked door with the key found on it.
    bool porte_a_cle = false;
    for (const Rencontre& r : aller.portes()) {
        porte_a_cle = porte_a_cle || r.typeCase == PORTE_CLE;
    }
    EXPECT_TRUE(porte_a_cle);

    PartieTerminal partie(dossier.racine());
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre_ecran("3 : quit"));
    partie.envoyer("1");
    ASSERT_TRUE(partie.attendre("Enter the name of your persona : "));
    partie.envoyer("Mira\n");
    ASSERT_TRUE(partie.attendre("===> ? : "));
    partie.envoyer("1\n");
    ASSERT_TRUE(partie.attendre("Be careful"));
    ASSERT_TRUE(partie.attendre(INVITE));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre_ecran("Level : 1 "));

    std::vector<int> sac;
    jouer(partie, aller, sac);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(partie.attendre_ecran("Level : 2 ")) << partie.ecran();
    const std::string plateau_sauve = plateau_affiche(partie);

    partie.envoyer("s");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game..."));
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran("3 : quit"));
    EXPECT_NE(dossier.lire("fichiers/personnages/joueurs.txt").find("Mira "), std::string::npos);

    partie.envoyer("2");
    ASSERT_TRUE(partie.attendre("Enter the location number of the player"));
    EXPECT_NE(partie.ecran().find("1 : Mira"), std::string::npos) << partie.ecran();
    partie.envoyer("1\n");
    ASSERT_TRUE(partie.attendre_ecran("Level : 2 "));
    // The loaded game shows the hero where it stood, with the same figures.
    EXPECT_EQ(plateau_affiche(partie), plateau_sauve);

    jouer(partie, retour, sac);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(partie.attendre_ecran("Level : 1 ")) << partie.ecran();
    partie.envoyer("q");
    ASSERT_TRUE(partie.attendre_ecran("Back-up of your game Y/N ? :"));
    partie.envoyer("N");
    ASSERT_TRUE(partie.attendre_ecran("3 : quit"));
    partie.envoyer("3");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_TRUE(partie.modes_restaures());
    EXPECT_EQ(partie.erreurs(), "");
}

} // namespace
} // namespace korva::test
