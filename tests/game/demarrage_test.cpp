#include "console/affichage.hpp"
#include "game/jeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <functional>

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

int statut_de_sortie(ConsoleScriptee& ecran, const std::function<void()>& jeu) {
    try {
        jeu();
    } catch (const FinDuProcessus& fin) {
        return fin.statut;
    }
    ADD_FAILURE() << "the game did not end; it wrote:\n" << ecran.sortie();
    return -1;
}

TEST(MenuPrincipal, OnlyOneTwoAndThreeAnswerThreeSaysByeAndEndsWithStatusZero) {
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
    ecran.touche('3');
    EXPECT_EQ(statut_de_sortie(ecran, [] { menu_principal(); }), 0);
    EXPECT_EQ(ecran.ecran(), "\nBye Bye...\n");
    EXPECT_TRUE(ecran.sortie().ends_with("<cls>\nBye Bye...\n<sleep 1000><exit 0>"));
}

TEST(Demarrage, StartUpInItsOrderThenTheMenuEvenWithATitleFileMissing) {
    for (const char* absent : {"", "image.txt", "nom.txt"}) {
        SCOPED_TRACE(absent);
        DossierJeu dossier;
        const std::string image = dossier.lire("fichiers/presentation/image.txt");
        const std::string nom = dossier.lire("fichiers/presentation/nom.txt");
        std::string illustration = image + "\n" + nom + "\n\n\n";
        std::string erreurs;
        if (*absent != '\0') {
            dossier.supprimer(std::string("fichiers/presentation/") + absent);
            // The name is not tried when the picture is missing.
            illustration = *absent == 'i' ? "" : image + "\n";
            erreurs =
                std::string("fichiers/presentation/") + absent + ": No such file or directory\n";
        }
        ConsoleScriptee ecran;
        ecran.touche(' ').touche('3');
        EXPECT_EQ(statut_de_sortie(ecran, jeu_principal), 0);
        // The pause, the title and the menu come whatever is missing.
        const std::string attendu =
            "<color 15><size 50x110>" + illustration + "<pause><title KORVA !!!><cls>";
        EXPECT_EQ(ecran.sortie().substr(0, attendu.size()), attendu);
        EXPECT_NE(ecran.texte().find("Main Menu"), std::string::npos);
        EXPECT_EQ(ecran.erreurs(), erreurs);
    }
}

TEST(Demarrage, ShippedTitleArtFitsTheConsole) {
    DossierJeu dossier;
    for (const char* fichier : {"image.txt", "nom.txt"}) {
        const std::string texte = dossier.lire(std::string("fichiers/presentation/") + fichier);
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
