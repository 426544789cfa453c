// Saves whose writing the system stops partway, in a child process with tight limits.
#include "files/sauvegarde.hpp"

#include "console/console.hpp"
#include "files/parties_de_test.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva {
namespace {

namespace fs = std::filesystem;
using namespace korva::test;

// Runs `action` in a child process after `limiter`, with a console of its own; returns the
// action's result and what it wrote on the error stream.
struct Enfant {
    int resultat = -1;
    std::string erreurs;
    int statut = -1;
};

Enfant dans_un_enfant(const std::function<void()>& limiter, const std::function<int()>& action) {
    int tube[2];
    if (::pipe(tube) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(tube[0]);
        int resultat = -1;
        std::string erreurs;
        {
            test::ConsoleScriptee ecran;
            // The undefined-behaviour checker opens a pipe the first time it checks a call
            // through the console; have that done while descriptors are left.
            console().ecrire_erreur({});
            limiter();
            resultat = action();
            erreurs = ecran.erreurs();
        }
        std::string message(reinterpret_cast<const char*>(&resultat), sizeof resultat);
        message += erreurs;
        const ssize_t ecrit = ::write(tube[1], message.data(), message.size());
        ::_exit(ecrit == static_cast<ssize_t>(message.size()) ? 0 : 3);
    }
    ::close(tube[1]);
    std::string recu;
    char tampon[4096];
    ssize_t n = 0;
    while ((n = ::read(tube[0], tampon, sizeof tampon)) > 0) {
        recu.append(tampon, static_cast<std::size_t>(n));
    }
    ::close(tube[0]);
    Enfant enfant;
    ::waitpid(pid, &enfant.statut, 0);
    if (recu.size() >= sizeof(int)) {
        std::memcpy(&enfant.resultat, recu.data(), sizeof(int));
        enfant.erreurs = recu.substr(sizeof(int));
    }
    return enfant;
}

// Files larger than `octets` cannot be written; the write fails partway instead of a signal.
void limiter_taille(rlim_t octets) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limite{octets, octets};
    ::setrlimit(RLIMIT_FSIZE, &limite);
}

std::vector<std::string> contenu_du_dossier(const std::string& dossier) {
    std::vector<std::string> noms;
    for (const auto& entree : fs::directory_iterator(dossier)) {
        noms.push_back(entree.path().filename().string());
    }
    std::sort(noms.begin(), noms.end());
    return noms;
}

TEST(SauvegardePosix, SaveFailingPartwayLeavesThePreviousSaveWhole) {
    struct Cas {
        std::function<void()> limiter;
        std::string erreur;
    };
    const Cas cas[] = {
        // The new save (about 8 KB) is cut at 4 KB.
        {[] { limiter_taille(4096); }, "File too large"},
        // Every descriptor from the lowest free one up is refused.
        {[] {
             const int libre = ::dup(2);
             ::close(libre);
             const rlimit limite{static_cast<rlim_t>(libre), static_cast<rlim_t>(libre)};
             ::setrlimit(RLIMIT_NOFILE, &limite);
         },
         "Too many open files"},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.erreur);
        test::DossierJeu dossier;
        dossier.ecrire("fichiers/personnages/Bob.txt", SAUVEGARDE_BOB);
        const std::string registre = dossier.lire("fichiers/personnages/joueurs.txt");
        const auto avant = contenu_du_dossier("fichiers/personnages");
        Partie partie = petite_partie();
        partie.l = 20;
        partie.c = 50;
        for (int i = 0; i < partie.l; ++i) {
            for (int j = 0; j < partie.c; ++j) {
                (*partie.plateau)[i][j] = {CASE_VIDE, i == 5 && j == 5 ? STATUT_HEROS : 0, 0};
            }
        }
        const Enfant enfant = dans_un_enfant(k.limiter, [&partie] { return sauver(partie); });
        EXPECT_EQ(enfant.statut, 0);
        EXPECT_EQ(enfant.resultat, SAUVEGARDE_ECHOUEE);
        EXPECT_EQ(enfant.erreurs, "fichiers/personnages/Bob.txt: " + k.erreur + "\n");
        EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), SAUVEGARDE_BOB);
        EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
        EXPECT_EQ(contenu_du_dossier("fichiers/personnages"), avant); // no temporary file left
    }
}

TEST(SauvegardePosix, RegistryFailingPartwayKeepsTheNewSaveAndTheOldRegistry) {
    test::DossierJeu dossier;
    // A registry larger than the limit, a save smaller than it.
    std::string registre = "100\n";
    for (int i = 0; i < 100; ++i) {
        registre += "joueur" + std::to_string(i) + " " + std::to_string(1000 - i) + "\n";
    }
    dossier.ecrire("fichiers/personnages/joueurs.txt", registre);
    Partie partie = petite_partie();
    const std::string attendu =
        texte_sauvegarde(*partie.plateau, partie.l, partie.c, partie.p, *partie.sacoche);
    ASSERT_LT(attendu.size(), 512u);
    ASSERT_GT(registre.size(), 512u);
    const Enfant enfant =
        dans_un_enfant([] { limiter_taille(512); }, [&partie] { return sauver(partie); });
    EXPECT_EQ(enfant.statut, 0);
    EXPECT_EQ(enfant.resultat, SAUVEGARDE_REGISTRE_ECHOUE);
    EXPECT_EQ(enfant.erreurs, "fichiers/personnages/joueurs.txt: File too large\n");
    EXPECT_EQ(dossier.lire("fichiers/personnages/Bob.txt"), attendu);
    EXPECT_EQ(dossier.lire("fichiers/personnages/joueurs.txt"), registre);
}

} // namespace
} // namespace korva
