#include "files/fichier_sur.hpp"

#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace korva {
namespace {

namespace fs = std::filesystem;

TEST(FichierSur, WritesReplacesAndReadsBack) {
    test::DossierJeu dossier;
    fs::create_directory("essai");
    const std::string chemin = "essai/a.txt";
    int numero_erreur = 0;
    std::string lu;
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, "first\n", numero_erreur));
    ASSERT_TRUE(lire_fichier(chemin, lu, numero_erreur));
    EXPECT_EQ(lu, "first\n");
    const std::string binaire("x\0y\r\n", 5);
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, binaire, numero_erreur));
    ASSERT_TRUE(lire_fichier(chemin, lu, numero_erreur));
    EXPECT_EQ(lu, binaire);
    ASSERT_TRUE(ecrire_fichier_atomique(chemin, "", numero_erreur));
    ASSERT_TRUE(lire_fichier(chemin, lu, numero_erreur));
    EXPECT_EQ(lu, "");
    EXPECT_EQ(test::noms_dans("essai"), std::vector<std::string>{"a.txt"});
}

TEST(FichierSur, FailuresGiveTheSystemsReason) {
    test::DossierJeu dossier;
    std::string contenu = "kept";
    int numero_erreur = 0;
    EXPECT_FALSE(ecrire_fichier_atomique("absent/a.txt", "x", numero_erreur));
    EXPECT_EQ(numero_erreur, ENOENT);
    numero_erreur = 0;
    EXPECT_FALSE(lire_fichier("absent.txt", contenu, numero_erreur));
    EXPECT_EQ(numero_erreur, ENOENT);
    VerrouFichier verrou("absent/registre.txt");
    EXPECT_FALSE(verrou.tenu());
    EXPECT_EQ(verrou.erreur(), ENOENT);
}

} // namespace
} // namespace korva
