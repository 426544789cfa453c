#include "characters/combat.hpp"

#include "characters/personnage.hpp"
#include "console/affichage.hpp"
#include "console/console.hpp"
#include "files/fin_de_partie.hpp"
#include "records/somme_bornee.hpp"

namespace korva {

namespace {

constexpr int GAIN_VICTOIRE = 50;
constexpr int BONUS_MONSTRE = 4;   // added to every monster's rolls, with the level
constexpr int DE_EXCLU = 13;       // the round's dice and a warrior's rolls give 1 to 12
constexpr int MAGICIEN_EXCLU = 11; // a magician's rolls give 1 to 10

struct Monstre {
    const char* nom;
    int borne_exclue;
};
constexpr Monstre MONSTRES[] = {{"warrior", DE_EXCLU}, {"magician", MAGICIEN_EXCLU}};
constexpr int NOMBRE_MONSTRES = 2;

} // namespace

void bataille(sPerso& unPersonnage, int niveau) {
    int habiliteMonstre = 0;
    int enduranceMonstre = 0;
    int a = 1;
    console().effacer();
    Color(ROUGE_CLAIR, NOIR);
    const int mstre = rand_a_b(0, NOMBRE_MONSTRES);
    const Monstre& monstre = MONSTRES[mstre];
    afficher("\nMONSTER type %s !! \n\n", monstre.nom);
    habiliteMonstre = somme_bornee(rand_a_b(1, monstre.borne_exclue) + BONUS_MONSTRE, niveau);
    enduranceMonstre = somme_bornee(rand_a_b(1, monstre.borne_exclue) + BONUS_MONSTRE, niveau);
    Color(BLANC, NOIR);
    afficher_ligne("\nThe fight begin !");
    afficher_ligne("\n");
    console().pause();

    // A hero already at 0 or below is dead once a round is decided, rather than fighting on
    // forever for an endurance of exactly 0 that losing rounds can no longer reach.
    do {
        console().effacer();
        afficher("\nRound : %d \n", a);
        ++a;
        afficher("\nYour endurance %d \t monster : %d \n", unPersonnage.endurance,
                 enduranceMonstre);
        afficher("\nYour Skill %d \t monster : %d \n", unPersonnage.habilete, habiliteMonstre);
        const int joue = rand_a_b(1, DE_EXCLU);
        const int bete = rand_a_b(1, DE_EXCLU);
        const long long total_heros = static_cast<long long>(unPersonnage.habilete) + joue;
        const long long total_monstre = static_cast<long long>(habiliteMonstre) + bete;
        if (total_heros < total_monstre) {
            afficher("\nThe %c inflicts an injury you ! \n", GLYPHE_MONSTRE);
            unPersonnage.endurance = somme_bornee(unPersonnage.endurance, -1);
        } else if (total_heros > total_monstre) {
            afficher("\nYou deal injuring %c ! \n", GLYPHE_MONSTRE);
            enduranceMonstre = somme_bornee(enduranceMonstre, -1);
        } else {
            afficher_ligne("\nNobody is hit! ");
        }
        if (unPersonnage.endurance <= 0) {
            // The hero is dead from this blow on: nothing of this game is ever saved again.
            finir_partie(IssuePartie::tue);
        }
        afficher_ligne("\n");
        console().pause();
    } while (unPersonnage.endurance > 0 && enduranceMonstre > 0);

    if (unPersonnage.endurance <= 0) {
        afficher("\n...You are terrace by the %c...\n", GLYPHE_MONSTRE);
        afficher_ligne("\n...Your adventure ends here ...");
        afficher_ligne("\n");
        console().pause();
        terminer(0);
    }
    afficher_ligne("\nSUPER !!!");
    afficher("\nThe %c succumbed to his injuries!!! \n", GLYPHE_MONSTRE);
    unPersonnage.score = somme_bornee(unPersonnage.score, GAIN_VICTOIRE);
    afficher_ligne("\n");
    console().pause();
}

} // namespace korva
