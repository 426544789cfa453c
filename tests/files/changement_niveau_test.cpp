#include "dungeon/plateau_essai.hpp"
#include "files/niveaux.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace korva {
namespace {

constexpr sCaseJeu TEMOIN{42, 7, 1};

struct FichierNiveau {
    const char* chemin;
    int niveau;
    int l;
    int c;
};

// Every level file, each with its hero in a column of its own so that the one loaded is known.
const std::vector<FichierNiveau> FICHIERS = {
    {"fichiers/niveaux/niveau1g.txt", 1, 20, 50}, {"fichiers/niveaux/niveau1d.txt", 1, 20, 50},
    {"fichiers/niveaux/niveau2g.txt", 2, 10, 50}, {"fichiers/niveaux/niveau2d.txt", 2, 10, 50},
    {"fichiers/niveaux/niveau3g.txt", 3, 30, 50}, {"fichiers/niveaux/niveau3d.txt", 3, 30, 50},
    {"fichiers/niveaux/niveau4g.txt", 4, 15, 50}, {"fichiers/niveaux/niveau4d.txt", 4, 15, 50},
    {"fichiers/niveaux/niveau5g.txt", 5, 12, 40},
};

int colonne_du_heros(std::size_t fichier) {
    return static_cast<int>(fichier) + 1;
}

void ecrire_niveaux(const test::DossierJeu& dossier) {
    for (std::size_t n = 0; n < FICHIERS.size(); ++n) {
        const FichierNiveau& f = FICHIERS[n];
        dossier.ecrire(f.chemin, test::texte_niveau(f.l, f.c, f.niveau, 1, colonne_du_heros(n)));
    }
}

// Which file is on the board, from where its hero stands; -1 when none of them is.
int fichier_charge(const Plateau& plateau, int l, int c) {
    for (std::size_t n = 0; n < FICHIERS.size(); ++n) {
        const FichierNiveau& f = FICHIERS[n];
        if (f.l == l && f.c == c && plateau[1][colonne_du_heros(n)].statutCase == STATUT_HEROS &&
            plateau[0][0].statutCase == f.niveau + DECALAGE_NIVEAU) {
            return static_cast<int>(n);
        }
    }
    return -1;
}

sPerso personnage() {
    sPerso p{};
    copier_nom(p.nom, "Ayla");
    p.corps = 8;
    p.score = 321;
    p.piecOr = 45;
    return p;
}

TEST(NouvelleCarte, KnowsTheLevelBySizeAlone) {
    const int cas[][3] = {{20, 50, 1}, {10, 50, 2}, {30, 50, 3}, {15, 50, 4},
                          {12, 40, 5}, {50, 20, 5}, {20, 49, 5}, {100, 100, 5}};
    for (const auto& k : cas) {
        EXPECT_EQ(niveau_selon_taille(k[0], k[1]), k[2]) << k[0] << " by " << k[1];
    }
}

TEST(NouvelleCarte, LoadsTheFileOfEveryLevelAndDirection) {
    const int AUCUN = -1; // no file: refusal or victory
    const int VICTOIRE = -2;
    struct Cas {
        int niveau;
        int direction;
        int attendu; // index into FICHIERS
    };
    const Cas cas[] = {
        {1, DEBUT_PARTIE, 0},       {1, FLECHE_HAUT, 2},       {1, FLECHE_BAS, 2},
        {1, FLECHE_DROITE, 2},      {1, FLECHE_GAUCHE, AUCUN}, {2, DEBUT_PARTIE, 4},
        {2, FLECHE_HAUT, 4},        {2, FLECHE_BAS, 4},        {2, FLECHE_DROITE, 4},
        {2, FLECHE_GAUCHE, 1},      {3, DEBUT_PARTIE, 6},      {3, FLECHE_HAUT, 6},
        {3, FLECHE_BAS, 6},         {3, FLECHE_DROITE, 6},     {3, FLECHE_GAUCHE, 3},
        {4, DEBUT_PARTIE, 8},       {4, FLECHE_HAUT, 8},       {4, FLECHE_BAS, 8},
        {4, FLECHE_DROITE, 8},      {4, FLECHE_GAUCHE, 5},     {5, DEBUT_PARTIE, VICTOIRE},
        {5, FLECHE_HAUT, VICTOIRE}, {5, FLECHE_BAS, VICTOIRE}, {5, FLECHE_DROITE, VICTOIRE},
        {5, FLECHE_GAUCHE, 7},
    };
    const int tailles[][2] = {{0, 0}, {20, 50}, {10, 50}, {30, 50}, {15, 50}, {12, 40}};
    test::DossierJeu dossier;
    ecrire_niveaux(dossier);
    for (const Cas& k : cas) {
        SCOPED_TRACE("level " + std::to_string(k.niveau) + ", direction " +
                     std::to_string(k.direction));
        test::ConsoleScriptee ecran;
        ecran.touche('x'); // for the pause of a refusal or of the victory screen
        auto plateau = test::plateau_rempli(TEMOIN);
        int l = tailles[k.niveau][0];
        int c = tailles[k.niveau][1];
        const int resultat = nouvellecarte(*plateau, l, c, k.direction, personnage());
        EXPECT_EQ(ecran.erreurs(), "");
        if (k.attendu >= 0) {
            EXPECT_EQ(resultat, 0);
            EXPECT_EQ(fichier_charge(*plateau, l, c), k.attendu);
            EXPECT_EQ(ecran.sortie(), "");
            EXPECT_EQ(ecran.reste(), 1u);
            continue;
        }
        EXPECT_EQ(std::make_pair(l, c), std::make_pair(tailles[k.niveau][0], tailles[k.niveau][1]));
        EXPECT_TRUE(test::memes_cases(*plateau, *test::plateau_rempli(TEMOIN)));
        EXPECT_EQ(ecran.reste(), 0u);
        if (k.attendu == AUCUN) {
            EXPECT_EQ(resultat, 0);
            EXPECT_EQ(ecran.sortie(), "\n\n!!!---------------------------- !!!\n\n"
                                      "Come, Come a little courage !!!\n<pause>");
        } else {
            EXPECT_EQ(resultat, 1);
            // The victory screen, with the character's final figures, ends on its pause.
            const std::string& sortie = ecran.sortie();
            EXPECT_EQ(sortie.substr(0, 5) + sortie.substr(sortie.size() - 7), "<cls><pause>");
            for (const char* morceau :
                 {"!!! CONGRATULATION your adventure is over !!!", "Your score : 321 \n",
                  "The nummber of gold coin : 45 \n"}) {
                EXPECT_NE(ecran.texte().find(morceau), std::string::npos) << morceau;
            }
        }
    }
}

TEST(NouvelleCarte, MissingOrBadLevelFileEndsThePlayOnThatBoard) {
    struct Cas {
        int l;
        int c;
        int direction;
        const char* fichier;
        const char* contenu; // nullptr: the file is missing
        std::string erreur;
    };
    const std::string absent = ": No such file or directory\n";
    const Cas cas[] = {
        {20, 50, DEBUT_PARTIE, "fichiers/niveaux/niveau1g.txt", nullptr, absent},
        {10, 50, FLECHE_DROITE, "fichiers/niveaux/niveau3g.txt", nullptr, absent},
        {12, 40, FLECHE_GAUCHE, "fichiers/niveaux/niveau4d.txt", nullptr, absent},
        // A level 2 file announcing more rows than it holds.
        {20, 50, FLECHE_HAUT, "fichiers/niveaux/niveau2g.txt", "10\n50\n{1,3,1},\n",
         ": not a valid level: "},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.fichier);
        test::DossierJeu dossier;
        ecrire_niveaux(dossier);
        if (k.contenu) {
            dossier.ecrire(k.fichier, k.contenu);
        } else {
            dossier.supprimer(k.fichier);
        }
        test::ConsoleScriptee ecran;
        ecran.touche(' ');
        auto plateau = test::plateau_rempli(TEMOIN);
        int l = k.l;
        int c = k.c;
        EXPECT_EQ(nouvellecarte(*plateau, l, c, k.direction, personnage()), 1);
        EXPECT_EQ(ecran.erreurs().rfind(k.fichier + k.erreur, 0), 0u) << ecran.erreurs();
        EXPECT_EQ(std::make_pair(l, c), std::make_pair(k.l, k.c));
        EXPECT_TRUE(test::memes_cases(*plateau, *test::plateau_rempli(TEMOIN)));
    }
}

} // namespace
} // namespace korva
