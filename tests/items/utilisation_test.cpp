#include "items/outils_sac.hpp"
#include "items/sac.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace korva {
namespace {

constexpr const char* MENU = "\n------------------------------------ \n "
                             " 1 : use an object \n "
                             " 2 : return to the previous screen \n ";
constexpr const char* INVITE = "\nEnter the slot number (or 0 to exit): ";
constexpr const char* MAUVAISE_CLE = "\nThis is not the right key...\n\n<pause>";
constexpr const char* FIN = "<cls>Your adventure stops here...\n\n<pause><exit 0>";

using test::cle;
using test::potion;

// A small level with a locked door for key 3 at row 3, column 4, and the hero beside it.
struct Partie {
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    Sacoche sacoche{};
    sPerso perso{};

    Partie() {
        for (auto& rangee : *plateau) {
            for (auto& cellule : rangee) {
                cellule = {CASE_VIDE, 0, 1};
            }
        }
        (*plateau)[0][0] = {MUR_EXTERIEUR, 2, 1};
        (*plateau)[3][4] = {PORTE_CLE, 9, 1};
        (*plateau)[3][3] = {CASE_VIDE, STATUT_HEROS, 1};
        perso.corps = perso.intellect = perso.esprit = 5;
        perso.endurance = perso.pouvoir = perso.habilete = 5;
        perso.score = 100;
    }
    void ranger(const unObjet& o) { test::ranger(sacoche, o); }
    void utiliser(uneSerrure f) { gestion_sac(sacoche, perso, *plateau, f); }
    sCaseJeu& porte() { return (*plateau)[3][4]; }
};

constexpr uneSerrure SERRURE_PORTE_3{3, 3, 4};

// Uses the object in slot `place`, then answers the pause that follows.
void choisir(test::ConsoleScriptee& ecran, const char* place) {
    ecran.touche('1').ligne(place).touche(' ');
}

bool memes_stats(const sPerso& a, const sPerso& b) {
    return a.corps == b.corps && a.intellect == b.intellect && a.esprit == b.esprit &&
           a.endurance == b.endurance && a.pouvoir == b.pouvoir && a.habilete == b.habilete &&
           a.score == b.score && a.piecOr == b.piecOr;
}

std::string ecran_cle(int numero) {
    return std::string(MENU) + INVITE +
           "<flush>1\n\nYou use the number key : " + std::to_string(numero) + " \n <sleep 1000>";
}

TEST(GestionSac, OnlyOneAndTwoLeaveTheMenu) {
    test::ConsoleScriptee ecran;
    ecran.touches("x0\r2");
    Partie partie;
    partie.ranger(cle(3));
    partie.utiliser(SERRURE_PORTE_3);
    EXPECT_EQ(ecran.sortie(), std::string(MENU) + MENU + MENU + MENU);
    EXPECT_EQ(ecran.reste(), 0u);
}

TEST(GestionSac, SlotPromptRefusesWhatIsNotInTheBag) {
    // Above the count and negative numbers ask again; 0 leaves, and so does text.
    for (const char* sortie : {"0", "two"}) {
        test::ConsoleScriptee ecran;
        ecran.touche('1').ligne("3").ligne("-1").ligne("-2147483648").ligne(sortie);
        Partie partie;
        partie.ranger(potion(1, 2));
        partie.ranger(cle(3));
        partie.utiliser(SERRURE_PORTE_3);
        EXPECT_EQ(ecran.sortie(), std::string(MENU) + INVITE + "<flush>3\n" + INVITE +
                                      "<flush>-1\n" + INVITE + "<flush>-2147483648\n" + INVITE +
                                      "<flush>" + sortie + "\n");
        EXPECT_EQ(partie.sacoche[0].nbObjet, 2);
    }
}

TEST(GestionSac, RightKeyOpensTheDoorOfTheLockOnce) {
    test::ConsoleScriptee ecran;
    choisir(ecran, "1");
    choisir(ecran, "1");
    Partie partie;
    partie.ranger(cle(3));
    partie.ranger(cle(3));
    partie.ranger(potion(2, 1));
    partie.utiliser(SERRURE_PORTE_3);
    EXPECT_EQ(ecran.sortie(), ecran_cle(3) + "\nThe door opens! \n\n<pause>");
    EXPECT_EQ(partie.porte().typeCase, CASE_VIDE);
    EXPECT_EQ(partie.porte().statutCase, 0);
    EXPECT_EQ(partie.perso.score, 105);
    EXPECT_EQ(partie.sacoche[0].nbObjet, 2);
    EXPECT_EQ(partie.sacoche[1].ob.numero, 3);
    EXPECT_STREQ(partie.sacoche[2].ob.nom, "potion");

    // A second key of the same number finds the door open and stays.
    ecran.oublier();
    partie.utiliser(SERRURE_PORTE_3);
    EXPECT_EQ(ecran.sortie(), ecran_cle(3) + MAUVAISE_CLE);
    EXPECT_EQ(partie.perso.score, 105);
    EXPECT_EQ(partie.sacoche[0].nbObjet, 2);
    EXPECT_EQ(partie.porte().typeCase, CASE_VIDE);
}

TEST(GestionSac, KeysThatOpenNothingStayInTheBag) {
    struct Cas {
        const char* quoi;
        uneSerrure f;
        sCaseJeu cellule; // what stands at row 3, column 4
        int numero;       // the key used
    };
    const Cas cas[] = {
        {"another key's door", SERRURE_PORTE_3, {PORTE_CLE, 9, 1}, 2},
        {"no door met yet", SERRURE_SANS_PORTE, {PORTE_CLE, 9, 1}, 3},
        {"a wall there after a level change", SERRURE_PORTE_3, {MUR_INTERIEUR, 0, 1}, 3},
        {"the hero there after a level change", SERRURE_PORTE_3, {CASE_VIDE, STATUT_HEROS, 1}, 3},
        {"another door there after a level change", SERRURE_PORTE_3, {PORTE_CLE, 10, 1}, 3},
        {"a door without a key there", SERRURE_PORTE_3, {PORTE_FERMEE, 9, 1}, 3},
        {"a lock below the board", {3, 100, 4}, {PORTE_CLE, 9, 1}, 3},
        {"a lock left of the board", {3, 3, -1}, {PORTE_CLE, 9, 1}, 3},
        {"the lock of a door without a key", {-6, 3, 4}, {PORTE_CLE, 0, 1}, 3},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        test::ConsoleScriptee ecran;
        choisir(ecran, "1");
        Partie partie;
        partie.porte() = c.cellule;
        partie.ranger(cle(c.numero));
        const Plateau avant = *partie.plateau;
        partie.utiliser(c.f);
        EXPECT_EQ(ecran.sortie(), ecran_cle(c.numero) + MAUVAISE_CLE);
        EXPECT_EQ(std::memcmp(&avant, partie.plateau.get(), sizeof avant), 0);
        EXPECT_EQ(partie.perso.score, 100);
        EXPECT_EQ(partie.sacoche[0].nbObjet, 1);
        EXPECT_EQ(partie.sacoche[1].ob.numero, c.numero);
    }
}

TEST(GestionSac, EveryPotionChangesItsStatWithItsOwnMessage) {
    struct Stat {
        int attribut;
        int sPerso::*champ;
        const char* nefaste;
        const char* efficace;
    };
    const Stat stats[] = {
        {1, &sPerso::corps, "\nHarmful potion ... You lose some body points !\n",
         "\nEffective potion ! You earn some body points ! \n"},
        {2, &sPerso::intellect, "\nHarmful potion ... You lose some intellect points ! \n",
         "\nEffective potion ! You earn some intellect points !  \n"},
        {3, &sPerso::esprit, "\nHarmful potion ... You lose some mind points ! \n",
         "\nEffective potion ! You earn some mind points ! \n"},
        {4, &sPerso::endurance, "\nHarmful potion ... You lose some endurance points ! \n",
         "\nEffective potion! You earn some endurance points ! \n"},
        {5, &sPerso::pouvoir, "\nHarmful potion ... You lose some power points ! \n",
         "\nEffective potion! You earn some power points ! \n"},
        {6, &sPerso::habilete, "\nHarmful potion ... You lose some skill points ! \n",
         "\nEffective potion! You earn some skill points ! \n"},
        // No stat, or one a damaged save might hold: no change.
        {0, nullptr, "\nPotion without effect ...  \n", "\nPotion without effect ...  \n"},
        {7, nullptr, "", ""},
    };
    for (const Stat& stat : stats) {
        for (const int puissance : {-2, 0, 3}) {
            SCOPED_TRACE("attribut " + std::to_string(stat.attribut) + ", puissance " +
                         std::to_string(puissance));
            test::ConsoleScriptee ecran;
            choisir(ecran, "2");
            Partie partie;
            partie.ranger(cle(3));
            partie.ranger(potion(stat.attribut, puissance));
            partie.ranger(cle(4));
            sPerso attendu = partie.perso;
            if (stat.champ != nullptr) {
                attendu.*stat.champ += puissance;
            }
            partie.utiliser(SERRURE_PORTE_3);

            const bool neutre = puissance == 0 && stat.attribut != 0;
            const std::string message = neutre ? "" : puissance < 0 ? stat.nefaste : stat.efficace;
            EXPECT_EQ(ecran.sortie(),
                      std::string(MENU) + INVITE + "<flush>2\n" + message + "<pause>");
            EXPECT_TRUE(memes_stats(attendu, partie.perso));
            // The potion is used up whatever it did; the keys close ranks.
            EXPECT_EQ(partie.sacoche[0].nbObjet, 2);
            EXPECT_EQ(partie.sacoche[2].ob.numero, 4);
        }
    }
}

TEST(GestionSac, PotionThatBringsAStatToExactlyZeroEndsTheGame) {
    const struct {
        int sPerso::*champ;
        int depart;
        unObjet potion;
        std::string apres; // what follows the slot number typed
        int reste;
    } cas[] = {
        {&sPerso::esprit, 3, potion(3, -3),
         "\nHarmful potion ... You lose some mind points ! \n" + std::string(FIN), 0},
        // Strength 0 on a stat already at 0 ends it too, without a potion message.
        {&sPerso::pouvoir, 0, potion(5, 0), FIN, 0},
        // Below zero is not the end: the stat stays negative.
        {&sPerso::corps, 2, potion(1, -5),
         "\nHarmful potion ... You lose some body points !\n<pause>", -3},
    };
    for (const auto& c : cas) {
        test::ConsoleScriptee ecran;
        choisir(ecran, "1");
        Partie partie;
        partie.perso.*c.champ = c.depart;
        partie.ranger(c.potion);
        try {
            partie.utiliser(SERRURE_PORTE_3);
        } catch (const test::FinDuProcessus&) {
        }
        EXPECT_EQ(ecran.sortie(), std::string(MENU) + INVITE + "<flush>1\n" + c.apres);
        EXPECT_EQ(partie.perso.*c.champ, c.reste);
    }
}

} // namespace
} // namespace korva
