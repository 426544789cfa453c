#include "items/objets.hpp"

#include "characters/personnage.hpp"
#include "console/console.hpp"
#include "items/sac.hpp"
#include "records/somme_bornee.hpp"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace korva {

namespace {

constexpr int TAILLE_MESSAGE = LONGUEUR_MESSAGE_MAX + 2; // the line, its line feed, the end
constexpr int TAILLE_CHEMIN = 100;

struct FermerFichier {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Fichier = std::unique_ptr<std::FILE, FermerFichier>;

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
    char message[TAILLE_MESSAGE] = " ";
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

    const Fichier fichier(std::fopen(chemin, "r"));
    if (!fichier) {
        // A lost parchment costs the hero its message, never the game.
        signaler(chemin, errno);
        console().pause();
        return;
    }

    if (std::fgets(message, LONGUEUR_MESSAGE_MAX + 1, fichier.get()) == nullptr) {
        if (std::ferror(fichier.get())) {
            signaler(chemin, errno);
            console().pause();
            return;
        }
        // An empty parchment: the message stays a single blank.
        message[0] = ' ';
        message[1] = '\0';
    }
    afficher_ligne("\nMessage parchment: ");
    afficher("\"%s\"", message);
    p.score = somme_bornee(p.score, POINTS_OBJET);
    afficher("\n\n");
    console().pause();
}

} // namespace korva
