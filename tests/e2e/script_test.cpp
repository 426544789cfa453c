// The program run without a terminal, as a script would: it answers its options, and refuses
// to play in one line on the error stream before writing anything else.
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace korva::test {
namespace {

// What the program writes to its output and error streams, and its status.
struct Sortie {
    std::string texte;
    int statut;
};
Sortie lancer(const std::string& arguments) {
    const std::string commande =
        "timeout -s KILL 20 '" + std::string(KORVA_BINAIRE) + "' 2>&1 " + arguments;
    FILE* const jeu = ::popen(commande.c_str(), "r");
    Sortie sortie{"", 0};
    char tampon[4096];
    for (std::size_t lus; (lus = std::fread(tampon, 1, sizeof tampon, jeu)) > 0;) {
        sortie.texte.append(tampon, lus);
    }
    sortie.statut = WEXITSTATUS(::pclose(jeu));
    return sortie;
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
          Cas{"--help 2>/dev/null", usage, 0}, Cas{"</dev/null", refus, 1},
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
}

} // namespace
} // namespace korva::test
