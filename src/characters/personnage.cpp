#include "characters/personnage.hpp"

#include "characters/hasard.hpp"
#include "characters/registre.hpp"
#include "console/console.hpp"
#include "files/lecture_texte.hpp"
#include "files/nom_joueur.hpp"
#include "files/sauvegarde.hpp"

#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <utility>

namespace korva {

namespace {

// Each main stat lies from its low bound to 10; the class's favoured stat starts higher.
constexpr int BORNE_STAT_FAVORISEE = 4;
constexpr int BORNE_STAT_ORDINAIRE = 1;
constexpr int BORNE_STAT_EXCLUE = 11;

constexpr const char* INVITE_NOM = "Enter the name of your persona : ";

static_assert(MOTS_CLASSES.size() == RUSE + 1, "a word for each class, and no more");

// The class prompt lists every class by its number.
std::string invite_classe() {
    std::string invite = "Choose among his class : \n";
    for (std::size_t n = 0; n < MOTS_CLASSES.size(); ++n) {
        invite += " " + std::to_string(n) + " : " + std::string(MOTS_CLASSES[n]) + " \n";
    }
    return invite + " ===> ? : ";
}

// Blanks around the typed name are dropped, as reading one word always did.
std::string_view sans_blancs_autour(std::string_view texte) {
    while (!texte.empty() && est_blanc(texte.front())) {
        texte.remove_prefix(1);
    }
    while (!texte.empty() && est_blanc(texte.back())) {
        texte.remove_suffix(1);
    }
    return texte;
}

// Asks until the typed line is an acceptable name.
std::string lire_nom() {
    for (;;) {
        afficher("%s", INVITE_NOM);
        const std::string ligne = console().lire_ligne();
        const std::string_view nom = sans_blancs_autour(ligne);
        std::string raison;
        if (nom_valide(nom, raison)) {
            return std::string(nom);
        }
        afficher("\nThis name cannot be used: %s.\n\n", raison.c_str());
    }
}

std::time_t heure_du_systeme() {
    return std::time(nullptr);
}

Horloge horloge = heure_du_systeme;

int lire_classe() {
    for (;;) {
        afficher("%s", invite_classe().c_str());
        // A line that is not a number is dropped and the prompt comes back.
        const std::optional<int> classe = lire_entier();
        if (classe && *classe >= GUERRIER && *classe <= RUSE) {
            return *classe;
        }
    }
}

enum class Stat { corps, intellect, esprit };

// Warriors favour Body, priests Mind; magicians and the crafty both favour Intellect.
Stat stat_favorisee(int classe) {
    switch (classe) {
    case GUERRIER:
        return Stat::corps;
    case PRETRE:
        return Stat::esprit;
    default:
        return Stat::intellect;
    }
}

int tirer_stat(int classe, Stat stat) {
    const int basse = stat_favorisee(classe) == stat ? BORNE_STAT_FAVORISEE : BORNE_STAT_ORDINAIRE;
    return rand_a_b(basse, BORNE_STAT_EXCLUE);
}

} // namespace

int saisirPerso(sPerso& p) {
    const std::string nom = lire_nom();
    copier_nom(p.nom, nom);
    const std::optional<bool> pris = nom_dans_registre(nom);
    if (!pris) {
        return 1;
    }
    // A save of that name with no registry line (an orphan, or "Bob.txt" where file names
    // ignore letter case and "bob" is typed) is someone's game all the same.
    if (*pris || sauvegarde_existe(nom)) {
        afficher("\nPseudonym : ");
        console().ecrire_nom(nom);
        afficher(" is already exist...restart the game \n\n\n ");
        console().pause();
        terminer(0);
    }
    const int classe = lire_classe();
    semer_hasard(static_cast<unsigned>(horloge()));
    tirer_caracteristiques(p, classe);
    p.score = 0;
    p.piecOr = 0;
    return 0;
}

void tirer_caracteristiques(sPerso& p, int classe) {
    p.classe = classe;
    p.corps = tirer_stat(classe, Stat::corps);
    p.intellect = tirer_stat(classe, Stat::intellect);
    p.esprit = tirer_stat(classe, Stat::esprit);
    p.endurance = p.corps + p.esprit;
    p.pouvoir = p.intellect + p.esprit;
    p.habilete = p.corps + p.intellect;
}

std::time_t heure_du_jeu() {
    return horloge();
}

Horloge installer_horloge(Horloge nouvelle) {
    return std::exchange(horloge, nouvelle);
}

int rand_a_b(int a, int b) {
    return a + tirer_hasard() % (b - a);
}

void afficherPerso(sPerso p) {
    afficher("\n \nHere we are : ");
    console().ecrire_nom(std::string_view(p.nom, strnlen(p.nom, TAILLE_NOM)));
    afficher(" , ");
    switch (p.classe) {
    case GUERRIER:
        afficher("the valiant warrior ! \n ");
        break;
    case MAGICIEN:
        afficher("The genial magician ! \n ");
        break;
    case PRETRE:
        afficher("The priest ! \n ");
        break;
    case RUSE:
        afficher("The crafty wily ! \n ");
        break;
    default:
        afficher("ERROR : unknown Class ! \n ");
        break;
    }
    afficher("His score : %d \n", p.score);
    afficher("These main features are : \n ");
    afficher("Body : %d \n ", p.corps);
    afficher("Intellect : %d \n ", p.intellect);
    afficher("Mind : %d \n ", p.esprit);
    afficher("Its features derived are : \n ");
    afficher("Endurance : %d \n ", p.endurance);
    afficher("Power : %d \n ", p.pouvoir);
    afficher("skill : %d \n ", p.habilete);
    afficher("\n \n Be careful ! ! ! \n \n \n ");
}

} // namespace korva
