// The nine level files shipped with the game, read with the game's own loader and held to the
// rules a level keeps: sizes, the hero, the level's number, keys before their doors, no sealed
// room, the fights no way forward avoids, the Guardian no way goes round, and no loop of level
// changes that gives back an object without a fight.
#include "files/niveaux.hpp"
#include "recherche_niveau.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace korva {
namespace {

struct Fichier {
    const char* nom;
    int niveau;
    int lignes, colonnes;
    int combats_forces; // the fewest fights any way from the start to the forward exit takes
};
// Levels 1 to 4 by the size the game knows them by; level 5 has a size of its own.
constexpr Fichier FICHIERS[] = {
    {"niveau1g", 1, 20, 50, 2}, {"niveau1d", 1, 20, 50, 0}, {"niveau2g", 2, 10, 50, 3},
    {"niveau2d", 2, 10, 50, 0}, {"niveau3g", 3, 30, 50, 9}, {"niveau3d", 3, 30, 50, 0},
    {"niveau4g", 4, 15, 50, 8}, {"niveau4d", 4, 15, 50, 0}, {"niveau5g", 5, 25, 60, 6},
};

Carte charger(const std::string& nom) {
    const auto plateau = std::make_unique<Plateau>();
    int l = 0, c = 0;
    // The loader refuses a level without exactly one hero.
    const std::string chemin = std::string(KORVA_FICHIERS_SOURCE) + "/niveaux/" + nom + ".txt";
    EXPECT_EQ(charger_niveau(chemin, *plateau, l, c), 0) << chemin;
    return Carte(*plateau, l, c);
}

std::vector<char> tous(const Carte& carte, bool valeur) {
    return std::vector<char>(static_cast<std::size_t>(carte.taille()), valeur);
}

bool sans_objet(const Carte& carte, const Region& region) {
    for (int i = 0; i < carte.taille(); ++i) {
        if (region.contient(i) && est_objet(carte[i].typeCase)) {
            return false;
        }
    }
    return true;
}

TEST(NiveauxLivres, ChaqueFichierTientLesReglesDuNiveau) {
    std::set<int> sortes;
    for (const Fichier& f : FICHIERS) {
        SCOPED_TRACE(f.nom);
        const Carte carte = charger(f.nom);
        ASSERT_EQ(carte.lignes(), f.lignes);
        ASSERT_EQ(carte.colonnes(), f.colonnes);
        EXPECT_EQ(niveau_selon_taille(carte.lignes(), carte.colonnes()), f.niveau);
        EXPECT_EQ(carte[0].statutCase, f.niveau + DECALAGE_NIVEAU);
        const Position heros = carte.heros();
        EXPECT_EQ(carte[carte.indice(heros)].visible, 1);
        // With every monster beaten and every key taken, no cell but walls and rocks is shut.
        const Region tout = explorer(carte, heros, tous(carte, true));
        for (int i = 0; i < carte.taille(); ++i) {
            sortes.insert(carte[i].typeCase);
            EXPECT_TRUE(tout.contient(i) || est_bloquant(carte[i].typeCase))
                << "sealed cell " << carte.position(i).ligne << "," << carte.position(i).colonne;
            if (carte[i].typeCase == PORTE_CLE) {
                // Its key lies on this side of it.
                Carte sans_porte = carte;
                sans_porte[i].typeCase = MUR_INTERIEUR;
                const Region avant = explorer(sans_porte, heros, tous(carte, true));
                bool cle = false;
                for (int k = 0; k < carte.taille(); ++k) {
                    cle = cle || (avant.contient(k) && carte[k].typeCase == CLE &&
                                  carte[k].statutCase == carte[i].statutCase);
                }
                EXPECT_TRUE(cle) << "key " << carte[i].statutCase - DECALAGE_CLE;
            }
        }
        const std::optional<Combats> combats = combats_minimaux(carte, heros, Sens::avant);
        ASSERT_TRUE(combats.has_value()) << "no way forward";
        EXPECT_GE(combats->nombre, f.combats_forces);
    }
    for (const SorteCase& s : SORTES_CASES) {
        EXPECT_TRUE(sortes.count(s.code)) << "no " << s.nom << " in the shipped levels";
    }
}

TEST(NiveauxLivres, LeGardienNeSeContournePasEtLEntreeSeRefuse) {
    const Carte dernier = charger("niveau5g");
    std::vector<char> sauf_gardien = tous(dernier, true);
    for (int i = 0; i < dernier.taille(); ++i) {
        sauf_gardien[static_cast<std::size_t>(i)] = dernier[i].typeCase != GARDIEN;
    }
    EXPECT_FALSE(
        sortie_atteinte(dernier, explorer(dernier, dernier.heros(), sauf_gardien), Sens::avant));
    // The way in is an opening in the first level's left edge, right by the start.
    const Carte premier = charger("niveau1g");
    EXPECT_TRUE(sortie_atteinte(premier, explorer(premier, premier.heros(), tous(premier, false)),
                                Sens::arriere));
}

// Back from level n + 1 into level n's return file and forward again: when both ways are free
// of fights, neither end may hold an object the hero could take again and again.
TEST(NiveauxLivres, AucuneBoucleSansCombatNeRendUnObjet) {
    for (int n = 1; n < 5; ++n) {
        SCOPED_TRACE(n);
        const Carte retour = charger("niveau" + std::to_string(n) + "d");
        const Carte suivant = charger("niveau" + std::to_string(n + 1) + "g");
        const Region r = explorer(retour, retour.heros(), tous(retour, false));
        const Region s = explorer(suivant, suivant.heros(), tous(suivant, false));
        if (sortie_atteinte(retour, r, Sens::avant) && sortie_atteinte(suivant, s, Sens::arriere)) {
            EXPECT_TRUE(sans_objet(retour, r));
            EXPECT_TRUE(sans_objet(suivant, s));
        }
    }
}

} // namespace
} // namespace korva
