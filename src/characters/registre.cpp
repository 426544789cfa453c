#include "characters/registre.hpp"

namespace korva {

// Stand-ins until the registry lands.
bool lire_registre(std::string_view, std::vector<sJoueur>&, std::string& erreur) {
    erreur = "not read yet";
    return false;
}

int ouvrir_fichier_joueur(nomPerso&) { return 1; }

int mettre_a_jour_registre(const sPerso&) { return 1; }

void triselection(sJoueur*, int) {}

void echanger(sJoueur* j1, sJoueur* j2) {
    const sJoueur temporaire = *j1;
    *j1 = *j2;
    *j2 = temporaire;
}

} // namespace korva
