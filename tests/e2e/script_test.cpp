// The program run without a terminal, as a script would (or with its output sent to a file): it
// answers its options, and refuses to play in one line on the error stream before writing
// anything else.
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/sortie_commande.hpp"

#include <gtest/gtest.h>

#include <string>

namespace korva::test {
namespace {

Sortie lancer(const std::string& arguments) {
    return executer("timeout -s KILL 20 '" + std::string(KORVA_BINAIRE) + "' 2>&1 " + arguments);
}

TEST(SansTerminal, OptionsAnsweredAndPlayRefused) {
    DossierJeu dossier;
    const std::string usage =
        "usage: korva [--version] [--help] [--replay FILE] [--replay FILE --follow]\n";
    const std::string refus =
        "korva: KORVA is played on a terminal: its input and output must be one\n";
    struct Cas {
        std::string arguments;
        std::string debut;
        int statut;
    };
    for (const Cas& cas :
         {Cas{"--version 2>/dev/null", "korva " KORVA_VERSION_ATTENDUE "\n", 0},
          Cas{"--help 2>/dev/null", usage + lire_tout(KORVA_TESTS "/e2e/aide.txt"), 0},
          Cas{"</dev/null", refus, 1},
          Cas{"--aide >/dev/null", "korva: unknown option '--aide'\n" + usage, 2},
          Cas{"--help --version", "korva: one option at a time\n" + usage, 2},
          Cas{"--replay", "korva: option '--replay' needs FILE\n" + usage, 2},
          Cas{"--replay absent.txt", "korva: absent.txt: No such file or directory\n", 1},
          Cas{"--replay absent.txt --follow", "korva: absent.txt: No such file or directory\n", 1},
          Cas{"--replay a.txt --folow", "korva: unknown option '--folow'\n" + usage, 2},
          Cas{"--replay --follow a.txt", "korva: unknown option 'a.txt'\n" + usage, 2}}) {
        SCOPED_TRACE(cas.arguments);
        const Sortie sortie = lancer(cas.arguments);
        EXPECT_EQ(sortie.statut, cas.statut);
        EXPECT_TRUE(sortie.texte.starts_with(cas.debut)) << sortie.texte;
        EXPECT_EQ(sortie.texte.find('\x1b'), std::string::npos);
    }
    // Its input a terminal but its output a file: refused all the same, the file left empty.
    const Sortie sortie =
        executer("timeout -s KILL 20 script -qec \"'" KORVA_BINAIRE "' >sortie.txt\" /dev/null");
    EXPECT_EQ(sortie.statut, 1);
    EXPECT_NE(sortie.texte.find(refus.substr(0, refus.size() - 1)), std::string::npos);
    EXPECT_EQ(dossier.lire("sortie.txt"), "");
}

} // namespace
} // namespace korva::test
