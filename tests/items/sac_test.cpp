#include "characters/personnage.hpp"
#include "items/outils_sac.hpp"
#include "items/sac.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace korva {
namespace {

using test::objet;
using test::ranger;

Sacoche sac_vide() {
    return Sacoche{};
}

TEST(Sac, FirstPickUpsFillSlotsFromOneAndScore) {
    test::ConsoleScriptee ecran;
    Sacoche s = sac_vide();
    sPerso p{};
    p.score = 10;

    EXPECT_EQ(sac(p, s, POTION, 0), OBJET_PRIS);
    EXPECT_EQ(s[0].nbObjet, 1);
    EXPECT_STREQ(s[1].ob.nom, "potion");
    EXPECT_EQ(s[1].ob.numero, 0);
    EXPECT_EQ(p.score, 15);

    EXPECT_EQ(sac(p, s, CLE, 9), OBJET_PRIS);
    EXPECT_EQ(s[0].nbObjet, 2);
    EXPECT_STREQ(s[2].ob.nom, "cle");
    EXPECT_EQ(s[2].ob.numero, 3);
    EXPECT_EQ(s[2].ob.attribut, 0);
    EXPECT_EQ(s[2].ob.puissance, 0);
    EXPECT_EQ(p.score, 20);

    // A pick-up shows nothing: only the next board view tells of it.
    EXPECT_EQ(ecran.sortie(), "");
    // Slot 0 carries no object.
    EXPECT_STREQ(s[0].ob.nom, "");
}

TEST(Sac, PotionDrawsStatThenStrengthInRange) {
    test::ConsoleScriptee ecran;
    bool sans_effet = false;
    bool puissance_nulle = false;
    for (unsigned graine = 1; graine <= 300; ++graine) {
        std::srand(graine);
        const int attribut = rand_a_b(0, 7);
        const int puissance = rand_a_b(-5, 5);

        std::srand(graine);
        Sacoche s = sac_vide();
        sPerso p{};
        ASSERT_EQ(sac(p, s, POTION, 8), OBJET_PRIS);
        const unObjet& o = s[1].ob;
        EXPECT_EQ(o.attribut, attribut) << "seed " << graine;
        EXPECT_EQ(o.puissance, puissance) << "seed " << graine;
        EXPECT_GE(o.attribut, 0);
        EXPECT_LE(o.attribut, 6);
        EXPECT_GE(o.puissance, -5);
        EXPECT_LE(o.puissance, 4);
        sans_effet = sans_effet || o.attribut == 0;
        puissance_nulle = puissance_nulle || o.puissance == 0;
    }
    // Neither a potion without effect nor one of strength 0 is drawn again.
    EXPECT_TRUE(sans_effet);
    EXPECT_TRUE(puissance_nulle);
}

TEST(Sac, FullBagRefusesThePickUp) {
    test::ConsoleScriptee ecran;
    ecran.touches("  ");
    Sacoche s = sac_vide();
    for (int i = 1; i < OBJETS_MAX; ++i) {
        ranger(s, objet("cle", i));
    }
    sPerso p{};
    p.score = 40;

    // The 99th object still fits, in the last slot.
    EXPECT_EQ(sac(p, s, CLE, 7), OBJET_PRIS);
    EXPECT_EQ(s[0].nbObjet, 99);
    EXPECT_EQ(s[99].ob.numero, 1);
    EXPECT_EQ(p.score, 45);
    EXPECT_EQ(ecran.sortie(), "");

    const Sacoche avant = s;
    EXPECT_EQ(sac(p, s, POTION, 0), SAC_PLEIN);
    EXPECT_EQ(sac(p, s, CLE, 8), SAC_PLEIN);
    EXPECT_EQ(p.score, 45);
    EXPECT_EQ(s[0].nbObjet, 99);
    for (int i = 1; i <= OBJETS_MAX; ++i) {
        EXPECT_STREQ(s[i].ob.nom, avant[i].ob.nom);
        EXPECT_EQ(s[i].ob.numero, avant[i].ob.numero);
    }
    EXPECT_EQ(ecran.sortie(), "\nYour bag is full: you leave it where it lies.\n<pause>"
                              "\nYour bag is full: you leave it where it lies.\n<pause>");
}

TEST(Sac, OnlyPotionsAndKeysGoInTheBag) {
    test::ConsoleScriptee ecran;
    Sacoche s = sac_vide();
    sPerso p{};
    EXPECT_EQ(sac(p, s, ARMURE, 0), SAC_PLEIN);
    EXPECT_EQ(s[0].nbObjet, 0);
    EXPECT_EQ(p.score, 0);
    EXPECT_EQ(ecran.sortie(), "");
}

TEST(AffichageSac, ListsPotionsByNameAndKeysWithTheirNumber) {
    test::ConsoleScriptee ecran;
    Sacoche s = sac_vide();
    ranger(s, objet("potion", 0, 3, -2));
    ranger(s, objet("cle", 2));
    // A stale slot above the count is not part of the bag.
    s[3].ob = objet("cle", 9);
    affichage_sac(s);
    EXPECT_EQ(ecran.sortie(), "<cls>\nCONTENTS OF THE BAG:  \n"
                              "1 :\t potion \n"
                              "2 :\t cle 2 \n");
}

TEST(AffichageSac, EmptyBagShowsTheHeadingOnly) {
    test::ConsoleScriptee ecran;
    Sacoche s = sac_vide();
    s[1].ob = objet("potion", 0);
    affichage_sac(s);
    EXPECT_EQ(ecran.sortie(), "<cls>\nCONTENTS OF THE BAG:  \n");
}

TEST(AffichageSac, DamagedCountNeverReadsPastTheBag) {
    test::ConsoleScriptee ecran;
    Sacoche s = sac_vide();
    for (int i = 1; i < TAILLE_SAC; ++i) {
        s[i].ob = objet("potion", 0);
    }
    s[0].nbObjet = 5000;
    affichage_sac(s);
    EXPECT_NE(ecran.texte().find("99 :\t potion \n"), std::string::npos);
    EXPECT_EQ(ecran.texte().find("100 :"), std::string::npos);

    ecran.oublier();
    s[0].nbObjet = -3;
    affichage_sac(s);
    EXPECT_EQ(ecran.sortie(), "<cls>\nCONTENTS OF THE BAG:  \n");
}

TEST(RangementSac, UsedSlotLeavesAndLaterObjectsMoveDownInOrder) {
    Sacoche s = sac_vide();
    ranger(s, objet("potion", 0, 1, 4));
    ranger(s, objet("cle", 5));
    ranger(s, objet("potion", 0, 6, -5));
    ranger(s, objet("cle", 2));
    s[2].ob = objet(" ", -1);

    rangement_sac(s);
    EXPECT_EQ(s[0].nbObjet, 3);
    EXPECT_STREQ(s[1].ob.nom, "potion");
    EXPECT_EQ(s[1].ob.attribut, 1);
    EXPECT_EQ(s[1].ob.puissance, 4);
    EXPECT_STREQ(s[2].ob.nom, "potion");
    EXPECT_EQ(s[2].ob.attribut, 6);
    EXPECT_EQ(s[2].ob.puissance, -5);
    EXPECT_EQ(s[2].ob.numero, 0);
    EXPECT_STREQ(s[3].ob.nom, "cle");
    EXPECT_EQ(s[3].ob.numero, 2);
}

TEST(RangementSac, LastObjectUsedEmptiesTheBag) {
    test::ConsoleScriptee ecran;
    Sacoche s = sac_vide();
    ranger(s, objet(" ", -1));
    rangement_sac(s);
    EXPECT_EQ(s[0].nbObjet, 0);
    affichage_sac(s);
    EXPECT_EQ(ecran.sortie(), "<cls>\nCONTENTS OF THE BAG:  \n");
}

TEST(RangementSac, CountDropsByExactlyOne) {
    Sacoche s = sac_vide();
    ranger(s, objet(" ", -1));
    ranger(s, objet("cle", 4));
    ranger(s, objet(" ", -1));
    ranger(s, objet("potion", 0, 2, 1));
    rangement_sac(s);
    EXPECT_EQ(s[0].nbObjet, 3);
    EXPECT_EQ(s[1].ob.numero, 4);
    EXPECT_STREQ(s[2].ob.nom, "potion");
    // The third slot keeps what the bag held there: no undefined bytes enter the bag.
    EXPECT_STREQ(s[3].ob.nom, " ");
    EXPECT_EQ(s[3].ob.numero, -1);
}

} // namespace
} // namespace korva
