#include "characters/registre.hpp"

#include "console/console.hpp"
#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "files/nom_joueur.hpp"
#include "files/registre_texte.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace korva {

namespace {

constexpr const char* REGLE_LISTE = "------------------------------------- \n ";
constexpr int RETOUR_MENU = 0; // the place typed to go back to the main menu

enum class Lecture { lue, illisible, mal_formee };

// Reads the registry file whole; unreadable files and broken contents are reported here.
Lecture charger_registre(std::vector<sJoueur>& joueurs) {
    std::string texte;
    if (!lire_ou_signaler(FICHIER_REGISTRE, texte)) {
        return Lecture::illisible;
    }
    std::string erreur;
    if (!lire_registre(texte, joueurs, erreur)) {
        signaler_erreur("%s: the player registry is damaged: %s\n", FICHIER_REGISTRE,
                        erreur.c_str());
        return Lecture::mal_formee;
    }
    return Lecture::lue;
}

// Reads the registry for the name check or the list of saved games. A failure's report stays on
// the screen until a key is pressed; then an unreadable registry ends the game, and a damaged
// one gives false.
bool consulter_registre(std::vector<sJoueur>& joueurs) {
    const Lecture lecture = charger_registre(joueurs);
    if (lecture == Lecture::lue) {
        return true;
    }
    console().pause();
    if (lecture == Lecture::illisible) {
        terminer(1);
    }
    return false;
}

std::string_view nom_du_personnage(const sPerso& p) {
    return std::string_view(p.nom, strnlen(p.nom, TAILLE_NOM));
}

std::string_view pseudo_de(const sJoueur& j) {
    return std::string_view(j.pseudo, strnlen(j.pseudo, TAILLE_NOM));
}

// Names compare byte for byte: "Bob" and "bob" are two players.
bool est_le_joueur(const sJoueur& j, std::string_view nom) {
    return pseudo_de(j) == nom;
}

bool tient(const std::vector<sJoueur>& joueurs, std::string_view nom) {
    return std::any_of(joueurs.begin(), joueurs.end(),
                       [nom](const sJoueur& j) { return est_le_joueur(j, nom); });
}

} // namespace

std::optional<bool> nom_dans_registre(std::string_view nom) {
    std::vector<sJoueur> joueurs;
    if (!consulter_registre(joueurs)) {
        return std::nullopt;
    }
    return tient(joueurs, nom);
}

bool nom_inscrit(std::string_view nom) {
    std::string texte;
    std::vector<sJoueur> joueurs;
    std::string erreur;
    int numero_erreur = 0;
    return lire_fichier(FICHIER_REGISTRE, texte, numero_erreur) &&
           lire_registre(texte, joueurs, erreur) && tient(joueurs, nom);
}

int ouvrir_fichier_joueur(nomPerso& d) {
    std::vector<sJoueur> joueurs;
    if (!consulter_registre(joueurs)) {
        return 1;
    }
    console().effacer();
    afficher_ligne("\n");
    afficher("%s", REGLE_LISTE);
    if (joueurs.empty()) {
        afficher_ligne("\nNo game saved !!\n");
        console().pause();
        return 1;
    }
    afficher_ligne("\nSaved games : ");
    for (std::size_t i = 0; i < joueurs.size(); ++i) {
        afficher("\n%zu : ", i + 1);
        console().ecrire_nom(pseudo_de(joueurs[i]));
        afficher(" \t score : %d ", joueurs[i].score);
    }
    console().vider_entree();
    afficher_ligne("\n");
    afficher("%s", REGLE_LISTE);
    const auto nombre_joueurs = static_cast<long long>(joueurs.size());
    for (;;) {
        afficher("\n");
        afficher("Enter the location number of the player (0: return to main menu): ");
        console().vider_entree();
        // Anything but a number asks again, like a place out of the list.
        const std::optional<int> place = lire_entier();
        if (!place || *place < RETOUR_MENU || *place > nombre_joueurs) {
            continue;
        }
        if (*place == RETOUR_MENU) {
            return 1;
        }
        copier_nom(d.nom, pseudo_de(joueurs[static_cast<std::size_t>(*place - 1)]));
        return 0;
    }
}

int mettre_a_jour_registre(const sPerso& p) {
    const std::string_view nom = nom_du_personnage(p);
    std::string raison;
    if (!nom_valide(nom, raison)) {
        signaler_erreur("%s: cannot record the player \"%.*s\": %s\n", FICHIER_REGISTRE,
                        static_cast<int>(nom.size()), nom.data(), raison.c_str());
        return 1;
    }
    std::vector<sJoueur> joueurs;
    if (charger_registre(joueurs) != Lecture::lue) {
        return 1;
    }
    bool trouve = false;
    for (sJoueur& j : joueurs) {
        if (est_le_joueur(j, nom)) {
            trouve = true;
            j.score = p.score;
        }
    }
    if (!trouve) {
        sJoueur nouveau{};
        copier_nom(nouveau.pseudo, nom);
        nouveau.score = p.score;
        joueurs.push_back(nouveau);
    }
    if (joueurs.size() > 1) {
        triselection(joueurs.data(), static_cast<int>(joueurs.size()));
    }
    int numero_erreur = 0;
    if (!ecrire_fichier_atomique(FICHIER_REGISTRE, texte_du_registre(joueurs), numero_erreur)) {
        signaler_fichier(FICHIER_REGISTRE, numero_erreur);
        return 1;
    }
    return 0;
}

void triselection(sJoueur* tab, int n) {
    for (int i = 0; i < n - 1; ++i) {
        int m = i;
        for (int j = i + 1; j < n; ++j) {
            if (tab[j].score > tab[m].score) {
                m = j;
            }
        }
        echanger(&tab[i], &tab[m]);
    }
}

void echanger(sJoueur* j1, sJoueur* j2) {
    const sJoueur temporaire = *j1;
    *j1 = *j2;
    *j2 = temporaire;
}

} // namespace korva
