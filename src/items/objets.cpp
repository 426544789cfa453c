#include "items/objets.hpp"

#include "characters/personnage.hpp"
#include "console/console.hpp"
#include "files/fichier_sur.hpp"
#include "items/sac.hpp"
#include "records/somme_bornee.hpp"

#include <cstdio>
#include <string>
#include <string_view>

namespace korva {

namespace {

constexpr int TAILLE_CHEMIN = 100;

// The first line as a line read of text gives it: up to its line feed, kept, and at most
// LONGUEUR_MESSAGE_MAX characters. An empty parchment shows a single blank.
std::string premiere_ligne(std::string_view texte) {
    std::string ligne;
    for (std::size_t i = 0; i < texte.size() && ligne.size() < std::size_t{LONGUEUR_MESSAGE_MAX};
         ++i) {
        if (FINS_DE_LIGNE_CRLF && texte[i] == '\r' && i + 1 < texte.size() &&
            texte[i + 1] == '\n') {
            continue;
        }
        ligne += texte[i];
        if (texte[i] == '\n') {
            break;
        }
    }
    return ligne.empty() ? " " : ligne;
}

void renforcer(int& stat, int& score, const char* message) {
    afficher_ligne(message);
    console().pause();
    stat = somme_bornee(stat, rand_a_b(1, GAIN_FIN));
    score = somme_bornee(score, POINTS_OBJET);
}

} // namespace

void armuR(sPerso& p) {
    renforcer(p.endurance, p.score,
              "\n\nCongratulations ... you just strengthen your endurance points ! \n");
}

void epe(sPerso& p) {
    renforcer(p.habilete, p.score,
              "\n\nCongratulations ... you just strengthen your skill points ! \n");
}

void parch(sPerso& p) {
    // Both draws are made whatever follows, so that the generator moves on alike.
    const int numero = rand_a_b(1, NOMBRE_PARCHEMINS + 1);
    const int intellect_requis = rand_a_b(1, INTELLECT_REQUIS_FIN);

    char chemin[TAILLE_CHEMIN];
    std::snprintf(chemin, sizeof chemin, "%s%s%d%s", CHEMIN_PARCHEMINS, FICHIER_PARCHEMIN, numero,
                  EXTENSION_PARCHEMIN);

    if (p.intellect < intellect_requis) {
        afficher_ligne("\nWriting is erased too to understand something ...");
        console().pause();
        return;
    }

    std::string texte;
    if (!lire_ou_signaler(chemin, texte)) {
        console().pause(); // a lost parchment costs the hero its message, never the game
        return;
    }
    afficher_ligne("\nMessage parchment: ");
    afficher("\"%s\"", premiere_ligne(texte).c_str());
    p.score = somme_bornee(p.score, POINTS_OBJET);
    afficher("\n\n");
    console().pause();
}

} // namespace korva
