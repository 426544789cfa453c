#include "dungeon/plateau_essai.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "game/jeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace korva {
namespace {

constexpr const char* QUESTION = "\nBack-up of your game Y/N ? : ";
constexpr const char* ECHEC = "\nThe back-up of your game failed: your game goes on.\n";
constexpr const char* SAUVE = "\n\nBack-up of your game...\n";
constexpr const char* NOM = "Ayla";

// A game in progress on a level held in memory: walls round seen floor.
struct Partie {
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
    sPerso p{};
    std::unique_ptr<Sacoche> sacoche = std::make_unique<Sacoche>();

    Partie(int lignes, int colonnes, int niveau, int hi, int hj) {
        std::string erreur;
        EXPECT_TRUE(lire_niveau(test::texte_niveau(lignes, colonnes, niveau, hi, hj), *plateau, l,
                                c, erreur))
            << erreur;
        copier_nom(p.nom, NOM);
        p.corps = 6;
        (*sacoche)[0].nbObjet = 0;
    }
    int jouer() { return deroulement_jeu(*plateau, l, c, p, *sacoche, SERRURE_SANS_PORTE); }
    int statut(int i, int j) const { return (*plateau)[i][j].statutCase; }
};

// What was written between clears of the screen, the part before the first clear dropped.
std::vector<std::string> ecrans(const std::string& sortie) {
    std::vector<std::string> morceaux;
    const std::string cls = "<cls>";
    std::size_t p = sortie.find(cls);
    while (p != std::string::npos) {
        const std::size_t debut = p + cls.size();
        p = sortie.find(cls, debut);
        morceaux.push_back(sortie.substr(debut, p == std::string::npos ? p : p - debut));
    }
    return morceaux;
}

bool finit_par(const std::string& texte, const std::string& fin) {
    return texte.size() >= fin.size() &&
           texte.compare(texte.size() - fin.size(), fin.size(), fin) == 0;
}

// The screens of `partie` played to its end with `ecran`'s keys, every one of them used.
std::vector<std::string> jouer(test::ConsoleScriptee& ecran, Partie& partie) {
    EXPECT_EQ(partie.jouer(), 1);
    EXPECT_EQ(ecran.reste(), 0u);
    return ecrans(ecran.sortie());
}

// The same on a 5 by 6 level with the hero at (2,2).
std::vector<std::string> jouer(test::ConsoleScriptee& ecran, Partie&& partie = {5, 6, 5, 2, 2}) {
    return jouer(ecran, partie);
}

TEST(DeroulementJeu, ArrowPrefixCostsOneRedraw) {
    for (const int prefixe : {TOUCHE_PREFIXE, 0}) {
        SCOPED_TRACE(prefixe);
        test::ConsoleScriptee ecran;
        ecran.touche(prefixe).touche(FLECHE_DROITE).touches("qN");
        Partie partie(5, 6, 5, 2, 2);
        const std::vector<std::string> vues = jouer(ecran, partie);
        EXPECT_EQ(partie.statut(2, 3), STATUT_HEROS);
        ASSERT_EQ(vues.size(), 4u);
        EXPECT_EQ(vues[0], vues[1]);
        EXPECT_NE(vues[1], vues[2]);
        EXPECT_EQ(vues[3], QUESTION);
    }
}

TEST(DeroulementJeu, UpperCaseArrowLettersMoveAndOtherKeysDoNothing) {
    test::ConsoleScriptee ecran;
    ecran.touches("HHMPKK").touches("ISQx?").touche(FLECHE_HAUT + 256).touches("qN");
    Partie partie(8, 8, 5, 4, 3);
    const std::vector<std::string> vues = jouer(ecran, partie);
    // Up twice, right, down, left twice.
    EXPECT_EQ(partie.statut(3, 2), STATUT_HEROS);
    EXPECT_EQ(partie.statut(4, 3), 0);
    ASSERT_EQ(vues.size(), 14u);
    for (std::size_t n = 6; n < 12; ++n) {
        EXPECT_EQ(vues[n], vues[6]);
    }
    EXPECT_EQ(ecran.nombre("<pause>") + ecran.nombre("<sleep"), 0);
}

TEST(DeroulementJeu, HelpAndTheEmptyBagEachPauseOnce) {
    test::ConsoleScriptee ecran;
    ecran.touches("h ").touches("i ").touches("qN");
    const std::vector<std::string> vues = jouer(ecran);
    ASSERT_EQ(vues.size(), 6u);
    EXPECT_NE(vues[1].find("Move : \n "), std::string::npos);
    EXPECT_TRUE(finit_par(vues[1], " \x1A : right\n \n<pause>")) << vues[1];
    EXPECT_TRUE(finit_par(vues[3], "\nEMPTY \n\n<pause>")) << vues[3];
    EXPECT_EQ(ecran.nombre("<pause>"), 2);
}

TEST(DeroulementJeu, QuitAsksUntilUpperCaseAndNoLeavesAtOnce) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    ecran.touches("qynxN");
    const std::vector<std::string> vues = jouer(ecran);
    EXPECT_EQ(vues.back(), std::string(QUESTION) + QUESTION + QUESTION + QUESTION);
    EXPECT_EQ(ecran.nombre("<pause>") + ecran.nombre("<sleep"), 0);
    EXPECT_FALSE(std::filesystem::exists(chemin_sauvegarde(NOM)));
}

TEST(DeroulementJeu, SavingAtSOrAtQuitWaitsASecond) {
    {
        test::DossierJeu dossier;
        test::ConsoleScriptee ecran;
        // The key meant for a failure's pause is an unknown key for the next turn.
        ecran.touches("s qN");
        const std::vector<std::string> vues = jouer(ecran);
        ASSERT_EQ(vues.size(), 4u);
        EXPECT_TRUE(finit_par(vues[0], std::string(SAUVE) + "<sleep 1000>")) << vues[0];
        EXPECT_TRUE(std::filesystem::exists(chemin_sauvegarde(NOM)));
    }
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    ecran.touches("qY");
    const std::vector<std::string> vues = jouer(ecran);
    ASSERT_EQ(vues.size(), 2u);
    EXPECT_EQ(vues[1],
              std::string(QUESTION) + "\nBack-up of your game in progress... <sleep 1000>");
    EXPECT_TRUE(std::filesystem::exists(chemin_sauvegarde(NOM)));
}

TEST(DeroulementJeu, FailedSaveSaysSoAndTheGameGoesOn) {
    test::DossierJeu dossier;
    // Saving can only fail for a real save when its folder cannot hold files.
    const auto personnages = dossier.racine() / "fichiers" / "personnages";
    std::filesystem::remove_all(personnages);
    std::ofstream(personnages) << "not a folder";
    test::ConsoleScriptee ecran;
    ecran.touches("s qY MqN");
    Partie partie(5, 6, 5, 2, 2);
    const std::vector<std::string> vues = jouer(ecran, partie);
    ASSERT_EQ(vues.size(), 6u);
    EXPECT_TRUE(finit_par(vues[0], std::string(SAUVE) + ECHEC + "<pause>")) << vues[0];
    EXPECT_EQ(vues[2], std::string(QUESTION) + ECHEC + "<pause>");
    // The game went on after the failed save: the hero still walks.
    EXPECT_EQ(partie.statut(2, 3), STATUT_HEROS);
    EXPECT_EQ(vues[5], QUESTION);
    EXPECT_EQ(ecran.nombre("<sleep"), 0);
    EXPECT_EQ(ecran.texte().find("in progress"), std::string::npos);
}

TEST(DeroulementJeu, GoldFoundStaysWithTheGamesCharacter) {
    test::ConsoleScriptee ecran;
    ecran.touches("MMqN");
    Partie partie(5, 6, 5, 2, 1);
    (*partie.plateau)[2][2].typeCase = PIECE_OR;
    (*partie.plateau)[2][3].typeCase = PIECE_OR;
    const std::vector<std::string> vues = jouer(ecran, partie);
    ASSERT_EQ(vues.size(), 4u);
    int score = -1;
    int niveau = -1;
    int or_ = -1;
    const std::size_t p = vues[2].find("\nScore : ");
    ASSERT_NE(p, std::string::npos);
    ASSERT_EQ(std::sscanf(vues[2].c_str() + p, "\nScore : %d \t Level : %d  \t <color 14>Gold : %d",
                          &score, &niveau, &or_),
              3)
        << vues[2].substr(p);
    EXPECT_GE(or_, 2);
    EXPECT_LE(or_, 38);
    EXPECT_EQ(score, or_);
    EXPECT_EQ(niveau, 5);
}

TEST(DeroulementJeu, LeavingTheEntranceIsRefusedAndTheHeroStays) {
    test::ConsoleScriptee ecran;
    ecran.fleche(FLECHE_GAUCHE).touches(" qN");
    Partie partie(20, 50, 1, 5, 0);
    const std::vector<std::string> vues = jouer(ecran, partie);
    EXPECT_EQ(partie.statut(5, 0), STATUT_HEROS);
    ASSERT_EQ(vues.size(), 4u);
    EXPECT_TRUE(finit_par(vues[1], "\n\n!!!---------------------------- !!!\n\n"
                                   "Come, Come a little courage !!!\n<pause>"));
    EXPECT_EQ(vues[0], vues[2]);
    EXPECT_EQ(vues[3], QUESTION);
}

TEST(DeroulementJeu, SteppingOffAnEdgeLoadsTheNextLevel) {
    test::DossierJeu dossier;
    dossier.ecrire("fichiers/niveaux/niveau2g.txt", test::texte_niveau(10, 50, 2, 1, 3));
    test::ConsoleScriptee ecran;
    ecran.fleche(FLECHE_DROITE).touches("KqN");
    Partie partie(20, 50, 1, 5, 49);
    const std::vector<std::string> vues = jouer(ecran, partie);
    EXPECT_EQ(partie.statut(1, 2), STATUT_HEROS); // where the file put it, then one step left
    ASSERT_EQ(vues.size(), 5u);
    // The board view now draws the new level's ten rows.
    const std::size_t fin_plateau = vues[2].find("\nScore : ");
    ASSERT_NE(fin_plateau, std::string::npos);
    EXPECT_EQ(std::count(vues[2].begin(), vues[2].begin() + fin_plateau, '\n'), 10);
    EXPECT_NE(vues[2].find("Level : 2"), std::string::npos);
}

TEST(DeroulementJeu, TheEndOfTheDungeonOrAMissingLevelEndsTheGame) {
    {
        SCOPED_TRACE("victory");
        test::DossierJeu dossier;
        test::ConsoleScriptee ecran;
        ecran.fleche(FLECHE_DROITE).touche(' ');
        jouer(ecran, {6, 7, 5, 2, 6});
        EXPECT_NE(ecran.texte().find("CONGRATULATION"), std::string::npos);
        EXPECT_TRUE(finit_par(ecran.sortie(), "<pause>"));
        EXPECT_EQ(ecran.texte().find(QUESTION), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(chemin_sauvegarde(NOM)));
    }
    SCOPED_TRACE("missing level");
    test::DossierJeu dossier;
    dossier.supprimer("fichiers/niveaux/niveau2g.txt");
    test::ConsoleScriptee ecran;
    ecran.touche(FLECHE_BAS).touche(' ');
    Partie partie(20, 50, 1, 19, 4);
    EXPECT_EQ(partie.jouer(), 1);
    EXPECT_EQ(ecran.erreurs(), "fichiers/niveaux/niveau2g.txt: No such file or directory\n");
    EXPECT_EQ(ecran.texte().find(QUESTION), std::string::npos);
    EXPECT_EQ(partie.statut(19, 4), STATUT_HEROS);
}

} // namespace
} // namespace korva
