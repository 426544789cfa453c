// A whole game played through the scripted console: a new hero walks the five levels along the
// ways the level search computes, opens doors, takes what lies on the way, saves, quits, loads
// the save from the main menu, plays on and steps out of the last level to the victory screen.
#include "characters/personnage.hpp"
#include "characters/registre.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "game/jeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"
#include "support/jeu_du_chemin.hpp"
#include "support/recherche_chemin.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace korva {
namespace {

using test::Chemin;
using test::ConsoleScriptee;
using test::DossierJeu;
using test::FinDuProcessus;

constexpr int NIVEAUX = 5;
constexpr int NIVEAU_DE_LA_SAUVEGARDE = 3; // the game is saved on entering this level
// A hero no monster can wound: its skill alone beats any monster's roll.
constexpr int HABILETE_INVINCIBLE = 100;
constexpr int ENDURANCE_DE_DEPART = 100;
constexpr int CARACTERISTIQUE_PRINCIPALE = 10; // Intellect 10 reads every parchment
constexpr int POINTS_PAR_OBJET = 5;
constexpr int POINTS_PAR_COMBAT = 50;

// What the walk resolves, counted as the player sees it happen.
struct Compte {
    int objets = 0; // potions, keys, armor, swords and parchments: 5 points each
    int portes_a_cle = 0;
    int combats = 0;
    int armures = 0;
    int epees = 0;
};

// The figures of the status block under the board, or of the victory screen.
struct Figures {
    int score, or_, corps, intellect, esprit, endurance, pouvoir, habilete;
    bool operator==(const Figures&) const = default;
};

Figures figures_du_plateau(const std::string& ecran) {
    Figures f{};
    const std::size_t p = ecran.rfind("\nScore : ");
    EXPECT_NE(p, std::string::npos) << ecran;
    int niveau = 0;
    std::sscanf(
        ecran.c_str() + p,
        "\nScore : %d \t Level : %d  \t Gold : %d \n\nBody : %d \t Intellect : %d \t Mind : "
        "%d \n\nEndurance : %d \t Power : %d \t Skill : %d",
        &f.score, &niveau, &f.or_, &f.corps, &f.intellect, &f.esprit, &f.endurance, &f.pouvoir,
        &f.habilete);
    return f;
}

Figures figures_de_victoire(const std::string& ecran) {
    Figures f{};
    const int lus = std::sscanf(
        ecran.c_str(),
        "!!! CONGRATULATION your adventure is over !!! \n \n\n\nYour score : %d \n\nThe nummber of "
        "gold coin : %d \n\nThe main features of your character are final: \n Body :\t %d \n "
        "Intellect :\t %d \n Mind :\t %d \n \n\nThe derived are : \n Endurance :\t %d \n Power "
        ":\t %d \n Skill :\t %d",
        &f.score, &f.or_, &f.corps, &f.intellect, &f.esprit, &f.endurance, &f.pouvoir, &f.habilete);
    EXPECT_EQ(lus, 8) << ecran;
    return f;
}

// Counts what the walk resolves, and queues its keys; pauses answer themselves.
void jouer(ConsoleScriptee& ecran, const Chemin& chemin, std::vector<int>& sac, Compte& compte) {
    for (const test::Rencontre& r : chemin.rencontres) {
        const bool objet = r.typeCase == POTION || r.typeCase == CLE || r.typeCase == ARMURE ||
                           r.typeCase == EPEE || r.typeCase == PARCHEMIN;
        compte.objets += objet ? 1 : 0;
        compte.portes_a_cle += r.typeCase == PORTE_CLE ? 1 : 0;
        compte.combats += r.typeCase == MONSTRE || r.typeCase == GARDIEN ? 1 : 0;
        compte.armures += r.typeCase == ARMURE ? 1 : 0;
        compte.epees += r.typeCase == EPEE ? 1 : 0;
    }
    for (const test::Action& action : test::actions_du_chemin(chemin, sac)) {
        switch (action.genre) {
        case test::Action::fleche:
            ecran.fleche(action.code);
            break;
        case test::Action::touche:
            ecran.touche(action.code);
            break;
        case test::Action::emplacement:
            ecran.ligne(std::to_string(action.code));
            break;
        case test::Action::pause:
            break;
        }
    }
}

// The walk forward through level `n`, from the hero's start in its forward file.
Chemin chemin_du_niveau(int n) {
    auto plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
    const std::string fichier = "fichiers/niveaux/niveau" + std::to_string(n) + "g.txt";
    EXPECT_EQ(charger_niveau(fichier, *plateau, l, c), 0) << fichier;
    const auto chemin = test::chemin_vers_bord(*plateau, l, c, test::Sens::avant);
    EXPECT_TRUE(chemin.has_value()) << "level " << n << " cannot be crossed";
    return chemin.value_or(Chemin{});
}

int fin_de(void (*etape)()) {
    try {
        etape();
    } catch (const FinDuProcessus& fin) {
        return fin.statut;
    }
    return -1;
}

TEST(PartieComplete, FromANewHeroToTheVictoryScreenWithASaveAndALoadOnTheWay) {
    DossierJeu dossier;
    ConsoleScriptee ecran;
    ecran.pauses_automatiques(true);

    std::vector<int> sac;
    Compte compte;
    ecran.touche('1');                 // main menu: new game
    ecran.ligne("Tristan").ligne("0"); // a warrior
    for (int n = 1; n < NIVEAU_DE_LA_SAUVEGARDE; ++n) {
        jouer(ecran, chemin_du_niveau(n), sac, compte);
    }
    ecran.touche('s').touche('q').touche('N'); // save on entering, then leave without saving
    ecran.touche('2').ligne("1");              // main menu: load the first saved game
    for (int n = NIVEAU_DE_LA_SAUVEGARDE; n <= NIVEAUX; ++n) {
        jouer(ecran, chemin_du_niveau(n), sac, compte);
    }
    ecran.touche('3'); // main menu: quit
    ASSERT_FALSE(HasFatalFailure());

    // A new game, as the main menu plays it, with a hero made strong right after creation.
    auto plateau = std::make_unique<Plateau>();
    auto sacoche = std::make_unique<Sacoche>();
    sPerso heros{};
    ASSERT_EQ(menu_principal(), MENU_NOUVELLE_PARTIE);
    ASSERT_EQ(saisirPerso(heros), 0);
    heros.corps = heros.intellect = heros.esprit = CARACTERISTIQUE_PRINCIPALE;
    heros.endurance = ENDURANCE_DE_DEPART;
    heros.habilete = HABILETE_INVINCIBLE;
    int l = LIGNES_PREMIER_NIVEAU;
    int c = COLONNES_PREMIER_NIVEAU;
    ASSERT_EQ(nouvellecarte(*plateau, l, c, DEBUT_PARTIE, heros), 0);
    EXPECT_EQ(deroulement_jeu(*plateau, l, c, heros, *sacoche, SERRURE_SANS_PORTE), 1);

    // The save holds the game as it stood on entering level 3, and the registry the player.
    const std::string sauvegarde = dossier.lire("fichiers/personnages/Tristan.txt");
    EXPECT_TRUE(sauvegarde.starts_with("30\n50\nTristan\n0\n10\n10\n10\n")) << sauvegarde;
    const std::vector<std::string> avant_chargement = ecran.ecrans();

    ASSERT_EQ(menu_principal(), MENU_CHARGER_PARTIE);
    nomPerso choix{};
    ASSERT_EQ(ouvrir_fichier_joueur(choix), 0);
    EXPECT_STREQ(choix.nom, "Tristan");
    sPerso charge{};
    ASSERT_EQ(charger_carte_en_cour(choix.nom, *plateau, l, c, charge, *sacoche), 0);
    EXPECT_EQ(l, 30);
    EXPECT_EQ(c, 50);
    const std::size_t premier_ecran_apres = ecran.ecrans().size();
    EXPECT_EQ(deroulement_jeu(*plateau, l, c, charge, *sacoche, SERRURE_SANS_PORTE), 1);
    EXPECT_EQ(fin_de([] { menu_principal(); }), 0);
    EXPECT_EQ(ecran.reste(), 0u);

    // The game loaded shows the very board and figures that were saved: the board of the turn
    // where 's' was pressed (then came the turn of 'q' and its question), and the first board
    // after loading.
    const std::vector<std::string> ecrans = ecran.ecrans();
    ASSERT_GE(avant_chargement.size(), 3u);
    const std::string& sauve = avant_chargement[avant_chargement.size() - 3];
    const std::string& recharge = ecrans[premier_ecran_apres];
    const std::string fin_du_plateau = " q : save and quit \n ";
    ASSERT_NE(sauve.find("Back-up of your game..."), std::string::npos) << sauve;
    EXPECT_EQ(sauve.substr(0, sauve.find(fin_du_plateau)),
              recharge.substr(0, recharge.find(fin_du_plateau)));
    EXPECT_NE(ecrans[premier_ecran_apres].find("Level : 3  "), std::string::npos);

    // The victory screen shows the hero as the last board view held it, and every point of the
    // score is accounted for by what the walk met.
    const auto victoire = std::find_if(ecrans.begin(), ecrans.end(), [](const std::string& e) {
        return e.starts_with("!!! CONGRATULATION");
    });
    ASSERT_NE(victoire, ecrans.end());
    ASSERT_NE(victoire, ecrans.begin());
    const Figures finales = figures_de_victoire(*victoire);
    EXPECT_EQ(finales, figures_du_plateau(*(victoire - 1)));
    EXPECT_EQ(finales.score, finales.or_ +
                                 POINTS_PAR_OBJET * (compte.objets + compte.portes_a_cle) +
                                 POINTS_PAR_COMBAT * compte.combats);
    EXPECT_GE(compte.combats, 1) << "the Guardian is always fought";
    EXPECT_GE(compte.portes_a_cle, 1);
    EXPECT_EQ(finales.corps, CARACTERISTIQUE_PRINCIPALE);
    EXPECT_EQ(finales.intellect, CARACTERISTIQUE_PRINCIPALE);
    EXPECT_GE(finales.endurance, ENDURANCE_DE_DEPART + compte.armures);
    EXPECT_LE(finales.endurance, ENDURANCE_DE_DEPART + 4 * compte.armures);
    EXPECT_GE(finales.habilete, HABILETE_INVINCIBLE + compte.epees);
    EXPECT_LE(finales.habilete, HABILETE_INVINCIBLE + 4 * compte.epees);
    // The main menu came back after the victory, and nothing went to the error stream.
    EXPECT_NE((victoire + 1)->find("Main Menu"), std::string::npos);
    EXPECT_EQ(ecran.erreurs(), "");
}

} // namespace
} // namespace korva
