#include "files/sauvegarde.hpp"

#include "console/console.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva {
namespace {

namespace fs = std::filesystem;

// A whole game as `main` holds it; the board lives on the heap.
struct Partie {
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    std::unique_ptr<Sacoche> sacoche = std::make_unique<Sacoche>();
    sPerso p{};
    int l = 0;
    int c = 0;
};

// Fills everything with a pattern that no save holds, so that any change shows.
Partie partie_temoin() {
    Partie partie;
    for (auto& rangee : *partie.plateau) {
        for (auto& cellule : rangee) {
            cellule = {77, 77, 77};
        }
    }
    for (auto& case_sac : *partie.sacoche) {
        case_sac.nbObjet = 55;
        copier_nom(case_sac.ob.nom, "temoin");
        case_sac.ob.numero = 55;
        case_sac.ob.attribut = 55;
        case_sac.ob.puissance = 55;
    }
    copier_nom(partie.p.nom, "Temoin");
    partie.p.classe = 55;
    partie.p.score = 55;
    partie.l = 55;
    partie.c = 55;
    return partie;
}

bool identiques(const Partie& a, const Partie& b) {
    return std::memcmp(a.plateau.get(), b.plateau.get(), sizeof(Plateau)) == 0 &&
           std::memcmp(a.sacoche.get(), b.sacoche.get(), sizeof(Sacoche)) == 0 &&
           std::memcmp(&a.p, &b.p, sizeof(sPerso)) == 0 && a.l == b.l && a.c == b.c;
}

Partie copie(const Partie& source) {
    Partie partie;
    *partie.plateau = *source.plateau;
    *partie.sacoche = *source.sacoche;
    partie.p = source.p;
    partie.l = source.l;
    partie.c = source.c;
    return partie;
}

void mettre_objet(Sacoche& sacoche, int rang, const char* nom, int numero, int attribut,
                  int puissance) {
    copier_nom(sacoche[rang].ob.nom, nom);
    sacoche[rang].ob.numero = numero;
    sacoche[rang].ob.attribut = attribut;
    sacoche[rang].ob.puissance = puissance;
}

// A game of "Bob" on a 2 by 3 board with a potion of negative strength and a key.
Partie petite_partie() {
    Partie partie = partie_temoin();
    partie.l = 2;
    partie.c = 3;
    (*partie.plateau)[0][0] = {MUR_EXTERIEUR, 2, 1};
    (*partie.plateau)[0][1] = {CASE_VIDE, STATUT_HEROS, 1};
    (*partie.plateau)[0][2] = {CLE, 13, 0};
    (*partie.plateau)[1][0] = {MONSTRE, 0, 0};
    (*partie.plateau)[1][1] = {PORTE_CLE, 13, 1};
    (*partie.plateau)[1][2] = {GARDIEN, 0, 0};
    copier_nom(partie.p.nom, "Bob");
    partie.p.classe = 2;
    partie.p.corps = 4;
    partie.p.intellect = 7;
    partie.p.esprit = 10;
    partie.p.endurance = 11;
    partie.p.pouvoir = -2;
    partie.p.habilete = 0;
    partie.p.score = 125;
    partie.p.piecOr = 37;
    (*partie.sacoche)[0].nbObjet = 2;
    mettre_objet(*partie.sacoche, 1, "potion", 0, 3, -4);
    mettre_objet(*partie.sacoche, 2, "cle", 7, 0, 0);
    return partie;
}

const std::string SAUVEGARDE_BOB = "2\n"
                                   "3\n"
                                   "Bob\n"
                                   "2\n4\n7\n10\n11\n-2\n0\n125\n37\n"
                                   "2\n"
                                   "potion 0 3 -4 \n"
                                   "cle 7 0 0 \n"
                                   "{1,2,1},{0,1,1},{12,13,0},\n"
                                   "{7,0,0},{6,13,1},{14,0,0},\n";

int sauver(const Partie& partie) {
    return sauvegarde_carte_en_cour(*partie.plateau, partie.l, partie.c, partie.p, *partie.sacoche);
}

int charger(const char* nom, Partie& partie) {
    return charger_carte_en_cour(nom, *partie.plateau, partie.l, partie.c, partie.p,
                                 *partie.sacoche);
}

// What a load must give: the saved game where a save lays it, the rest of `avant` untouched.
void attendre_charge(const Partie& sauvee, const Partie& avant, const Partie& chargee) {
    ASSERT_EQ(chargee.l, sauvee.l);
    ASSERT_EQ(chargee.c, sauvee.c);
    for (int i = 0; i < TAILLE_PLATEAU; ++i) {
        for (int j = 0; j < TAILLE_PLATEAU; ++j) {
            const bool dedans = i < sauvee.l && j < sauvee.c;
            const sCaseJeu& attendue = dedans ? (*sauvee.plateau)[i][j] : (*avant.plateau)[i][j];
            const sCaseJeu& lue = (*chargee.plateau)[i][j];
            ASSERT_TRUE(lue.typeCase == attendue.typeCase &&
                        lue.statutCase == attendue.statutCase && lue.visible == attendue.visible)
                << "cell " << i << "," << j;
        }
    }
    EXPECT_STREQ(chargee.p.nom, sauvee.p.nom);
    EXPECT_EQ(std::memcmp(&chargee.p.classe, &sauvee.p.classe, 9 * sizeof(int)), 0);
    const int n = (*sauvee.sacoche)[0].nbObjet;
    EXPECT_EQ((*chargee.sacoche)[0].nbObjet, n);
    for (int k = 1; k < TAILLE_SAC; ++k) {
        const unObjet& attendu = k <= n ? (*sauvee.sacoche)[k].ob : (*avant.sacoche)[k].ob;
        const unObjet& lu = (*chargee.sacoche)[k].ob;
        EXPECT_STREQ(lu.nom, attendu.nom) << "slot " << k;
        EXPECT_EQ(lu.numero, attendu.numero) << "slot " << k;
        EXPECT_EQ(lu.attribut, attendu.attribut) << "slot " << k;
        EXPECT_EQ(lu.puissance, attendu.puissance) << "slot " << k;
        // Only slot 0's count means anything; the others' are left as they were.
        EXPECT_EQ((*chargee.sacoche)[k].nbObjet, (*avant.sacoche)[k].nbObjet) << "slot " << k;
    }
}

// The registry's result is not this file's concern: a save is done once its file is written.
void attendre_ecrite(int resultat) {
    EXPECT_TRUE(resultat == SAUVEGARDE_FAITE || resultat == SAUVEGARDE_REGISTRE_ECHOUE) << resultat;
}

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
    EXPECT_EQ(ecran.texte(), "");
    // The new file replaced the old one whole: nothing is left beside it.
    for (const auto& entree : fs::directory_iterator("fichiers/personnages")) {
        const std::string nom = entree.path().filename().string();
        EXPECT_TRUE(nom == "Bob.txt" || nom.rfind("joueurs.txt", 0) == 0 || nom == ".gitkeep")
            << nom;
    }
}

TEST(Sauvegarde, RoundTripGivesTheSameGame) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    Partie sauvee = petite_partie();
    // A full bag and a full board, so that every slot and cell travels.
    sauvee.l = TAILLE_PLATEAU;
    sauvee.c = TAILLE_PLATEAU;
    for (int i = 0; i < TAILLE_PLATEAU; ++i) {
        for (int j = 0; j < TAILLE_PLATEAU; ++j) {
            (*sauvee.plateau)[i][j] = {(i * 7 + j) % 15, (i + j) % 3 == 0 ? 0 : 7 + j % 5,
                                       (i + j) % 2};
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
    attendre_ecrite(sauver(sauvee));

    const Partie avant = partie_temoin();
    Partie chargee = copie(avant);
    ASSERT_EQ(charger(sauvee.p.nom, chargee), 0) << ecran.erreurs();
    attendre_charge(sauvee, avant, chargee);
    EXPECT_EQ(ecran.erreurs(), "");
}

TEST(Sauvegarde, SmallGamesKeepTheRestOfTheBoardAndBag) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    const Partie sauvee = petite_partie();
    attendre_ecrite(sauver(sauvee));
    const Partie avant = partie_temoin();
    Partie chargee = copie(avant);
    ASSERT_EQ(charger("Bob", chargee), 0) << ecran.erreurs();
    attendre_charge(sauvee, avant, chargee);
    // The potion keeps its minus sign.
    EXPECT_EQ((*chargee.sacoche)[1].ob.puissance, -4);
    EXPECT_EQ(chargee.p.pouvoir, -2);
}

TEST(Sauvegarde, EmptyBagIsFollowedByTheBoard) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    Partie sauvee = petite_partie();
    (*sauvee.sacoche)[0].nbObjet = 0;
    attendre_ecrite(sauver(sauvee));
    const std::string texte = dossier.lire("fichiers/personnages/Bob.txt");
    EXPECT_EQ(texte, "2\n3\nBob\n2\n4\n7\n10\n11\n-2\n0\n125\n37\n"
                     "0\n"
                     "{1,2,1},{0,1,1},{12,13,0},\n"
                     "{7,0,0},{6,13,1},{14,0,0},\n");
    const Partie avant = partie_temoin();
    Partie chargee = copie(avant);
    ASSERT_EQ(charger("Bob", chargee), 0) << ecran.erreurs();
    attendre_charge(sauvee, avant, chargee);
    EXPECT_EQ((*chargee.sacoche)[0].nbObjet, 0);
}

TEST(Sauvegarde, GameSavedInLevelThreeLoadsThirtyByFifty) {
    test::DossierJeu dossier;
    test::ConsoleScriptee ecran;
    Partie sauvee = petite_partie();
    sauvee.l = 30;
    sauvee.c = 50;
    for (int i = 0; i < 30; ++i) {
        for (int j = 0; j < 50; ++j) {
            (*sauvee.plateau)[i][j] = {i == 0 || j == 0 ? MUR_EXTERIEUR : CASE_VIDE, 0, 0};
        }
    }
    (*sauvee.plateau)[0][0].statutCase = 4;
    (*sauvee.plateau)[12][0] = {CASE_VIDE, STATUT_HEROS, 1};
    attendre_ecrite(sauver(sauvee));
    Partie chargee = partie_temoin();
    ASSERT_EQ(charger("Bob", chargee), 0) << ecran.erreurs();
    EXPECT_EQ(chargee.l, 30);
    EXPECT_EQ(chargee.c, 50);
    EXPECT_EQ((*chargee.plateau)[0][0].statutCase, 4);
    EXPECT_EQ((*chargee.plateau)[12][0].statutCase, STATUT_HEROS);
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
    const std::vector<Cas> cas = {
        {"", "size (rows, then columns) is missing"},
        {"2\n", "size (rows, then columns) is missing"},
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
        {tete + "0\n{1,2,1},{0,1,1},{12,13,0},\n{7,0,0},{6,13,1},",
         "the cells end at row 2, column 3"},
        {tete + "0\n{1,2,1},{0,1,1},{12,13,0},\n{7,0,0},{6,13,1},{14,0",
         "malformed cell record at row 2, column 3"},
        {tete + "0\n{1,2,1},{0,1},{12,13,0},\n{7,0,0},{6,13,1},{14,0,0},\n",
         "malformed cell record at row 1, column 2"},
        {tete + "0\n{1,2,1},{0,1,1} ,{12,13,0},\n{7,0,0},{6,13,1},{14,0,0},\n",
         "malformed cell record at row 1, column 2"},
        {tete + "0\n{1,2,1},{0,0,1},{12,13,0},\n{7,0,0},{6,13,1},{14,0,0},\n",
         "no cell holds the hero"},
        {tete + "0\n{1,2,1},{0,1,1},{12,13,0},\n{7,0,0},{6,1,1},{14,0,0},\n",
         "2 cells hold the hero"},
        {tete + "0\n{1,2,1},{0,1,1},{15,13,0},\n{7,0,0},{6,13,1},{14,0,0},\n",
         "row 1, column 3 has the unknown type 15"},
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
    const std::vector<std::pair<std::string, std::string>> noms = {
        {"", "the name is empty"},
        {trop_long, "the name is longer than 49 characters"},
        {"../x", "the name holds a '/' or a '\\'"},
        {"..\\x", "the name holds a '/' or a '\\'"},
        {"a/Bob", "the name holds a '/' or a '\\'"},
        {".", "the name \".\" is not a file name"},
        {"..", "the name \"..\" is not a file name"},
        {"Bob Bob", "the name holds white space or a control character"},
        {"Bob\t", "the name holds white space or a control character"},
        {"B\x1b[2Job", "the name holds white space or a control character"},
        {"B\x7fob", "the name holds white space or a control character"},
        {"joueurs", "the name \"joueurs\" is the player registry's own"},
        {"Joueurs", "the name \"Joueurs\" is the player registry's own"},
    };
    for (const auto& [nom, raison] : noms) {
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
    test::DossierJeu dossier;
    const std::string registre = dossier.lire("fichiers/personnages/joueurs.txt");
    {
        // A character named after the registry would write over it.
        test::ConsoleScriptee ecran;
        Partie partie = petite_partie();
        copier_nom(partie.p.nom, "joueurs");
        EXPECT_EQ(sauver(partie), SAUVEGARDE_ECHOUEE);
        EXPECT_EQ(ecran.erreurs(),
                  "The game cannot be saved: the name \"joueurs\" is the player registry's own\n");
        EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
    }
    {
        test::ConsoleScriptee ecran;
        Partie partie = petite_partie();
        copier_nom(partie.p.nom, "../Bob");
        EXPECT_EQ(sauver(partie), SAUVEGARDE_ECHOUEE);
        EXPECT_EQ(ecran.erreurs(), "The game cannot be saved: the name holds a '/' or a '\\'\n");
        EXPECT_FALSE(fs::exists("fichiers/Bob.txt"));
    }
    {
        // A board without its hero could never be loaded again: the old save stays.
        dossier.ecrire("fichiers/personnages/Bob.txt", SAUVEGARDE_BOB);
        test::ConsoleScriptee ecran;
        Partie partie = petite_partie();
        (*partie.plateau)[0][1].statutCase = 0;
        EXPECT_EQ(sauver(partie), SAUVEGARDE_ECHOUEE);
        EXPECT_EQ(ecran.erreurs(), "fichiers/personnages/Bob.txt: the game cannot be saved: no "
                                   "cell holds the hero\n");
        EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), SAUVEGARDE_BOB);
        EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
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

// Runs `action` in a child process after `limiter`, with a console of its own; returns the
// action's result and what it wrote on the error stream.
struct Enfant {
    int resultat = -1;
    std::string erreurs;
    int statut = -1;
};

Enfant dans_un_enfant(const std::function<void()>& limiter, const std::function<int()>& action) {
    int tube[2];
    if (::pipe(tube) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(tube[0]);
        int resultat = -1;
        std::string erreurs;
        {
            test::ConsoleScriptee ecran;
            // The undefined-behaviour checker opens a pipe the first time it checks a call
            // through the console; have that done while descriptors are left.
            console().ecrire_erreur({});
            limiter();
            resultat = action();
            erreurs = ecran.erreurs();
        }
        std::string message(reinterpret_cast<const char*>(&resultat), sizeof resultat);
        message += erreurs;
        const ssize_t ecrit = ::write(tube[1], message.data(), message.size());
        ::_exit(ecrit == static_cast<ssize_t>(message.size()) ? 0 : 3);
    }
    ::close(tube[1]);
    std::string recu;
    char tampon[4096];
    ssize_t n = 0;
    while ((n = ::read(tube[0], tampon, sizeof tampon)) > 0) {
        recu.append(tampon, static_cast<std::size_t>(n));
    }
    ::close(tube[0]);
    Enfant enfant;
    ::waitpid(pid, &enfant.statut, 0);
    if (recu.size() >= sizeof(int)) {
        std::memcpy(&enfant.resultat, recu.data(), sizeof(int));
        enfant.erreurs = recu.substr(sizeof(int));
    }
    return enfant;
}

// Files larger than `octets` cannot be written; the write fails partway instead of a signal.
void limiter_taille(rlim_t octets) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limite{octets, octets};
    ::setrlimit(RLIMIT_FSIZE, &limite);
}

std::vector<std::string> contenu_du_dossier(const std::string& dossier) {
    std::vector<std::string> noms;
    for (const auto& entree : fs::directory_iterator(dossier)) {
        noms.push_back(entree.path().filename().string());
    }
    std::sort(noms.begin(), noms.end());
    return noms;
}

TEST(Sauvegarde, WriteFailingPartwayLeavesThePreviousSaveWhole) {
    test::DossierJeu dossier;
    dossier.ecrire("fichiers/personnages/Bob.txt", SAUVEGARDE_BOB);
    const std::string registre = dossier.lire("fichiers/personnages/joueurs.txt");
    const auto avant = contenu_du_dossier("fichiers/personnages");
    Partie partie = petite_partie();
    partie.l = 20;
    partie.c = 50; // about 8 KB, cut at 4 KB
    for (int i = 0; i < partie.l; ++i) {
        for (int j = 0; j < partie.c; ++j) {
            (*partie.plateau)[i][j] = {CASE_VIDE, i == 5 && j == 5 ? STATUT_HEROS : 0, 0};
        }
    }
    const Enfant enfant =
        dans_un_enfant([] { limiter_taille(4096); }, [&partie] { return sauver(partie); });
    EXPECT_EQ(enfant.statut, 0);
    EXPECT_EQ(enfant.resultat, SAUVEGARDE_ECHOUEE);
    EXPECT_EQ(enfant.erreurs, "fichiers/personnages/Bob.txt: File too large\n");
    EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), SAUVEGARDE_BOB);
    EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
    EXPECT_EQ(contenu_du_dossier("fichiers/personnages"), avant); // no temporary file left
}

TEST(Sauvegarde, NoFileLeftToOpenLeavesThePreviousSaveWhole) {
    test::DossierJeu dossier;
    dossier.ecrire("fichiers/personnages/Bob.txt", SAUVEGARDE_BOB);
    const std::string registre = dossier.lire("fichiers/personnages/joueurs.txt");
    const Partie partie = petite_partie();
    const Enfant enfant = dans_un_enfant(
        [] {
            // Every descriptor from the lowest free one up is refused.
            const int libre = ::dup(2);
            ::close(libre);
            const rlimit limite{static_cast<rlim_t>(libre), static_cast<rlim_t>(libre)};
            ::setrlimit(RLIMIT_NOFILE, &limite);
        },
        [&partie] { return sauver(partie); });
    EXPECT_EQ(enfant.statut, 0);
    EXPECT_EQ(enfant.resultat, SAUVEGARDE_ECHOUEE);
    EXPECT_EQ(enfant.erreurs, "fichiers/personnages/Bob.txt: Too many open files\n");
    EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), SAUVEGARDE_BOB);
    EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
}

TEST(Sauvegarde, RegistryFailingPartwayKeepsTheNewSaveAndTheOldRegistry) {
    test::DossierJeu dossier;
    // A registry larger than the limit, a save smaller than it.
    std::string registre = "100\n";
    for (int i = 0; i < 100; ++i) {
        registre += "joueur" + std::to_string(i) + " " + std::to_string(1000 - i) + "\n";
    }
    dossier.ecrire("fichiers/personnages/joueurs.txt", registre);
    Partie partie = petite_partie();
    const std::string attendu =
        texte_sauvegarde(*partie.plateau, partie.l, partie.c, partie.p, *partie.sacoche);
    ASSERT_LT(attendu.size(), 512u);
    ASSERT_GT(registre.size(), 512u);
    const Enfant enfant =
        dans_un_enfant([] { limiter_taille(512); }, [&partie] { return sauver(partie); });
    EXPECT_EQ(enfant.statut, 0);
    EXPECT_EQ(enfant.resultat, SAUVEGARDE_REGISTRE_ECHOUE);
    EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), attendu);
    EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
}

} // namespace
} // namespace korva
