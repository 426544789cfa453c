#include "characters/personnage.hpp"
#include "characters/registre.hpp"
#include "console/affichage.hpp"
#include "console/console.hpp"
#include "files/fichier_sur.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "game/enregistreur.hpp"
#include "game/jeu.hpp"

#include <cstdlib>
#include <memory>

namespace korva {

namespace {

constexpr const char* REGLE_MENU = "------------------------------------- \n ";

// Everything one run of the game owns, from start-up to quitting.
struct EtatJeu {
    Plateau plateau;
    Sacoche sacoche;
    sPerso monPersonnage;
    nomPerso d;
    uneSerrure f;
    int l;
    int c;
};

void vider_sac(Sacoche& sacoche) {
    sacoche[0].nbObjet = 0;
    copier_nom(sacoche[0].ob.nom, "");
    sacoche[0].ob.numero = 0;
    sacoche[0].ob.attribut = 0;
    sacoche[0].ob.puissance = 0;
}

bool afficher_fichier(const char* chemin) {
    std::string contenu;
    if (!lire_ou_signaler(chemin, contenu)) {
        return false;
    }
    console().ecrire(contenu);
    return true;
}

// Plays the game that stands in `jeu`, from its first board, recorded; its end goes into the
// games log, with the server's account it is played for and its recording's name. A log that
// cannot be written is the server's concern: the game says nothing of it.
void jouer(EtatJeu& jeu, bool nouveau) {
    const PartieEnregistree enregistrement(
        en_tete_de(jeu.plateau, jeu.l, jeu.c, jeu.monPersonnage, jeu.sacoche, jeu.f, nouveau));
    Temoin temoin = enregistrement.temoin();
    temoin.fin = [&enregistrement](PartieFinie& partie) {
        const char* compte = std::getenv(VARIABLE_COMPTE);
        partie.compte = compte != nullptr ? compte : "";
        partie.enregistrement = enregistrement.nom();
        noter_partie(FICHIER_JOURNAL_PARTIES, partie);
    };
    deroulement_jeu(jeu.plateau, jeu.l, jeu.c, jeu.monPersonnage, jeu.sacoche, jeu.f, nouveau,
                    &temoin);
}

void nouvelle_partie(EtatJeu& jeu) {
    if (saisirPerso(jeu.monPersonnage) != 0) {
        return;
    }
    afficherPerso(jeu.monPersonnage);
    jeu.l = LIGNES_PREMIER_NIVEAU;
    jeu.c = COLONNES_PREMIER_NIVEAU;
    // A level that cannot be loaded has already waited for its key, under the report.
    if (nouvellecarte(jeu.plateau, jeu.l, jeu.c, DEBUT_PARTIE, jeu.monPersonnage) == 0) {
        console().pause();
        jouer(jeu, true);
    }
}

void charger_partie(EtatJeu& jeu) {
    if (ouvrir_fichier_joueur(jeu.d) == 1) {
        return;
    }
    if (charger_carte_en_cour(jeu.d.nom, jeu.plateau, jeu.l, jeu.c, jeu.monPersonnage,
                              jeu.sacoche) != 0) {
        console().pause(); // the reason stays on the screen until the player has read it
        return;
    }
    jouer(jeu, false);
}

} // namespace

int chargement_illustration() {
    if (!afficher_fichier(FICHIER_IMAGE)) {
        return 1;
    }
    afficher("\n");
    if (!afficher_fichier(FICHIER_NOM)) {
        return 1;
    }
    afficher("\n\n\n");
    return 0;
}

int menu_principal() {
    for (;;) {
        console().effacer();
        afficher("\n");
        Color(MAGENTA_CLAIR, NOIR);
        afficher("\n A KORVA-LIKE DUNGEON CRAWLER !!!  \n ");
        Color(BLANC, NOIR);
        afficher("\n\n");
        afficher("%s", REGLE_MENU);
        afficher("\n Main Menu : \n ");
        afficher("\n");
        afficher("\n 1 : new game  \n ");
        afficher("\n 2 : load a game  \n ");
        afficher("\n 3 : quit  \n ");
        afficher("\n\n");
        afficher("%s", REGLE_MENU);
        console().vider_entree();
        switch (console().lire_touche()) {
        case '1':
            return MENU_NOUVELLE_PARTIE;
        case '2':
            return MENU_CHARGER_PARTIE;
        case '3':
            console().effacer();
            afficher_ligne("\nBye Bye...");
            console().dormir(UNE_SECONDE);
            terminer(0);
        default:
            break;
        }
    }
}

void jeu_principal() {
    // The board alone is 120 KB: it lives on the heap rather than on the stack.
    auto jeu = std::make_unique<EtatJeu>();
    jeu->f = SERRURE_SANS_PORTE;
    vider_sac(jeu->sacoche);
    Color(BLANC, NOIR);
    console().effacer(); // in the game's colours, whatever the terminal's own background
    console().redimensionner(CONSOLE_LIGNES, CONSOLE_COLONNES);
    chargement_illustration();
    console().pause();
    console().titre(TITRE_JEU);
    for (;;) {
        if (menu_principal() == MENU_NOUVELLE_PARTIE) {
            nouvelle_partie(*jeu);
        } else {
            charger_partie(*jeu);
        }
    }
}

} // namespace korva
