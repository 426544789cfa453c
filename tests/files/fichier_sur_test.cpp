#include "files/fichier_sur.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva {
namespace {

namespace fs = std::filesystem;

// A temporary folder removed at the end of the test.
class DossierTemporaire {
public:
    DossierTemporaire() {
        std::string modele = (fs::temp_directory_path() / "korva-fichier-XXXXXX").string();
        if (::mkdtemp(modele.data()) == nullptr) {
            throw std::runtime_error("mkdtemp");
        }
        racine_ = modele;
    }
    ~DossierTemporaire() {
        std::error_code ignore;
        fs::remove_all(racine_, ignore);
    }
    std::string chemin(const std::string& nom) const { return (racine_ / nom).string(); }
    std::vector<std::string> noms() const {
        std::vector<std::string> liste;
        for (const auto& entree : fs::directory_iterator(racine_)) {
            liste.push_back(entree.path().filename().string());
        }
        std::sort(liste.begin(), liste.end());
        return liste;
    }

private:
    fs::path racine_;
};

std::string lire(const std::string& chemin) {
    std::string contenu;
    int numero_erreur = 0;
    EXPECT_TRUE(lire_fichier(chemin, contenu, numero_erreur)) << chemin;
    return contenu;
}

TEST(FichierSur, WritesReplacesAndReadsBack) {
    DossierTemporaire dossier;
    const std::string chemin = dossier.chemin("a.txt");
    int numero_erreur = 0;
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, "first\n", numero_erreur));
    EXPECT_EQ(lire(chemin), "first\n");
    std::string binaire("x\0y\r\n", 5);
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, binaire, numero_erreur));
    EXPECT_EQ(lire(chemin), binaire);
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, "", numero_erreur));
    EXPECT_EQ(lire(chemin), "");
    EXPECT_EQ(dossier.noms(), std::vector<std::string>{"a.txt"});
    // Readable by others, as a file the game writes plainly would be.
    EXPECT_EQ(fs::status(chemin).permissions() & fs::perms::others_read, fs::perms::others_read);
}

TEST(FichierSur, FailuresGiveTheSystemsReason) {
    DossierTemporaire dossier;
    std::string contenu = "kept";
    int numero_erreur = 0;
    EXPECT_FALSE(ecrire_fichier_atomique(dossier.chemin("absent/a.txt"), "x", numero_erreur));
    EXPECT_EQ(numero_erreur, ENOENT);
    numero_erreur = 0;
    EXPECT_FALSE(lire_fichier(dossier.chemin("absent.txt"), contenu, numero_erreur));
    EXPECT_EQ(numero_erreur, ENOENT);
    numero_erreur = 0;
    fs::create_directory(dossier.chemin("dossier"));
    EXPECT_FALSE(lire_fichier(dossier.chemin("dossier"), contenu, numero_erreur));
    EXPECT_EQ(numero_erreur, EISDIR);
    // A folder in the way of the rename: the folder stays, nothing is left beside it.
    numero_erreur = 0;
    EXPECT_FALSE(ecrire_fichier_atomique(dossier.chemin("dossier"), "x", numero_erreur));
    EXPECT_EQ(numero_erreur, EISDIR);
    EXPECT_TRUE(fs::is_directory(dossier.chemin("dossier")));
    EXPECT_EQ(dossier.noms(), std::vector<std::string>{"dossier"});

    VerrouFichier verrou(dossier.chemin("absent/registre.txt"));
    EXPECT_FALSE(verrou.tenu());
    EXPECT_EQ(verrou.erreur(), ENOENT);
}

TEST(FichierSur, WriteCutShortLeavesTheOldFileWhole) {
    DossierTemporaire dossier;
    const std::string chemin = dossier.chemin("a.txt");
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
    EXPECT_EQ(dossier.noms(), std::vector<std::string>{"a.txt"});
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

TEST(FichierSur, TwoProcessesUnderTheLockLoseNoIncrement) {
    DossierTemporaire dossier;
    const std::string chemin = dossier.chemin("compteur.txt");
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
    EXPECT_EQ(dossier.noms(), (std::vector<std::string>{"compteur.txt", "compteur.txt.lock"}));
}

} // namespace
} // namespace korva
