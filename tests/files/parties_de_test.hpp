// Games for the save file's tests: a whole game as `main` holds it, filled so that any change
// shows, and a small game with its save written out by hand.
#pragma once

#include "characters/registre.hpp"
#include "files/sauvegarde.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>

namespace korva::test {

// A whole game as `main` holds it; the board lives on the heap.
struct Partie {
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    std::unique_ptr<Sacoche> sacoche = std::make_unique<Sacoche>();
    sPerso p{};
    int l = 0;
    int c = 0;
};

// Fills everything with a pattern that no save holds, so that any change shows.
inline Partie partie_temoin() {
    Partie partie;
    for (auto& rangee : *partie.plateau) {
        rangee.fill({77, 77, 77});
    }
    for (auto& case_sac : *partie.sacoche) {
        case_sac.nbObjet = 55;
        case_sac.ob = {"temoin", 55, 55, 55};
    }
    copier_nom(partie.p.nom, "Temoin");
    partie.p.classe = partie.p.score = partie.l = partie.c = 55;
    return partie;
}

inline bool identiques(const Partie& a, const Partie& b) {
    return std::memcmp(a.plateau.get(), b.plateau.get(), sizeof(Plateau)) == 0 &&
           std::memcmp(a.sacoche.get(), b.sacoche.get(), sizeof(Sacoche)) == 0 &&
           std::memcmp(&a.p, &b.p, sizeof(sPerso)) == 0 && a.l == b.l && a.c == b.c;
}

inline Partie copie(const Partie& source) {
    Partie partie;
    *partie.plateau = *source.plateau;
    *partie.sacoche = *source.sacoche;
    partie.p = source.p;
    partie.l = source.l;
    partie.c = source.c;
    return partie;
}

inline void mettre_objet(Sacoche& sacoche, int rang, const char* nom, int numero, int attribut,
                         int puissance) {
    sacoche[rang].ob = {{}, numero, attribut, puissance};
    copier_nom(sacoche[rang].ob.nom, nom);
}

// A game of "Bob" on a 2 by 3 board with a potion of negative strength and a key.
inline Partie petite_partie() {
    Partie partie = partie_temoin();
    partie.l = 2;
    partie.c = 3;
    (*partie.plateau)[0][0] = {MUR_EXTERIEUR, 2, 1};
    (*partie.plateau)[0][1] = {CASE_VIDE, STATUT_HEROS, 1};
    (*partie.plateau)[0][2] = {CLE, 13, 0};
    (*partie.plateau)[1][0] = {MONSTRE, 0, 0};
    (*partie.plateau)[1][1] = {PORTE_CLE, 13, 1};
    (*partie.plateau)[1][2] = {GARDIEN, 0, 0};
    copier_nom(partie.p.nom, "Bob");
    partie.p.classe = 2;
    partie.p.corps = 4;
    partie.p.intellect = 7;
    partie.p.esprit = 10;
    partie.p.endurance = 11;
    partie.p.pouvoir = -2;
    partie.p.habilete = 0;
    partie.p.score = 125;
    partie.p.piecOr = 37;
    (*partie.sacoche)[0].nbObjet = 2;
    mettre_objet(*partie.sacoche, 1, "potion", 0, 3, -4);
    mettre_objet(*partie.sacoche, 2, "cle", 7, 0, 0);
    return partie;
}

inline const std::string SAUVEGARDE_BOB = "2\n"
                                          "3\n"
                                          "Bob\n"
                                          "2\n4\n7\n10\n11\n-2\n0\n125\n37\n"
                                          "2\n"
                                          "potion 0 3 -4 \n"
                                          "cle 7 0 0 \n"
                                          "{1,2,1},{0,1,1},{12,13,0},\n"
                                          "{7,0,0},{6,13,1},{14,0,0},\n";

inline int sauver(const Partie& partie) {
    return sauvegarde_carte_en_cour(*partie.plateau, partie.l, partie.c, partie.p, *partie.sacoche,
                                    mettre_a_jour_registre);
}

inline int charger(const char* nom, Partie& partie) {
    return charger_carte_en_cour(nom, *partie.plateau, partie.l, partie.c, partie.p,
                                 *partie.sacoche);
}

// What a load must give: the saved game where a save lays it, the rest of `avant` untouched.
inline void attendre_charge(const Partie& sauvee, const Partie& avant, const Partie& chargee) {
    ASSERT_EQ(chargee.l, sauvee.l);
    ASSERT_EQ(chargee.c, sauvee.c);
    for (int i = 0; i < TAILLE_PLATEAU; ++i) {
        for (int j = 0; j < TAILLE_PLATEAU; ++j) {
            const bool dedans = i < sauvee.l && j < sauvee.c;
            const sCaseJeu& attendue = dedans ? (*sauvee.plateau)[i][j] : (*avant.plateau)[i][j];
            const sCaseJeu& lue = (*chargee.plateau)[i][j];
            ASSERT_EQ(std::tie(lue.typeCase, lue.statutCase, lue.visible),
                      std::tie(attendue.typeCase, attendue.statutCase, attendue.visible))
                << "cell " << i << "," << j;
        }
    }
    EXPECT_STREQ(chargee.p.nom, sauvee.p.nom);
    EXPECT_EQ(std::memcmp(&chargee.p.classe, &sauvee.p.classe, 9 * sizeof(int)), 0);
    const int n = (*sauvee.sacoche)[0].nbObjet;
    EXPECT_EQ((*chargee.sacoche)[0].nbObjet, n);
    for (int k = 1; k < TAILLE_SAC; ++k) {
        const unObjet& attendu = k <= n ? (*sauvee.sacoche)[k].ob : (*avant.sacoche)[k].ob;
        const unObjet& lu = (*chargee.sacoche)[k].ob;
        // Only slot 0's count means anything; the others' are left as they were.
        EXPECT_EQ(std::make_tuple(std::string(lu.nom), lu.numero, lu.attribut, lu.puissance,
                                  (*chargee.sacoche)[k].nbObjet),
                  std::make_tuple(std::string(attendu.nom), attendu.numero, attendu.attribut,
                                  attendu.puissance, (*avant.sacoche)[k].nbObjet))
            << "slot " << k;
    }
}

// A save is done once its file is written and the registry updated.
inline void attendre_ecrite(int resultat) {
    EXPECT_EQ(resultat, SAUVEGARDE_FAITE);
}

} // namespace korva::test
