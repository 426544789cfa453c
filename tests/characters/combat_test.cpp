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
    int genre = 0;
    int monstre[2] = {}; // the monster's skill and endurance at the start
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
    int endurance_monstre = rand_a_b(1, borne) + niveau + 4;
    const int habilete = d.habilete = habilete_monstre + ecart;
    d.genre = genre;
    d.monstre[0] = habilete_monstre;
    d.monstre[1] = endurance_monstre;
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
    // Weakest and strongest monster of each level (less the level), warriors [0], magicians [1].
    int plus_bas[6][2], plus_haut[6][2];
    std::fill(&plus_bas[0][0], &plus_bas[0][0] + 12, 1000);
    std::fill(&plus_haut[0][0], &plus_haut[0][0] + 12, 0);
    for (unsigned graine = 1; graine <= 2000; ++graine) {
        const int niveau = 1 + static_cast<int>(graine % 5);
        // From -1 up: a hero at 0 or below fights one round, won even, and dies.
        const int endurance = static_cast<int>(graine % 14) - 1;
        const Deroulement prevu =
            attendu(graine, niveau, endurance, static_cast<int>(graine % 3) - 1);

        ConsoleScriptee ecran;
        ecran.touches(std::string(200, ' '));
        sPerso p = heros(endurance, prevu.habilete);
        std::srand(graine);
        // A death ends the process with status 0, shown as "<exit 0>" in the output.
        try {
            bataille(p, niveau);
        } catch (const FinDuProcessus&) {
        }
        ASSERT_EQ(ecran.sortie(), prevu.sortie) << "seed " << graine;
        EXPECT_TRUE(endurance > 0 || ecran.sortie().ends_with("<exit 0>"));
        if (prevu.gagne) {
            ++victoires;
            EXPECT_EQ(p.score, 150);
            EXPECT_EQ(p.endurance, endurance - prevu.rounds_perdus);
        } else {
            ++defaites;
        }
        egalites += prevu.egalites;
        for (const int force : prevu.monstre) {
            int& bas = plus_bas[niveau][prevu.genre];
            int& haut = plus_haut[niveau][prevu.genre];
            bas = std::min(bas, force - niveau);
            haut = std::max(haut, force - niveau);
        }
    }
    // The seeds cover both endings and tied rounds.
    EXPECT_GT(victoires, 0);
    EXPECT_GT(defaites, 0);
    EXPECT_GT(egalites, 0);
    for (int niveau = 1; niveau <= 5; ++niveau) {
        EXPECT_EQ(plus_bas[niveau][0], 5);
        EXPECT_EQ(plus_haut[niveau][0], 16);
        EXPECT_EQ(plus_bas[niveau][1], 5);
        EXPECT_EQ(plus_haut[niveau][1], 14);
    }
}

} // namespace
} // namespace korva
