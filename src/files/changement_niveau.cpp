#include "console/affichage.hpp"
#include "console/console.hpp"
#include "files/niveaux.hpp"

#include <array>

namespace korva {

namespace {

constexpr int DERNIER_NIVEAU = 5;

// Each of the first four levels is known by its size; any other size is the last level.
struct TailleNiveau {
    int lignes;
    int colonnes;
};
constexpr std::array<TailleNiveau, DERNIER_NIVEAU - 1> TAILLES_NIVEAUX{{
    {20, 50},
    {10, 50},
    {30, 50},
    {15, 50},
}};

// By level number: the file entered going forward and the one entered coming back.
constexpr std::array<const char*, DERNIER_NIVEAU + 1> FICHIERS_ALLER{
    nullptr,
    "fichiers/niveaux/niveau1g.txt",
    "fichiers/niveaux/niveau2g.txt",
    "fichiers/niveaux/niveau3g.txt",
    "fichiers/niveaux/niveau4g.txt",
    "fichiers/niveaux/niveau5g.txt",
};
constexpr std::array<const char*, DERNIER_NIVEAU> FICHIERS_RETOUR{
    nullptr,
    "fichiers/niveaux/niveau1d.txt",
    "fichiers/niveaux/niveau2d.txt",
    "fichiers/niveaux/niveau3d.txt",
    "fichiers/niveaux/niveau4d.txt",
};

} // namespace

int niveau_selon_taille(int l, int c) {
    for (std::size_t n = 0; n < TAILLES_NIVEAUX.size(); ++n) {
        if (TAILLES_NIVEAUX[n].lignes == l && TAILLES_NIVEAUX[n].colonnes == c) {
            return static_cast<int>(n) + 1;
        }
    }
    return DERNIER_NIVEAU;
}

std::vector<std::string> fichiers_des_niveaux() {
    std::vector<std::string> fichiers;
    for (int niveau = 1; niveau <= DERNIER_NIVEAU; ++niveau) {
        fichiers.emplace_back(FICHIERS_ALLER[static_cast<std::size_t>(niveau)]);
        if (niveau < DERNIER_NIVEAU) {
            fichiers.emplace_back(FICHIERS_RETOUR[static_cast<std::size_t>(niveau)]);
        }
    }
    return fichiers;
}

bool sortie_du_donjon(int l, int c, int direction) {
    return direction != FLECHE_GAUCHE && niveau_selon_taille(l, c) == DERNIER_NIVEAU;
}

int nouvellecarte(Plateau& plateau, int& l, int& c, int direction, sPerso p,
                  const std::function<void()>& victoire) {
    const int niveau = niveau_selon_taille(l, c);
    const char* chemin = nullptr;
    if (sortie_du_donjon(l, c, direction)) {
        fin_du_jeu(p, victoire);
        return 1;
    }
    if (direction == FLECHE_GAUCHE) {
        if (niveau == 1) {
            // The way back out of the dungeon's entrance is closed.
            afficher_ligne("\n\n!!!---------------------------- !!!\n");
            afficher_ligne("Come, Come a little courage !!!");
            console().pause();
            return 0;
        }
        chemin = FICHIERS_RETOUR[niveau - 1];
    } else if (direction == DEBUT_PARTIE && niveau == 1) {
        chemin = FICHIERS_ALLER[1];
    } else {
        chemin = FICHIERS_ALLER[niveau + 1];
    }
    if (charger_niveau(chemin, plateau, l, c) != 0) {
        // The report stays on the screen until the player has read it.
        console().pause();
        return 1;
    }
    return 0;
}

} // namespace korva
