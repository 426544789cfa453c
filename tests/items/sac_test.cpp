#include "characters/personnage.hpp"
#include "items/outils_sac.hpp"
#include "items/sac.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace korva {
namespace {

using test::objet;
using test::ranger;

constexpr const char* TETE = "<cls>\nCONTENTS OF THE BAG:  \n";

TEST(Sac, PickUpsFillSlotsFromOneAndScoreSilently) {
    test::ConsoleScriptee ecran;
    Sacoche s{};
    sPerso p{};
    p.score = 10;
    EXPECT_EQ(sac(p, s, POTION, 0), OBJET_PRIS);
    EXPECT_EQ(p.score, 15);
    EXPECT_EQ(sac(p, s, CLE, 9), OBJET_PRIS);
    // Neither armor nor anything else goes in the bag.
    EXPECT_EQ(sac(p, s, ARMURE, 0), SAC_PLEIN);
    EXPECT_EQ(s[0].nbObjet, 2);
    EXPECT_STREQ(s[1].ob.nom, "potion");
    EXPECT_STREQ(s[2].ob.nom, "cle");
    EXPECT_EQ(s[2].ob.numero, 3);
    EXPECT_EQ(p.score, 20);
    EXPECT_EQ(ecran.sortie(), "");
}

TEST(Sac, PotionDrawsStatAndStrengthInRange) {
    int plus_bas[2] = {100, 100}, plus_haut[2] = {-100, -100};
    for (unsigned graine = 1; graine <= 300; ++graine) {
        std::srand(graine);
        Sacoche s{};
        sPerso p{};
        ASSERT_EQ(sac(p, s, POTION, 8), OBJET_PRIS);
        const int tirage[2] = {s[1].ob.attribut, s[1].ob.puissance};
        for (int i = 0; i < 2; ++i) {
            plus_bas[i] = std::min(plus_bas[i], tirage[i]);
            plus_haut[i] = std::max(plus_haut[i], tirage[i]);
        }
    }
    // Stats 0 (no effect) to 6, strengths -5 to 4.
    EXPECT_EQ(plus_bas[0], 0);
    EXPECT_EQ(plus_haut[0], 6);
    EXPECT_EQ(plus_bas[1], -5);
    EXPECT_EQ(plus_haut[1], 4);
}

TEST(Sac, FullBagRefusesThePickUp) {
    test::ConsoleScriptee ecran;
    ecran.touche(' ');
    Sacoche s{};
    for (int i = 1; i < OBJETS_MAX; ++i) {
        ranger(s, objet("cle", i));
    }
    sPerso p{};
    // The 99th object still fits, in the last slot.
    EXPECT_EQ(sac(p, s, CLE, 7), OBJET_PRIS);
    EXPECT_EQ(sac(p, s, POTION, 0), SAC_PLEIN);
    EXPECT_EQ(p.score, 5);
    EXPECT_EQ(s[0].nbObjet, 99);
    EXPECT_EQ(s[99].ob.numero, 1);
    EXPECT_EQ(ecran.sortie(), "\nYour bag is full: you leave it where it lies.\n<pause>");
}

TEST(AffichageSac, ListsPotionsByNameAndKeysWithTheirNumber) {
    test::ConsoleScriptee ecran;
    Sacoche s{};
    ranger(s, objet("potion", 0, 3, -2));
    ranger(s, objet("cle", 2));
    // A stale slot above the count is not part of the bag.
    s[3].ob = objet("cle", 9);
    affichage_sac(s);
    EXPECT_EQ(ecran.sortie(), std::string(TETE) + "1 :\t potion \n2 :\t cle 2 \n");

    // A damaged count never reads past the bag, nor below it.
    for (int i = 1; i < TAILLE_SAC; ++i) {
        s[i].ob = objet("potion", 0);
    }
    ecran.oublier();
    s[0].nbObjet = 5000;
    affichage_sac(s);
    EXPECT_NE(ecran.texte().find("99 :\t potion \n"), std::string::npos);
    EXPECT_EQ(ecran.texte().find("100 :"), std::string::npos);
    ecran.oublier();
    s[0].nbObjet = -3;
    affichage_sac(s);
    EXPECT_EQ(ecran.sortie(), TETE);
}

TEST(RangementSac, UsedSlotLeavesAndLaterObjectsMoveDownInOrder) {
    Sacoche s{};
    ranger(s, objet("potion", 0, 1, 4));
    ranger(s, objet(" ", -1));
    ranger(s, objet("potion", 0, 6, -5));
    ranger(s, objet("cle", 2));
    rangement_sac(s);
    EXPECT_EQ(s[0].nbObjet, 3);
    EXPECT_EQ(s[1].ob.attribut, 1);
    EXPECT_EQ(s[2].ob.attribut, 6);
    EXPECT_EQ(s[2].ob.puissance, -5);
    EXPECT_STREQ(s[3].ob.nom, "cle");
    EXPECT_EQ(s[3].ob.numero, 2);

    // The last object used leaves an empty bag.
    test::ConsoleScriptee ecran;
    Sacoche un{};
    ranger(un, objet(" ", -1));
    rangement_sac(un);
    EXPECT_EQ(un[0].nbObjet, 0);
    affichage_sac(un);
    EXPECT_EQ(ecran.sortie(), TETE);
}

} // namespace
} // namespace korva
