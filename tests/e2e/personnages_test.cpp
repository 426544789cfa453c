#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

namespace korva {
namespace {

using test::DossierJeu;
using test::PartieTerminal;

constexpr const char* REGISTRE = "fichiers/personnages/joueurs.txt";

// From start-up to the name prompt of a new game.
void jusqu_au_nom(PartieTerminal& partie) {
    ASSERT_TRUE(partie.attendre("Press any key to continue . . ."));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("3 : quit"));
    partie.envoyer("1");
    ASSERT_TRUE(partie.attendre("Enter the name of your persona : "));
}

TEST(PersonnagesBoutEnBout, NewGameShowsTheSheet) {
    DossierJeu dossier;
    PartieTerminal partie(dossier.racine());
    jusqu_au_nom(partie);
    partie.envoyer("Ayla\r");
    ASSERT_TRUE(partie.attendre("===> ? : "));
    partie.envoyer("1\r");
    ASSERT_TRUE(partie.attendre("Here we are : Ayla , The genial magician !"));
    ASSERT_TRUE(partie.attendre("His score : 0"));
    ASSERT_TRUE(partie.attendre("Be careful ! ! !"));
    // One pause after the sheet, then the first level's board and status block.
    ASSERT_TRUE(partie.attendre("Press any key to continue . . ."));
    partie.envoyer(" ");
    ASSERT_TRUE(partie.attendre("Level : 1"));
    ASSERT_TRUE(partie.attendre("Body : "));
    EXPECT_EQ(partie.erreurs(), "");
    EXPECT_EQ(dossier.lire(REGISTRE), "0\n"); // a new game records nobody
}

TEST(PersonnagesBoutEnBout, RegisteredNameIsRefused) {
    DossierJeu dossier;
    dossier.ecrire(REGISTRE, "1\nAyla 10\n");
    PartieTerminal partie(dossier.racine());
    jusqu_au_nom(partie);
    partie.envoyer("Ayla\r");
    ASSERT_TRUE(partie.attendre("Pseudonym : Ayla is already exist...restart the game"));
    partie.envoyer(" ");
    EXPECT_EQ(partie.attendre_fin(), 0);
    EXPECT_EQ(dossier.lire(REGISTRE), "1\nAyla 10\n");
}

} // namespace
} // namespace korva
