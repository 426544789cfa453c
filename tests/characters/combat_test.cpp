#include "characters/combat.hpp"
#include "characters/personnage.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace korva {
namespace {

using test::ConsoleScriptee;
using test::FinDuProcessus;

const std::string MONSTRE = "\x94";

sPerso heros(int endurance, int habilete) {
    sPerso p{};
    copier_nom(p.nom, "Ayla");
    p.endurance = endurance;
    p.habilete = habilete;
    p.score = 100;
    return p;
}

// What one fight must show, drawn from the generator in the fight's own order.
struct Deroulement {
    std::string sortie;
    int habilete = 0; // the hero's, `ecart` from the monster's
    bool gagne = false;
    int rounds_perdus = 0;
    int egalites = 0;
};

Deroulement attendu(unsigned graine, int niveau, int endurance, int ecart) {
    Deroulement d;
    std::srand(graine);
    const int genre = rand_a_b(0, 2);
    const int borne = genre == 0 ? 13 : 11;
    const int habilete_monstre = rand_a_b(1, borne) + niveau + 4;
    const int habilete = d.habilete = habilete_monstre + ecart;
    int endurance_monstre = rand_a_b(1, borne) + niveau + 4;
    d.sortie = std::string("<cls><color 12>\nMONSTER type ") +
               (genre == 0 ? "warrior" : "magician") +
               " !! \n\n<color 15>\nThe fight begin !\n\n\n<pause>";
    int a = 1;
    do {
        d.sortie += "<cls>\nRound : " + std::to_string(a++) + " \n\nYour endurance " +
                    std::to_string(endurance) +
                    " \t monster : " + std::to_string(endurance_monstre) + " \n\nYour Skill " +
                    std::to_string(habilete) + " \t monster : " + std::to_string(habilete_monstre) +
                    " \n";
        const int joue = rand_a_b(1, 13);
        const int bete = rand_a_b(1, 13);
        if (habilete + joue < habilete_monstre + bete) {
            d.sortie += "\nThe " + MONSTRE + " inflicts an injury you ! \n";
            --endurance;
            ++d.rounds_perdus;
        } else if (habilete + joue > habilete_monstre + bete) {
            d.sortie += "\nYou deal injuring " + MONSTRE + " ! \n";
            --endurance_monstre;
        } else {
            d.sortie += "\nNobody is hit! \n";
            ++d.egalites;
        }
        d.sortie += "\n\n<pause>";
    } while (endurance > 0 && endurance_monstre > 0);
    d.gagne = endurance > 0;
    if (d.gagne) {
        d.sortie += "\nSUPER !!!\n\nThe " + MONSTRE + " succumbed to his injuries!!! \n\n\n<pause>";
    } else {
        d.sortie += "\n...You are terrace by the " + MONSTRE +
                    "...\n\n...Your adventure ends here ...\n\n\n<pause><exit 0>";
    }
    return d;
}

TEST(Combat, SeededFightsShowEveryRoundAndEnd) {
    int victoires = 0;
    int defaites = 0;
    int egalites = 0;
    for (unsigned graine = 1; graine <= 150; ++graine) {
        const int niveau = 1 + static_cast<int>(graine % 5);
        const int endurance = 4 + static_cast<int>(graine % 12);
        const Deroulement prevu =
            attendu(graine, niveau, endurance, static_cast<int>(graine % 3) - 1);

        ConsoleScriptee ecran;
        ecran.touches(std::string(200, ' '));
        sPerso p = heros(endurance, prevu.habilete);
        std::srand(graine);
        bool fin = false;
        try {
            bataille(p, niveau);
        } catch (const FinDuProcessus& f) {
            fin = true;
            EXPECT_EQ(f.statut, 0);
        }
        ASSERT_EQ(ecran.sortie(), prevu.sortie) << "seed " << graine;
        EXPECT_EQ(fin, !prevu.gagne);
        if (prevu.gagne) {
            ++victoires;
            EXPECT_EQ(p.score, 150);
            EXPECT_EQ(p.endurance, endurance - prevu.rounds_perdus);
        } else {
            ++defaites;
        }
        egalites += prevu.egalites;
    }
    // The seeds cover both endings and tied rounds.
    EXPECT_GT(victoires, 0);
    EXPECT_GT(defaites, 0);
    EXPECT_GT(egalites, 0);
}

int nombre_apres(const std::string& texte, const std::string& marque) {
    const std::size_t p = texte.find(marque);
    return p == std::string::npos ? -1 : std::atoi(texte.c_str() + p + marque.size());
}

TEST(Combat, MonsterStrengthDependsOnKindAndLevel) {
    for (int niveau = 1; niveau <= 5; ++niveau) {
        // Lowest and highest strength of warriors [0] and magicians [1].
        int plus_bas[2] = {1000, 1000}, plus_haut[2] = {0, 0};
        for (unsigned graine = 0; graine < 1500; ++graine) {
            ConsoleScriptee ecran;
            ecran.touches(std::string(30, ' '));
            sPerso p = heros(1, 1000);
            std::srand(graine);
            bataille(p, niveau);
            const std::string& texte = ecran.texte();
            const int genre = texte.find("MONSTER type warrior !! ") != std::string::npos ? 0 : 1;
            ASSERT_TRUE(genre == 0 || texte.find("MONSTER type magician !! ") != std::string::npos);
            const int habilete = nombre_apres(texte, "Your Skill 1000 \t monster : ");
            const int endurance = nombre_apres(texte, "Your endurance 1 \t monster : ");
            // A hero who wins every round fights exactly as many rounds as the monster lasts.
            ASSERT_EQ(ecran.nombre("<pause>"), endurance + 2);
            plus_bas[genre] = std::min({plus_bas[genre], habilete, endurance});
            plus_haut[genre] = std::max({plus_haut[genre], habilete, endurance});
        }
        EXPECT_EQ(plus_bas[0], 5 + niveau);
        EXPECT_EQ(plus_haut[0], 16 + niveau);
        EXPECT_EQ(plus_bas[1], 5 + niveau);
        EXPECT_EQ(plus_haut[1], 14 + niveau);
    }
}

TEST(Combat, HeroWithoutEnduranceDies) {
    // Entering at 0 or below: the round is fought, won even, and the hero is dead.
    for (const int endurance : {0, -3}) {
        ConsoleScriptee ecran;
        ecran.touches(std::string(5, ' '));
        sPerso p = heros(endurance, 1000);
        std::srand(5);
        try {
            bataille(p, 1);
            ADD_FAILURE() << "a hero at " << endurance << " won";
        } catch (const FinDuProcessus& fin) {
            EXPECT_EQ(fin.statut, 0);
        }
        EXPECT_EQ(ecran.nombre("Round : "), 1);
        EXPECT_NE(ecran.sortie().find("You deal injuring " + MONSTRE +
                                      " ! \n\n\n<pause>\n...You are terrace by the " + MONSTRE),
                  std::string::npos);
        EXPECT_EQ(p.score, 100);
    }
}

} // namespace
} // namespace korva
