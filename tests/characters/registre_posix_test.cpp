#include "characters/registre.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

namespace korva {
namespace {

constexpr const char* REGISTRE = "fichiers/personnages/joueurs.txt";

sPerso personnage(std::string_view nom, int score) {
    sPerso p{};
    copier_nom(p.nom, nom);
    p.score = score;
    return p;
}

// Two games saving at once: neither rewrite may drop the other's line.
TEST(Registre, ConcurrentUpdatesLoseNoPlayer) {
    test::DossierJeu dossier;
    dossier.ecrire(REGISTRE, "0\n");
    constexpr int PAR_PROCESSUS = 40;
    const auto sauver = [](const char* prefixe) {
        int echecs = 0;
        for (int i = 0; i < PAR_PROCESSUS; ++i) {
            echecs += mettre_a_jour_registre(personnage(prefixe + std::to_string(i), i));
        }
        return echecs;
    };
    test::ConsoleScriptee ecran;
    const pid_t enfant = ::fork();
    ASSERT_GE(enfant, 0);
    if (enfant == 0) {
        ::_exit(sauver("child") == 0 ? 0 : 1);
    }
    const int echecs = sauver("parent");
    int statut = 0;
    ASSERT_EQ(::waitpid(enfant, &statut, 0), enfant);
    EXPECT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0);
    EXPECT_EQ(echecs, 0);

    std::vector<sJoueur> joueurs;
    std::string erreur;
    ASSERT_TRUE(lire_registre(dossier.lire(REGISTRE), joueurs, erreur)) << erreur;
    ASSERT_EQ(joueurs.size(), 2u * PAR_PROCESSUS);
    for (const char* prefixe : {"child", "parent"}) {
        for (int i = 0; i < PAR_PROCESSUS; ++i) {
            const std::string nom = prefixe + std::to_string(i);
            EXPECT_TRUE(std::any_of(joueurs.begin(), joueurs.end(), [&](const sJoueur& j) {
                return nom == j.pseudo;
            })) << nom;
        }
    }
    for (std::size_t i = 1; i < joueurs.size(); ++i) {
        EXPECT_GE(joueurs[i - 1].score, joueurs[i].score);
    }
}

} // namespace
} // namespace korva
