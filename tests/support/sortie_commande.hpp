// A shell command run to its end, as a script would run it (POSIX systems).
#pragma once

#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include <sys/wait.h>

namespace korva::test {

// What the command writes to its output (and its error stream, where it sends it there), and
// its status.
struct Sortie {
    std::string texte;
    int statut;
};
inline Sortie executer(const std::string& commande) {
    FILE* const flux = ::popen(commande.c_str(), "r");
    Sortie sortie{"", -1};
    char tampon[4096];
    for (std::size_t lus;
         flux != nullptr && (lus = std::fread(tampon, 1, sizeof tampon, flux)) > 0;) {
        sortie.texte.append(tampon, lus);
    }
    sortie.statut = flux != nullptr ? WEXITSTATUS(::pclose(flux)) : -1;
    return sortie;
}

// A program's settings against a table (a text of tests/): on each line, a line of its
// configuration before " => ", and what the program then lists of the settings in force, or its
// refusal. `programme` runs with --config, the configuration's path, then `options`.
inline void verifier_reglages(const std::string& table, const std::string& programme,
                              const std::string& options) {
    DossierJeu dossier;
    std::istringstream lignes(lire_tout(table));
    int cas = 0;
    for (std::string ligne; std::getline(lignes, ligne);) {
        const std::size_t fleche = ligne.find(" => ");
        if (!ligne.starts_with('#') && fleche != std::string::npos && ++cas) {
            dossier.ecrire("reglages.conf", "# a line\n" + ligne.substr(0, fleche) + "\n");
            const std::string sortie =
                executer(programme + " --config " + (dossier.racine() / "reglages.conf").string() +
                         " " + options + " 2>&1")
                    .texte;
            EXPECT_NE(sortie.find(ligne.substr(fleche + 4) + "\n"), std::string::npos)
                << ligne << "\n"
                << sortie;
        }
    }
    EXPECT_GT(cas, 0);
}

} // namespace korva::test
