#include "characters/personnage.hpp"
#include "files/nom_joueur.hpp"
#include "files/sauvegarde.hpp"

#include "console/console.hpp"
#include "files/parties_de_test.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace korva {
namespace {

namespace fs = std::filesystem;
using namespace korva::test;

TEST(Sauvegarde, PathIsBuiltForAnyNameLength) {
    EXPECT_EQ(chemin_sauvegarde("Bob"), "fichiers/personnages/Bob.txt");
    const std::string long_nom(49, 'x');
    EXPECT_EQ(chemin_sauvegarde(long_nom), "fichiers/personnages/" + long_nom + ".txt");
}

TEST(Sauvegarde, FileIsLaidOutByteForByte) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    const Partie partie = petite_partie();
    EXPECT_EQ(texte_sauvegarde(*partie.plateau, partie.l, partie.c, partie.p, *partie.sacoche),
              SAUVEGARDE_BOB);
    attendre_ecrite(sauver(partie));
    EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), SAUVEGARDE_BOB);
    // Then the player's score goes into the registry.
    EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), "1\nBob 125\n");
    EXPECT_EQ(ecran.texte(), "");
}

// Saves `sauvee`, loads it back over a filled game and checks what the load gave.
Partie recharger(const Partie& sauvee) {
    test::ConsoleScriptee ecran;
    attendre_ecrite(sauver(sauvee));
    const Partie avant = partie_temoin();
    Partie chargee = copie(avant);
    EXPECT_EQ(charger(sauvee.p.nom, chargee), 0) << ecran.erreurs();
    attendre_charge(sauvee, avant, chargee);
    EXPECT_EQ(ecran.erreurs(), "");
    return chargee;
}

TEST(Sauvegarde, RoundTripGivesTheSameGame) {
    test::DossierJeu dossier;
    Partie sauvee = petite_partie();
    // The small game keeps the rest of the board and bag, and the potion its minus sign.
    Partie chargee = recharger(sauvee);
    EXPECT_EQ((*chargee.sacoche)[1].ob.puissance, -4);
    EXPECT_EQ(chargee.p.pouvoir, -2);

    // A full bag and a full board, so that every slot and cell travels.
    sauvee.l = TAILLE_PLATEAU;
    sauvee.c = TAILLE_PLATEAU;
    for (int i = 0; i < TAILLE_PLATEAU; ++i) {
        for (int j = 0; j < TAILLE_PLATEAU; ++j) {
            // Keys and locked doors always carry a key number.
            const int type = (i * 7 + j) % 15;
            const bool numerote = type == CLE || type == PORTE_CLE || (i + j) % 3 != 0;
            (*sauvee.plateau)[i][j] = {type, numerote ? 7 + j % 5 : 0, (i + j) % 2};
        }
    }
    (*sauvee.plateau)[42][17].statutCase = STATUT_HEROS;
    (*sauvee.sacoche)[0].nbObjet = OBJETS_MAX;
    for (int k = 1; k <= OBJETS_MAX; ++k) {
        mettre_objet(*sauvee.sacoche, k, k % 2 ? "potion" : "cle", k % 2 ? 0 : k, k % 7,
                     k % 2 ? k % 10 - 5 : 0);
    }
    copier_nom(sauvee.p.nom, std::string(LONGUEUR_NOM_MAX, 'N'));
    sauvee.p.piecOr = -2147483647 - 1;
    sauvee.p.score = 2147483647;
    recharger(sauvee);
}

TEST(Sauvegarde, EmptyBagAndALevelThreeGame) {
    test::DossierJeu dossier;
    Partie sauvee = petite_partie();
    (*sauvee.sacoche)[0].nbObjet = 0;
    EXPECT_EQ((*recharger(sauvee).sacoche)[0].nbObjet, 0);
    EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"),
              "2\n3\nBob\n2\n4\n7\n10\n11\n-2\n0\n125\n37\n"
              "0\n"
              "{1,2,1},{0,1,1},{12,13,0},\n"
              "{7,0,0},{6,13,1},{14,0,0},\n");

    sauvee.l = 30;
    sauvee.c = 50;
    for (int i = 0; i < 30; ++i) {
        for (int j = 0; j < 50; ++j) {
            (*sauvee.plateau)[i][j] = {i == 0 || j == 0 ? MUR_EXTERIEUR : CASE_VIDE, 0, 0};
        }
    }
    (*sauvee.plateau)[0][0].statutCase = 4;
    (*sauvee.plateau)[12][0] = {CASE_VIDE, STATUT_HEROS, 1};
    const Partie chargee = recharger(sauvee);
    EXPECT_EQ(chargee.l, 30);
    EXPECT_EQ(chargee.c, 50);
}

TEST(Sauvegarde, LoadedGameSavedAgainRewritesTheSameFile) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    // Written by hand, with the blank after each object's strength.
    const std::string texte = "3\n4\nAnna\n0\n9\n2\n3\n9\n4\n5\n60\n12\n"
                              "3\n"
                              "potion 0 6 -5 \n"
                              "cle 3 0 0 \n"
                              "potion 0 0 4 \n"
                              "{2,3,1},{1,0,1},{1,0,1},{1,0,1},\n"
                              "{1,0,1},{4,1,1},{8,0,0},{11,0,0},\n"
                              "{1,0,0},{13,0,0},{3,0,0},{5,0,0},\n";
    dossier.ecrire("fichiers/personnages/Anna.txt", texte);
    Partie partie = partie_temoin();
    ASSERT_EQ(charger("Anna", partie), 0) << ecran.erreurs();
    attendre_ecrite(sauver(partie));
    EXPECT_EQ(dossier.lire("fichiers/personnages/Anna.txt"), texte);
}

TEST(Sauvegarde, MissingSaveIsReported) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    const Partie avant = partie_temoin();
    Partie partie = copie(avant);
    EXPECT_EQ(charger("Nobody", partie), 1);
    EXPECT_EQ(ecran.erreurs(), "fichiers/personnages/Nobody.txt: No such file or directory\n");
    EXPECT_TRUE(identiques(partie, avant));
}

TEST(Sauvegarde, BadSaveFilesAreRefusedWithNothingChanged) {
    const std::string tete = "2\n3\nBob\n2\n4\n7\n10\n11\n-2\n0\n125\n37\n";
    const std::string cases = "{1,2,1},{0,1,1},{12,13,0},\n{7,0,0},{6,13,1},{14,0,0},\n";
    struct Cas {
        std::string texte;
        std::string raison;
    };
    // The cells are read and checked as a level's are (tested there): one case each way here.
    const std::vector<Cas> cas = {
        {"", "size (rows, then columns) is missing"},
        {"0\n3\nBob\n", "size 0 by 3 is outside 1 to 100"},
        {"101\n3\nBob\n", "size 101 by 3 is outside"},
        {"2\n-3\nBob\n", "size 2 by -3 is outside"},
        {"2\n3\n", "the character's name is missing"},
        {"2\n3\n" + std::string(50, 'B') + "\n", "name is longer than 49 characters"},
        {"2\n3\nAlice\n2\n", "the character's name is not \"Bob\""},
        {"2\n3\nbob\n2\n", "the character's name is not \"Bob\""},
        {"2\n3\nBob\n2\n4\nseven\n", "the character's intellect is missing or not a whole"},
        {"2\n3\nBob\n2\n4\n7\n10\n11\n-2\n0\n125\n", "the character's gold is missing"},
        {"2\n3\nBob\n2\n4\n7\n10\n11\n-2\n0\n9999999999\n37\n0\n" + cases,
         "the character's score is missing or not a whole number"},
        {tete, "number of objects in the bag is missing"},
        {tete + "-1\n" + cases, "the bag holds -1 objects, not 0 to 99"},
        {tete + "100\n" + cases, "the bag holds 100 objects, not 0 to 99"},
        {tete + "2\npotion 0 3 -4 \n", "object 2 of 2: the line is missing"},
        {tete + "2\npotion 0 3 -4 \ncle 7 0 \n" + cases, "object 2 of 2: the number, attribute"},
        {tete + "1\n" + std::string(50, 'p') + " 0 3 -4 \n" + cases,
         "object 1 of 1: the name is longer than 49"},
        {tete + "1\npo\x1btion 0 3 -4 \n" + cases, "object 1 of 1: the name holds a control"},
        {tete + "1\npotion 0 3 x \n" + cases, "object 1 of 1: the number, attribute"},
        {tete + "0\n", "the cells end at row 1, column 1"},
        {tete + "0\n{1,2,1},{0,1,1},{12,13,0},\n{7,0,0},{6,13,1},{14,0",
         "malformed cell record at row 2, column 3"},
        {tete + "0\n{1,2,1},{0,0,1},{12,13,0},\n{7,0,0},{6,13,1},{14,0,0},\n",
         "no cell holds the hero"},
        {tete + "0\n{1,2,1},{0,1,1},{12,13,0},\n{-1,0,0},{6,13,1},{14,0,0},\n",
         "row 2, column 1 has the unknown type -1"},
        {tete + "0\n" + cases + "{1,0,0},\n", "unexpected text after the last row"},
    };
    for (const Cas& un_cas : cas) {
        test::DossierJeu dossier;
        test::ConsoleScriptee ecran;
        dossier.ecrire("fichiers/personnages/Bob.txt", un_cas.texte);
        const Partie avant = partie_temoin();
        Partie partie = copie(avant);
        EXPECT_EQ(charger("Bob", partie), 1) << un_cas.texte;
        EXPECT_TRUE(identiques(partie, avant)) << un_cas.texte;
        EXPECT_EQ(ecran.erreurs().rfind("fichiers/personnages/Bob.txt: not a valid save: ", 0), 0u)
            << ecran.erreurs();
        EXPECT_NE(ecran.erreurs().find(un_cas.raison), std::string::npos)
            << ecran.erreurs() << " instead of " << un_cas.raison;
        EXPECT_EQ(ecran.erreurs().back(), '\n');
    }
    // The same text, whole, is a good save: each case above is bad for its own reason.
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    dossier.ecrire("fichiers/personnages/Bob.txt", tete + "0\n" + cases);
    Partie partie = partie_temoin();
    EXPECT_EQ(charger("Bob", partie), 0) << ecran.erreurs();
}

TEST(Sauvegarde, FormattedReadingAcceptsAnyWhiteSpace) {
    // The file is read with formats that skip white space, as the game always read it.
    const std::string texte = "  2 3\r\nBob 2 4 7 10 11 -2 0 +125 37\n\n1\n  potion 0\t3 -4\n"
                              "{1,2,1},{ 0, 1, 1},{12,13,0},\n\n{7,0,0},{6,13,1},{14,0,0},";
    auto plateau = std::make_unique<Plateau>();
    auto sacoche = std::make_unique<Sacoche>();
    sPerso p{};
    int l = 0;
    int c = 0;
    std::string erreur;
    ASSERT_TRUE(lire_sauvegarde(texte, "Bob", *plateau, l, c, p, *sacoche, erreur)) << erreur;
    EXPECT_EQ(l, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(p.score, 125);
    EXPECT_EQ((*sacoche)[1].ob.puissance, -4);
    EXPECT_EQ((*plateau)[0][1].statutCase, STATUT_HEROS);
}

TEST(Sauvegarde, NamesThatCouldLeaveThePlayersFolderAreRefused) {
    test::DossierJeu dossier;
    // A good save that a path with ".." would reach.
    dossier.ecrire("fichiers/x.txt", SAUVEGARDE_BOB);
    dossier.ecrire("fichiers/personnages/Bob.txt", SAUVEGARDE_BOB);
    const std::string trop_long(50, 'a');
    // The rule itself is the creation's, tested there; here every kind of name it refuses
    // must stop the load before any path is built.
    const std::vector<std::string> noms = {"",    trop_long, "../x",       "..\\x", "..",
                                           "B b", "Joueurs", "B\x1b[2Job", "a:b",   "CON"};
    for (const std::string& nom : noms) {
        std::string raison;
        ASSERT_FALSE(nom_valide(nom, raison)) << nom;
        test::ConsoleScriptee ecran;
        const Partie avant = partie_temoin();
        Partie partie = copie(avant);
        EXPECT_EQ(charger(nom.c_str(), partie), 1) << nom;
        EXPECT_EQ(ecran.erreurs(), "Cannot load the game: " + raison + "\n") << nom;
        EXPECT_TRUE(identiques(partie, avant)) << nom;
    }
    // A name field filled to its last byte without a terminator is too long, not overread.
    test::ConsoleScriptee ecran;
    nomPerso d;
    std::memset(d.nom, 'a', sizeof d.nom);
    Partie partie = partie_temoin();
    EXPECT_EQ(charger_carte_en_cour(d.nom, *partie.plateau, partie.l, partie.c, partie.p,
                                    *partie.sacoche),
              1);
    EXPECT_EQ(ecran.erreurs(), "Cannot load the game: the name is longer than 49 characters\n");
}

TEST(Sauvegarde, SavesUnderBadNamesOrOfBadGamesAreRefused) {
    struct Cas {
        const char* nom;
        bool sans_heros;
        std::string erreur;
    };
    const Cas cas[] = {
        // A character named after the registry would write over it.
        {"joueurs", false, "The game cannot be saved: the name is kept for the player registry\n"},
        {"../Bob", false, "The game cannot be saved: the name holds '/' or '\\'\n"},
        // A board without its hero could never be loaded again: the old save stays.
        {"Bob", true,
         "fichiers/personnages/Bob.txt: the game cannot be saved: no cell holds the hero\n"},
    };
    for (const Cas& k : cas) {
        test::DossierJeu dossier;
        dossier.ecrire("fichiers/personnages/Bob.txt", SAUVEGARDE_BOB);
        const std::string registre = dossier.lire("fichiers/personnages/joueurs.txt");
        test::ConsoleScriptee ecran;
        Partie partie = petite_partie();
        copier_nom(partie.p.nom, k.nom);
        (*partie.plateau)[0][1].statutCase = k.sans_heros ? 0 : STATUT_HEROS;
        EXPECT_EQ(sauver(partie), SAUVEGARDE_ECHOUEE);
        EXPECT_EQ(ecran.erreurs(), k.erreur);
        EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), SAUVEGARDE_BOB);
        EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
        EXPECT_FALSE(fs::exists("fichiers/Bob.txt"));
    }
}

TEST(Sauvegarde, ImpossibleSaveIsReportedAndTheGameGoesOn) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    fs::remove_all("fichiers/personnages");
    const Partie partie = petite_partie();
    // No process end: the turn loop goes on and says the save failed.
    EXPECT_EQ(sauver(partie), SAUVEGARDE_ECHOUEE);
    EXPECT_EQ(ecran.erreurs(), "fichiers/personnages/Bob.txt: No such file or directory\n");
    EXPECT_FALSE(fs::exists("fichiers/personnages"));
}

} // namespace
} // namespace korva
