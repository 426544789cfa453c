#include "files/fichier_sur.hpp"
#include "support/dossier_jeu.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace korva {
namespace {

namespace fs = std::filesystem;

// True when someone else holds the lock on the file at `chemin` (tried without waiting).
bool verrou_pris_ailleurs(const std::string& chemin) {
    const HANDLE fichier =
        CreateFileA(chemin.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (fichier == INVALID_HANDLE_VALUE) {
        return false;
    }
    OVERLAPPED debut{};
    const bool pris = !LockFileEx(fichier, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                  MAXDWORD, MAXDWORD, &debut);
    if (!pris) {
        UnlockFileEx(fichier, 0, MAXDWORD, MAXDWORD, &debut);
    }
    CloseHandle(fichier);
    return pris;
}

int nombre_de_fichiers(const fs::path& dossier) {
    int n = 0;
    for ([[maybe_unused]] const auto& entree : fs::directory_iterator(dossier)) {
        ++n;
    }
    return n;
}

TEST(FichierSurWindows, ReplacesWholeFilesByteForByte) {
    test::DossierJeu dossier;
    dossier.ecrire("fichiers/personnages/Conan.txt", "old content, longer than the new one\r\n");
    const int avant = nombre_de_fichiers(dossier.racine() / "fichiers/personnages");
    int erreur = 0;
    // Line feeds stay single bytes: the files read the same on every system.
    const std::string contenu("2\n{1,0,1},{4,1,1},\n\x94\x00end", 24);
    ASSERT_TRUE(ecrire_fichier_atomique("fichiers/personnages/Conan.txt", contenu, erreur));
    EXPECT_EQ(dossier.lire("fichiers/personnages/Conan.txt"), contenu);
    std::string lu;
    ASSERT_TRUE(lire_fichier("fichiers/personnages/Conan.txt", lu, erreur));
    EXPECT_EQ(lu, contenu);
    ASSERT_TRUE(ecrire_fichier_atomique("fichiers/personnages/Xena.txt", "", erreur));
    EXPECT_EQ(dossier.lire("fichiers/personnages/Xena.txt"), "");
    // No temporary file is left beside them.
    EXPECT_EQ(nombre_de_fichiers(dossier.racine() / "fichiers/personnages"), avant + 1);
}

TEST(FichierSurWindows, FailuresKeepTheOldFileAndGiveTheReason) {
    test::DossierJeu dossier;
    int erreur = 0;
    EXPECT_FALSE(ecrire_fichier_atomique("fichiers/absent/Conan.txt", "x", erreur));
    EXPECT_EQ(erreur, ENOENT);
    std::string lu = "untouched";
    erreur = 0;
    EXPECT_FALSE(lire_fichier("fichiers/personnages/absent.txt", lu, erreur));
    EXPECT_EQ(erreur, ENOENT);
    // A folder in the way cannot be replaced by a file: it stays, and nothing is left behind.
    fs::create_directories(dossier.racine() / "fichiers/personnages/Dossier.txt/dedans");
    const int avant = nombre_de_fichiers(dossier.racine() / "fichiers/personnages");
    erreur = 0;
    EXPECT_FALSE(ecrire_fichier_atomique("fichiers/personnages/Dossier.txt", "x", erreur));
    EXPECT_NE(erreur, 0);
    EXPECT_TRUE(fs::is_directory(dossier.racine() / "fichiers/personnages/Dossier.txt/dedans"));
    EXPECT_EQ(nombre_de_fichiers(dossier.racine() / "fichiers/personnages"), avant);
}

TEST(FichierSurWindows, LockIsHeldForTheObjectsLifetime) {
    test::DossierJeu dossier;
    const std::string garde = "fichiers/personnages/joueurs.txt";
    {
        const VerrouFichier verrou(garde);
        ASSERT_TRUE(verrou.tenu());
        EXPECT_EQ(verrou.erreur(), 0);
        EXPECT_TRUE(verrou_pris_ailleurs(garde + ".lock"));
        // The guarded file itself stays free to read and replace.
        int erreur = 0;
        EXPECT_TRUE(ecrire_fichier_atomique(garde, "1\nConan 55\n", erreur));
    }
    EXPECT_FALSE(verrou_pris_ailleurs(garde + ".lock"));
    EXPECT_EQ(dossier.lire(garde), "1\nConan 55\n");

    const VerrouFichier sans_dossier("fichiers/absent/joueurs.txt");
    EXPECT_FALSE(sans_dossier.tenu());
    EXPECT_EQ(sans_dossier.erreur(), ENOENT);
}

} // namespace
} // namespace korva
