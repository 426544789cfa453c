#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <sys/wait.h>

namespace korva::test {
namespace {

struct Resultat {
    std::string sortie;
    int statut = -1;
};

// Runs the game with `entree` as its whole standard input, through a pipe that then ends, and
// its standard output into a pipe: no terminal anywhere. A game that hangs is killed.
Resultat jouer_par_script(const std::filesystem::path& dossier, const std::string& entree) {
    std::ofstream(dossier / "entree.bin", std::ios::binary) << entree;
    const std::string commande = "cd '" + dossier.string() +
                                 "' && cat entree.bin | timeout -s KILL 20 '" + KORVA_BINAIRE +
                                 "' 2>/dev/null";
    Resultat resultat;
    FILE* const jeu = ::popen(commande.c_str(), "r");
    if (jeu == nullptr) {
        ADD_FAILURE() << "no pipe";
        return resultat;
    }
    char tampon[4096];
    for (std::size_t lus; (lus = std::fread(tampon, 1, sizeof tampon, jeu)) > 0;) {
        resultat.sortie.append(tampon, lus);
    }
    const int etat = ::pclose(jeu);
    resultat.statut = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    return resultat;
}

std::size_t occurrences(const std::string& texte, std::string_view motif) {
    std::size_t n = 0;
    for (auto i = texte.find(motif); i != std::string::npos; i = texte.find(motif, i + 1)) {
        ++n;
    }
    return n;
}

TEST(PartieParScript, KeysAreReadAsTheyComeWithoutATerminalAndEndOfInputEndsTheGame) {
    struct Cas {
        const char* entree;
        std::size_t menus;
        bool au_revoir;
    };
    // The pause's key, an arrow (two codes: two menus more, nothing dropped), then quit; the
    // input ending at the menu; at the pause.
    for (const Cas& cas : {Cas{"\n\x1b[A3", 3, true}, Cas{"\n", 1, false}, Cas{"", 0, false}}) {
        SCOPED_TRACE(cas.entree);
        DossierJeu dossier;
        const Resultat r = jouer_par_script(dossier.racine(), cas.entree);
        EXPECT_EQ(r.statut, 0);
        EXPECT_NE(r.sortie.find("Press any key to continue . . ."), std::string::npos);
        EXPECT_EQ(occurrences(r.sortie, "A KORVA-LIKE DUNGEON CRAWLER"), cas.menus);
        EXPECT_EQ(r.sortie.find("\nBye Bye...\n") != std::string::npos, cas.au_revoir);
        EXPECT_TRUE(r.sortie.ends_with("\x1b[0m\x1b[?25h"));
    }
}

} // namespace
} // namespace korva::test
