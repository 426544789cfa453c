#include "characters/personnage.hpp"
#include "characters/registre.hpp"
#include "console/affichage.hpp"
#include "console/console.hpp"
#include "console/pas_en_cours.hpp"
#include "dungeon/deplacement.hpp"
#include "files/fin_de_partie.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "game/jeu.hpp"
#include "items/sac.hpp"

#include <cstring>
#include <ctime>
#include <optional>

namespace korva {

namespace {

constexpr const char* ECHEC_SAUVEGARDE = "\nThe back-up of your game failed: your game goes on.\n";

constexpr Registre REGISTRE{mettre_a_jour_registre, nom_inscrit};

// The game in play: the loop's own size, character and lock, the board and the bag it plays
// on, and, for a hero made in this game, what it wrote of the hero's save file; for its line
// in the games log, when its turn loop began, the keys it read on the board, and whether its
// end was told.
struct Partie {
    Plateau& plateau;
    int l;
    int c;
    sPerso p;
    Sacoche& sacoche;
    uneSerrure f;
    std::optional<HerosNouveau> nouveau;
    const Temoin* temoin;
    std::time_t debut = heure_du_jeu();
    int tours = 0;
    bool finie = false;
    int sauvegarde = SAUVEGARDE_ECHOUEE; // the last save's result, known before it is recorded
};

// The game's end, told once, with the game as it stands.
void noter_fin(Partie& partie, IssuePartie issue) {
    if (partie.finie || partie.temoin == nullptr || !partie.temoin->fin) {
        return;
    }
    partie.finie = true;
    PartieFinie finie;
    finie.heros = std::string(partie.p.nom, strnlen(partie.p.nom, TAILLE_NOM));
    finie.classe = mot_classe(partie.p.classe);
    finie.issue = issue;
    finie.niveau = niveau_selon_taille(partie.l, partie.c);
    finie.score = partie.p.score;
    finie.piecOr = partie.p.piecOr;
    finie.tours = partie.tours;
    finie.debut = partie.debut;
    finie.fin = heure_du_jeu();
    partie.temoin->fin(finie);
}

// The game is kept from Ctrl-C and a lost terminal for as long as its turn loop runs, and hears
// the ends told from a fight, a potion or the way out.
class PartieGardee {
public:
    explicit PartieGardee(Partie& partie)
        : ecoute_(
              installer_ecoute_fin([&partie](IssuePartie issue) { noter_fin(partie, issue); })) {
        console().garder_partie(true);
    }
    ~PartieGardee() {
        console().garder_partie(false);
        installer_ecoute_fin(std::move(ecoute_));
    }
    PartieGardee(const PartieGardee&) = delete;
    PartieGardee& operator=(const PartieGardee&) = delete;

private:
    EcouteFin ecoute_;
};

// Only a save that wrote nothing has failed: when the registry alone could not be updated, the
// game itself is safe in its file. Either failure has been reported on the screen.
int sauvegarder(Partie& partie) {
    const Temoin* temoin = partie.temoin;
    if (temoin != nullptr && temoin->sauvegarde_rejouee) {
        return temoin->sauvegarde_rejouee();
    }
    if (temoin != nullptr && temoin->avant_sauvegarde) {
        temoin->avant_sauvegarde();
    }
    const int resultat =
        sauvegarde_carte_en_cour(partie.plateau, partie.l, partie.c, partie.p, partie.sacoche,
                                 REGISTRE, partie.nouveau ? &*partie.nouveau : nullptr);
    partie.sauvegarde = resultat;
    if (temoin != nullptr && temoin->apres_sauvegarde) {
        temoin->apres_sauvegarde(resultat);
    }
    return resultat;
}

// One arrow key: resolve what lies ahead, then step or change level. False when the game ends.
bool jouer_fleche(Partie& partie, int a) {
    switch (calcul_deplacement(partie.plateau, partie.l, partie.c, a, partie.p, partie.sacoche,
                               partie.f)) {
    case PAS_LIBRE:
        deplacement(partie.plateau, partie.l, partie.c, a);
        return true;
    case PAS_SORTIE: {
        // A won game is not saved: a hang-up at the victory screen has nothing left to save.
        const auto victoire = [] { finir_partie(IssuePartie::gagnee); };
        if (nouvellecarte(partie.plateau, partie.l, partie.c, a, partie.p, victoire) == 0) {
            return true;
        }
        // Unless it was won (and told so already), the next level could not be loaded.
        noter_fin(partie, IssuePartie::erreur);
        return false;
    }
    default:
        return true;
    }
}

// An arrow key is one step: Ctrl-C or a lost terminal met on the way waits for its end. When
// the step ended the game, nothing is left to save or to ask about.
bool jouer_pas(Partie& partie, int a) {
    PasEnCours en_cours;
    const bool suite = jouer_fleche(partie, a);
    const std::optional<PartieInterrompue> interruption = en_cours.finir();
    if (interruption && suite) {
        throw *interruption;
    }
    if (interruption && interruption->cause == Interruption::terminal_perdu) {
        terminer(interruption->statut);
    }
    return suite;
}

void ouvrir_sac(Partie& partie) {
    affichage_sac(partie.sacoche);
    if (partie.sacoche[0].nbObjet <= 0) {
        afficher_ligne("\nEMPTY \n");
        console().pause();
        return;
    }
    gestion_sac(partie.sacoche, partie.p, partie.plateau, partie.f);
}

void sauvegarder_en_jeu(Partie& partie) {
    afficher("\n");
    afficher_ligne("\nBack-up of your game...");
    const int resultat = sauvegarder(partie);
    if (resultat == SAUVEGARDE_FAITE) {
        console().dormir(UNE_SECONDE);
        return;
    }
    if (resultat == SAUVEGARDE_ECHOUEE) {
        afficher("%s", ECHEC_SAUVEGARDE);
    }
    console().pause(); // a report stays on the screen until the player has read it
}

// The end of the game after 'q'. False when the player chose to save and the save failed: the
// game goes on, so that the player may try again or leave without saving.
bool terminer_partie(Partie& partie) {
    console().effacer();
    int reponse = 0;
    do {
        afficher("\nBack-up of your game Y/N ? : ");
        reponse = console().lire_touche();
    } while (reponse != 'Y' && reponse != 'N');
    if (reponse == 'N') {
        noter_fin(partie, IssuePartie::abandonnee);
        return true;
    }
    const int resultat = sauvegarder(partie);
    if (resultat == SAUVEGARDE_ECHOUEE) {
        afficher("%s", ECHEC_SAUVEGARDE);
        console().pause();
        return false;
    }
    noter_fin(partie, IssuePartie::sauvee);
    afficher("\nBack-up of your game in progress... ");
    if (resultat == SAUVEGARDE_REGISTRE_ECHOUE) {
        console().pause(); // the registry's report stays until the player has read it
    } else {
        console().dormir(UNE_SECONDE);
    }
    return true;
}

// One turn: false when the game ends.
bool jouer_un_tour(Partie& partie) {
    console().effacer();
    affichage_plateau(partie.plateau, partie.l, partie.c, partie.p);
    ++partie.tours;
    // The keys are those of records/touches_jeu.hpp. An arrow's prefix code lands here like any
    // unknown key: one more redraw.
    const int a = console().lire_touche();
    const ToucheJeu* touche = touche_jeu(a);
    if (touche == nullptr) {
        return true;
    }
    switch (touche->action) {
    case Action::deplacer:
        return jouer_pas(partie, a);
    case Action::sac:
        ouvrir_sac(partie);
        break;
    case Action::sauvegarder:
        sauvegarder_en_jeu(partie);
        break;
    case Action::aide:
        affichage_aide();
        afficher("\n");
        console().pause();
        break;
    case Action::quitter:
        return !terminer_partie(partie);
    }
    return true;
}

} // namespace

int deroulement_jeu(Plateau& plateau, int l, int c, sPerso monPersonnage, Sacoche& sacoche,
                    uneSerrure f, bool heros_nouveau, const Temoin* temoin) {
    Partie partie{plateau, l, c, monPersonnage, sacoche, f, std::nullopt, temoin};
    if (heros_nouveau) {
        partie.nouveau.emplace();
    }
    const PartieGardee garde(partie);
    // Ctrl-C asks what 'q' asks, wherever the game stood; asked again if pressed at the question.
    bool question = false;
    for (;;) {
        try {
            if (question ? terminer_partie(partie) : !jouer_un_tour(partie)) {
                return 1;
            }
            question = false;
        } catch (const PartieInterrompue& interruption) {
            if (interruption.cause == Interruption::terminal_perdu) {
                // The terminal is gone: the game is saved as 's' saves it, with nobody left to
                // read a word (a wait met on the way has nothing to wait for), then the process
                // ends as it would have. A save that wrote nothing leaves no game to go back to.
                partie.sauvegarde = SAUVEGARDE_ECHOUEE;
                try {
                    sauvegarder(partie);
                } catch (const PartieInterrompue&) {
                }
                const IssuePartie perdue =
                    interruption.inactive ? IssuePartie::inactive : IssuePartie::raccrochee;
                noter_fin(partie,
                          partie.sauvegarde == SAUVEGARDE_ECHOUEE ? IssuePartie::erreur : perdue);
                terminer(interruption.statut);
            }
            question = true;
        }
    }
}

} // namespace korva
