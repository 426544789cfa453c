// The file primitives where only POSIX can stop them: file size limits, folders in the way,
// and two processes at once.
#include "files/fichier_sur.hpp"

#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace korva {
namespace {

namespace fs = std::filesystem;

std::string lire(const std::string& chemin) {
    std::string contenu;
    int numero_erreur = 0;
    EXPECT_TRUE(lire_fichier(chemin, contenu, numero_erreur)) << chemin;
    return contenu;
}

TEST(FichierSurPosix, FoldersInTheWayAndPermissions) {
    test::DossierJeu dossier;
    fs::create_directories("essai/dossier");
    int numero_erreur = 0;
    std::string contenu = "kept";
    EXPECT_FALSE(lire_fichier("essai/dossier", contenu, numero_erreur));
    EXPECT_EQ(numero_erreur, EISDIR);
    // A folder in the way of the rename stays, and nothing is left beside it.
    numero_erreur = 0;
    EXPECT_FALSE(ecrire_fichier_atomique("essai/dossier", "x", numero_erreur));
    EXPECT_EQ(numero_erreur, EISDIR);
    EXPECT_TRUE(fs::is_directory("essai/dossier"));
    EXPECT_EQ(test::noms_dans("essai"), std::vector<std::string>{"dossier"});
    // Readable by others, as a file the game writes plainly would be.
    ASSERT_TRUE(ecrire_fichier_atomique("essai/a.txt", "x", numero_erreur));
    EXPECT_EQ(fs::status("essai/a.txt").permissions() & fs::perms::others_read,
              fs::perms::others_read);
}

TEST(FichierSurPosix, WriteCutShortLeavesTheOldFileWhole) {
    test::DossierJeu dossier;
    fs::create_directory("essai");
    const std::string chemin = "essai/a.txt";
    int numero_erreur = 0;
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, "old content\n", numero_erreur));
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limite{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limite);
        int erreur = 0;
        const bool reussi = ecrire_fichier_atomique(chemin, std::string(5000, 'n'), erreur);
        ::_exit(!reussi && erreur == EFBIG ? 0 : 1);
    }
    int statut = -1;
    ::waitpid(pid, &statut, 0);
    EXPECT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0) << statut;
    EXPECT_EQ(lire(chemin), "old content\n");
    EXPECT_EQ(test::noms_dans("essai"), std::vector<std::string>{"a.txt"});
}

// Read, add one, rewrite: the lock must make each round whole against the other process.
void compter(const std::string& chemin, int tours) {
    for (int i = 0; i < tours; ++i) {
        VerrouFichier verrou(chemin);
        if (!verrou.tenu()) {
            ::_exit(2);
        }
        std::string texte;
        int numero_erreur = 0;
        if (!lire_fichier(chemin, texte, numero_erreur)) {
            ::_exit(3);
        }
        const int valeur = std::atoi(texte.c_str());
        if (!ecrire_fichier_atomique(chemin, std::to_string(valeur + 1), numero_erreur)) {
            ::_exit(4);
        }
    }
}

TEST(FichierSurPosix, TwoProcessesUnderTheLockLoseNoIncrement) {
    test::DossierJeu dossier;
    fs::create_directory("essai");
    const std::string chemin = "essai/compteur.txt";
    int numero_erreur = 0;
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, "0", numero_erreur));
    constexpr int TOURS = 300;
    pid_t enfants[2];
    for (pid_t& enfant : enfants) {
        enfant = ::fork();
        if (enfant == 0) {
            compter(chemin, TOURS);
            ::_exit(0);
        }
    }
    for (const pid_t enfant : enfants) {
        int statut = -1;
        ::waitpid(enfant, &statut, 0);
        EXPECT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0) << statut;
    }
    EXPECT_EQ(lire(chemin), std::to_string(2 * TOURS));
    EXPECT_EQ(test::noms_dans("essai"),
              (std::vector<std::string>{"compteur.txt", "compteur.txt.lock"}));
}

} // namespace
} // namespace korva
