#include "console/affichage.hpp"
#include "core/jeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

namespace korva {
namespace {

using test::ConsoleScriptee;
using test::DossierJeu;
using test::FinDuProcessus;

const std::string MENU = "\n\n A KORVA-LIKE DUNGEON CRAWLER !!!  \n "
                         "\n\n"
                         "------------------------------------- \n "
                         "\n Main Menu : \n "
                         "\n"
                         "\n 1 : new game  \n "
                         "\n 2 : load a game  \n "
                         "\n 3 : quit  \n "
                         "\n\n"
                         "------------------------------------- \n ";

int statut_de_sortie(ConsoleScriptee& ecran, void (*jeu)()) {
    try {
        jeu();
    } catch (const FinDuProcessus& fin) {
        return fin.statut;
    }
    ADD_FAILURE() << "the game did not end; it wrote:\n" << ecran.sortie();
    return -1;
}

TEST(MenuPrincipal, OnlyOneTwoAndThreeAnswer) {
    ConsoleScriptee ecran;
    ecran.touche('4').touche('a').touche(224).touche(72).touche('1');
    EXPECT_EQ(menu_principal(), MENU_NOUVELLE_PARTIE);
    // Four refused key codes (the arrow counts twice), so five menus in all.
    EXPECT_EQ(ecran.nombre("<cls>"), 5);
    EXPECT_EQ(ecran.nombre("<flush>"), 5);
    EXPECT_EQ(ecran.ecran(), MENU);
    // The heading is light magenta, the rest white.
    EXPECT_EQ(ecran.attributs()[ecran.texte().rfind("A KORVA")], MAGENTA_CLAIR);
    EXPECT_EQ(ecran.attributs()[ecran.texte().rfind("Main Menu")], BLANC);

    ecran.touche('2');
    EXPECT_EQ(menu_principal(), MENU_CHARGER_PARTIE);
}

TEST(MenuPrincipal, ThreeSaysByeWaitsOneSecondAndEndsWithStatusZero) {
    ConsoleScriptee ecran;
    ecran.touche('3');
    try {
        menu_principal();
        FAIL() << "quitting must end the process";
    } catch (const FinDuProcessus& fin) {
        EXPECT_EQ(fin.statut, 0);
    }
    EXPECT_EQ(ecran.ecran(), "\nBye Bye...\n");
    EXPECT_TRUE(ecran.sortie().ends_with("<cls>\nBye Bye...\n<sleep 1000><exit 0>"));
}

TEST(Demarrage, StartUpInItsOrderThenTheMenu) {
    DossierJeu dossier;
    ConsoleScriptee ecran;
    ecran.touche(' ').touche('3');
    EXPECT_EQ(statut_de_sortie(ecran, jeu_principal), 0);

    const std::string image = dossier.lire("fichiers/presentation/image.txt");
    const std::string nom = dossier.lire("fichiers/presentation/nom.txt");
    const std::string attendu =
        "<color 15><size 50x110>" + image + "\n" + nom + "\n\n\n<pause><title KORVA !!!><cls>";
    EXPECT_EQ(ecran.sortie().substr(0, attendu.size()), attendu);
    EXPECT_TRUE(ecran.erreurs().empty()) << ecran.erreurs();
}

TEST(Demarrage, MissingTitlePictureIsReportedAndTheGameStillStarts) {
    DossierJeu dossier;
    dossier.supprimer("fichiers/presentation/image.txt");
    ConsoleScriptee ecran;
    ecran.touche(' ').touche('3');
    EXPECT_EQ(statut_de_sortie(ecran, jeu_principal), 0);
    EXPECT_EQ(ecran.erreurs(), "fichiers/presentation/image.txt: No such file or directory\n");
    // The name file is not tried; the pause, the title and the menu still come.
    EXPECT_TRUE(ecran.sortie().starts_with("<color 15><size 50x110><pause><title KORVA !!!><cls>"));
    EXPECT_NE(ecran.texte().find("Main Menu"), std::string::npos);
}

TEST(Demarrage, MissingTitleNameIsReportedAfterThePicture) {
    DossierJeu dossier;
    dossier.supprimer("fichiers/presentation/nom.txt");
    ConsoleScriptee ecran;
    EXPECT_EQ(chargement_illustration(), 1);
    EXPECT_EQ(ecran.texte(), dossier.lire("fichiers/presentation/image.txt") + "\n");
    EXPECT_EQ(ecran.erreurs(), "fichiers/presentation/nom.txt: No such file or directory\n");
}

TEST(Demarrage, ShippedTitleArtFitsTheConsole) {
    for (const char* fichier : {"presentation/image.txt", "presentation/nom.txt"}) {
        DossierJeu dossier;
        const std::string texte = dossier.lire(std::string("fichiers/") + fichier);
        ASSERT_FALSE(texte.empty()) << fichier;
        std::size_t debut = 0;
        int lignes = 0;
        for (std::size_t fin = texte.find('\n'); fin != std::string::npos;
             debut = fin + 1, fin = texte.find('\n', debut)) {
            EXPECT_LE(fin - debut, 110u) << fichier << " line " << lignes + 1;
            ++lignes;
        }
        EXPECT_LE(lignes, 20) << fichier;
    }
}

} // namespace
} // namespace korva
