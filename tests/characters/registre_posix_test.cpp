#include "characters/registre.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace korva {
namespace {

constexpr const char* REGISTRE = "fichiers/personnages/joueurs.txt";

// Two games saving at once: neither rewrite may drop the other's line.
TEST(Registre, ConcurrentUpdatesLoseNoPlayer) {
    test::DossierJeu dossier;
    dossier.ecrire(REGISTRE, "0\n");
    constexpr int PAR_PROCESSUS = 40;
    const auto sauver = [](const char* prefixe) {
        int echecs = 0;
        for (int i = 0; i < PAR_PROCESSUS; ++i) {
            sPerso p{};
            copier_nom(p.nom, prefixe + std::to_string(i));
            p.score = i;
            echecs += mettre_a_jour_registre(p);
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
    std::set<std::string> noms;
    for (const sJoueur& j : joueurs) {
        noms.insert(j.pseudo);
    }
    std::set<std::string> attendus;
    for (int i = 0; i < PAR_PROCESSUS; ++i) {
        attendus.insert("child" + std::to_string(i));
        attendus.insert("parent" + std::to_string(i));
    }
    EXPECT_EQ(joueurs.size(), attendus.size());
    EXPECT_EQ(noms, attendus);
}

} // namespace
} // namespace korva
