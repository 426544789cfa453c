// The game's files where only a POSIX system can put something in their way: pipes and
// devices named like them, links, permissions, a disk that refuses a write, two games at once.
#include "files/fichier_sur.hpp"

#include "game/enregistreur.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva {
namespace {

namespace fs = std::filesystem;

int lire(const std::string& chemin, std::string& contenu) {
    int numero_erreur = 0;
    return lire_fichier(chemin, contenu, numero_erreur) ? 0 : numero_erreur;
}

// Runs `enfant` in a child process, and `pendant` here meanwhile; true when the child ended with
// status 0.
template <typename F, typename G> bool dans_un_processus(F enfant, G pendant) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(enfant() ? 0 : 1);
    }
    pendant();
    int statut = -1;
    ::waitpid(pid, &statut, 0);
    return WIFEXITED(statut) && WEXITSTATUS(statut) == 0;
}

TEST(FichierSurPosix, OnlyRegularFilesOfAGameFilesSizeAreRead) {
    test::DossierJeu dossier;
    // Larger than any file of the game: a save of a full board is about 2 MB. The limit itself
    // is read.
    dossier.ecrire("gros", std::string(TAILLE_LECTURE_MAX + 1, 'x'));
    dossier.ecrire("limite", std::string(TAILLE_LECTURE_MAX, 'x'));
    dossier.ecrire("petit", "kept");
    ::mkfifo("fifo", 0644);
    fs::create_symlink("/dev/zero", "zero");
    fs::create_symlink("petit", "lien");
    fs::create_directory("dossier");
    std::string contenu;
    EXPECT_EQ(lire("gros", contenu), ERREUR_TROP_GRAND);
    EXPECT_EQ(lire("limite", contenu), 0);
    // As the player reads the refusals.
    EXPECT_EQ(raison_fichier(ERREUR_TROP_GRAND),
              "larger than 8 MB, too large for a file of the game");
    EXPECT_EQ(raison_fichier(ERREUR_PAS_UN_FICHIER), "not a regular file (a pipe or a device)");
    EXPECT_EQ(lire("fifo", contenu), ERREUR_PAS_UN_FICHIER); // at once, with no writer
    EXPECT_EQ(lire("zero", contenu), ERREUR_PAS_UN_FICHIER);
    EXPECT_EQ(lire("dossier", contenu), EISDIR);
    EXPECT_EQ(lire("lien", contenu), 0);
    EXPECT_EQ(contenu, "kept");
    int numero_erreur = 0;
    EXPECT_FALSE(ecrire_fichier_atomique("fifo", "x", numero_erreur));
    EXPECT_TRUE(fs::is_fifo("fifo"));
}

TEST(FichierSurPosix, AReplacedFileKeepsItsPermissionsAndANewOneFollowsTheUmask) {
    for (const auto& [avant, masque, apres] : {std::tuple{0600, 022, 0600},
                                               {0666, 022, 0666},
                                               {0, 022, 0644},
                                               {0, 077, 0600},
                                               {0, 002, 0664},
                                               {0, 0, 0666}}) {
        test::DossierJeu dossier;
        if (avant != 0) {
            dossier.ecrire("a.txt", "old");
            fs::permissions("a.txt", static_cast<fs::perms>(avant));
        }
        const mode_t ancien = ::umask(static_cast<mode_t>(masque));
        int numero_erreur = 0;
        EXPECT_TRUE(ecrire_fichier_atomique("a.txt", "new", numero_erreur));
        ::umask(ancien);
        EXPECT_EQ(static_cast<int>(fs::status("a.txt").permissions()), apres) << avant;
    }
}

// A save kept elsewhere through a link (or a link to a link) is written where it lies, the link
// kept; one its owner made read-only is refused, whole.
TEST(FichierSurPosix, ALinkIsWrittenThroughAndAReadOnlyFileStays) {
    test::DossierJeu dossier;
    dossier.ecrire("ailleurs/a.txt", "old");
    dossier.ecrire("seul.txt", "kept");
    // Relative links lead from the folder that holds them, as a save's from its own folder.
    fs::create_directory("saves");
    fs::create_symlink("../ailleurs/a.txt", "saves/lien");
    fs::create_symlink("../ailleurs/neuf.txt", "saves/vers_rien");
    fs::permissions("seul.txt", fs::perms::owner_read);
    int erreur = 0;
    EXPECT_TRUE(ecrire_fichier_atomique("saves/lien", "new", erreur) &&
                fs::is_symlink("saves/lien"));
    EXPECT_TRUE(ecrire_fichier_atomique("saves/vers_rien", "made", erreur));
    EXPECT_FALSE(ecrire_fichier_atomique("seul.txt", "new", erreur));
    EXPECT_EQ(erreur, EACCES);
    // Links to links are followed as the system follows them: 40 at most.
    dossier.ecrire("ailleurs/b.txt", "old");
    for (int i = 1; i <= 41; ++i) {
        fs::create_symlink(i == 1 ? "../ailleurs/b.txt" : "l" + std::to_string(i - 1),
                           "saves/l" + std::to_string(i));
    }
    EXPECT_TRUE(ecrire_fichier_atomique("saves/l40", "deep", erreur));
    EXPECT_FALSE(ecrire_fichier_atomique("saves/l41", "deeper", erreur));
    EXPECT_EQ(erreur, ELOOP);
    for (const auto& [chemin, contenu] : {std::pair{"ailleurs/a.txt", "new"},
                                          {"ailleurs/b.txt", "deep"},
                                          {"ailleurs/neuf.txt", "made"},
                                          {"seul.txt", "kept"}}) {
        EXPECT_EQ(dossier.lire(chemin), contenu);
    }
}

// A line added in part is no line added; a recording whose heading could not be written is
// taken away, reported once.
TEST(FichierSurPosix, AWriteCutShortLeavesTheOldFileWholeAndNothingBeside) {
    test::DossierJeu dossier;
    fs::create_directory("essai");
    dossier.ecrire("essai/a.txt", "old content\n");
    EXPECT_TRUE(dans_un_processus(
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limite{20, 20};
            ::setrlimit(RLIMIT_FSIZE, &limite);
            int erreur = 0;
            test::ConsoleScriptee console;
            console.touche(' ');
            const bool sans_nom = FichierEnregistrement(EnTeteEnregistrement{}).nom().empty();
            return !ecrire_fichier_atomique("essai/a.txt", std::string(5000, 'n'), erreur) &&
                   erreur == EFBIG &&
                   !ajouter_au_fichier("journal", std::string(30, 'j'), erreur) && erreur == EIO &&
                   console.erreurs().find("File too large") != std::string::npos && sans_nom;
        },
        [] {}));
    EXPECT_EQ(dossier.lire("essai/a.txt"), "old content\n");
    EXPECT_EQ(test::noms_dans("essai"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(dossier.lire("journal"), std::string(20, 'j'));
    EXPECT_TRUE(test::noms_dans(DOSSIER_ENREGISTREMENTS).empty());
}

// One of the two reaches the file through a link from another folder, as each account of a
// server reaches the one registry: the lock is taken beside the file the link leads to.
TEST(FichierSurPosix, TwoGamesUnderTheLockLoseNoUpdate) {
    test::DossierJeu dossier;
    dossier.ecrire("compteur", "0");
    fs::create_directory("compte");
    fs::create_symlink("../compteur", "compte/compteur");
    constexpr int TOURS = 200;
    // Read, add one, write back: without the lock the two would overwrite each other's rounds.
    const auto compter = [](const std::string& chemin) {
        for (int i = 0; i < TOURS; ++i) {
            const VerrouFichier verrou(chemin);
            std::string texte;
            int erreur = 0;
            if (!verrou.tenu() || !lire_fichier(chemin, texte, erreur) ||
                !ecrire_fichier_atomique(chemin, std::to_string(std::atoi(texte.c_str()) + 1),
                                         erreur)) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(dans_un_processus([&compter] { return compter("compte/compteur"); },
                                  [&compter] { EXPECT_TRUE(compter("compteur")); }));
    EXPECT_EQ(dossier.lire("compteur"), std::to_string(2 * TOURS));
    EXPECT_FALSE(fs::exists("compte/compteur.lock"));
}

} // namespace
} // namespace korva
