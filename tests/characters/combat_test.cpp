#include "characters/combat.hpp"
#include "characters/personnage.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

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

ConsoleScriptee& touches_pour(ConsoleScriptee& ecran, int nombre) {
    for (int i = 0; i < nombre; ++i) {
        ecran.touche(' ');
    }
    return ecran;
}

// What one fight must show, drawn from the generator in the fight's own order.
struct Deroulement {
    std::string sortie;
    bool gagne = false;
    int rounds_perdus = 0;
    int egalites = 0;
};

Deroulement attendu(unsigned graine, int niveau, int endurance, int habilete) {
    Deroulement d;
    std::srand(graine);
    const int genre = rand_a_b(0, 2);
    const int borne = genre == 0 ? 13 : 11;
    const int habilete_monstre = rand_a_b(1, borne) + niveau + 4;
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

// The monster's skill for a seed, so that a hero can be matched against it.
int habilete_du_monstre(unsigned graine, int niveau) {
    std::srand(graine);
    const int genre = rand_a_b(0, 2);
    return rand_a_b(1, genre == 0 ? 13 : 11) + niveau + 4;
}

TEST(Combat, SeededFightsShowEveryRoundAndEnd) {
    int victoires = 0;
    int defaites = 0;
    int egalites = 0;
    for (unsigned graine = 1; graine <= 150; ++graine) {
        const int niveau = 1 + static_cast<int>(graine % 5);
        const int habilete = habilete_du_monstre(graine, niveau) + static_cast<int>(graine % 3) - 1;
        const int endurance = 4 + static_cast<int>(graine % 12);
        const Deroulement prevu = attendu(graine, niveau, endurance, habilete);

        ConsoleScriptee ecran;
        touches_pour(ecran, 200);
        sPerso p = heros(endurance, habilete);
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
            EXPECT_EQ(p.habilete, habilete);
        } else {
            ++defaites;
        }
        egalites += prevu.egalites;
        // The heading in light red, the rest of the fight in white.
        const std::size_t titre = ecran.texte().find("MONSTER type ");
        EXPECT_EQ(ecran.attributs()[titre], 12);
        EXPECT_EQ(ecran.attributs()[ecran.texte().find("The fight begin !")], 15);
        EXPECT_EQ(ecran.attribut(), 15);
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
        int min_guerrier = 1000, max_guerrier = 0, min_magicien = 1000, max_magicien = 0;
        for (unsigned graine = 0; graine < 1500; ++graine) {
            ConsoleScriptee ecran;
            touches_pour(ecran, 30);
            sPerso p = heros(1, 1000);
            std::srand(graine);
            bataille(p, niveau);
            const std::string& texte = ecran.texte();
            const bool guerrier = texte.find("MONSTER type warrior !! ") != std::string::npos;
            ASSERT_TRUE(guerrier || texte.find("MONSTER type magician !! ") != std::string::npos);
            const int habilete = nombre_apres(texte, "Your Skill 1000 \t monster : ");
            const int endurance = nombre_apres(texte, "Your endurance 1 \t monster : ");
            // A hero who wins every round fights exactly as many rounds as the monster lasts.
            ASSERT_EQ(ecran.nombre("<pause>"), endurance + 2);
            for (const int v : {habilete, endurance}) {
                if (guerrier) {
                    min_guerrier = std::min(min_guerrier, v);
                    max_guerrier = std::max(max_guerrier, v);
                } else {
                    min_magicien = std::min(min_magicien, v);
                    max_magicien = std::max(max_magicien, v);
                }
            }
        }
        EXPECT_EQ(min_guerrier, 5 + niveau);
        EXPECT_EQ(max_guerrier, 16 + niveau);
        EXPECT_EQ(min_magicien, 5 + niveau);
        EXPECT_EQ(max_magicien, 14 + niveau);
    }
}

TEST(Combat, HeroWithoutEnduranceDies) {
    // Losing the first round with endurance 1.
    {
        ConsoleScriptee ecran;
        touches_pour(ecran, 5);
        sPerso p = heros(1, -100);
        std::srand(11);
        EXPECT_THROW(bataille(p, 2), FinDuProcessus);
        EXPECT_EQ(ecran.nombre("<cls>"), 2);
        EXPECT_NE(ecran.sortie().find(
                      "\nThe " + MONSTRE +
                      " inflicts an injury you ! \n\n\n<pause>"
                      "\n...You are terrace by the " +
                      MONSTRE + "...\n\n...Your adventure ends here ...\n\n\n<pause><exit 0>"),
                  std::string::npos);
        EXPECT_EQ(p.endurance, 0);
        EXPECT_EQ(p.score, 100);
    }
    // Entering at 0 or below: the round is fought, won even, and the hero is dead.
    for (const int endurance : {0, -3}) {
        ConsoleScriptee ecran;
        touches_pour(ecran, 5);
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
                                      " ! \n\n\n<pause>\n...You "
                                      "are terrace by the " +
                                      MONSTRE + "...\n"),
                  std::string::npos);
        EXPECT_EQ(ecran.nombre("SUPER"), 0);
        EXPECT_EQ(p.score, 100);
    }
}

TEST(Combat, HopelessHeroDiesAfterAsManyRoundsAsEndurance) {
    ConsoleScriptee ecran;
    touches_pour(ecran, 20);
    sPerso p = heros(6, -20); // -20 + 12 stays below any monster's skill plus 1
    std::srand(8);
    EXPECT_THROW(bataille(p, 1), FinDuProcessus);
    EXPECT_EQ(ecran.nombre("Round : "), 6);
    EXPECT_EQ(ecran.nombre("inflicts an injury you"), 6);
    EXPECT_NE(ecran.sortie().find("\nRound : 6 \n\nYour endurance 1 \t"), std::string::npos);
}

} // namespace
} // namespace korva
