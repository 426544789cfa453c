// A shell command run to its end, as a script would run it (POSIX systems).
#pragma once

#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// A table of shell commands (a text of tests/), run by sh with the shell variables `variables`
// sets: "> COMMAND" prepares what cases use, "each COMMAND" runs before each case below it, and
// "N COMMAND => TEXT" is a case, N its status and TEXT all it writes on both streams, "\n"
// between its lines, a log line's date left out and each variable's value written back as its
// $NAME, in the order given (a value within another after it). The runner writes the table again
// with what each case did.
inline void verifier_commandes(const std::string& table,
                               const std::vector<std::pair<std::string, std::string>>& variables) {
    std::string avant = "export", sortie, chaque;
    for (const auto& [nom, valeur] : variables) {
        avant += " " + nom + "='" + valeur + "'";
    }
    std::istringstream lignes(lire_tout(table));
    for (std::string ligne; std::getline(lignes, ligne);) {
        const std::size_t blanc = ligne.find(' '), fleche = ligne.find(" => ");
        chaque = ligne.starts_with("each ") ? ligne.substr(5) + "; " : chaque;
        EXPECT_TRUE(!ligne.starts_with("> ") ||
                    executer(avant + "; " + ligne.substr(2)).statut == 0)
            << ligne;
        if (ligne.starts_with('#') || fleche == std::string::npos) {
            sortie += ligne + "\n";
            continue;
        }
        const std::string commande = ligne.substr(blanc + 1, fleche - blanc - 1);
        const Sortie s = executer(avant + "; " + chaque + "(" + commande + ") </dev/null 2>&1");
        std::string texte =
            std::regex_replace(s.texte, std::regex("\r|(^|\n)\\S+Z (?=korva)"), "$1");
        texte = std::regex_replace(texte.substr(0, texte.find_last_not_of('\n') + 1),
                                   std::regex("\n"), "\\n");
        for (const auto& [nom, valeur] : variables) {
            for (std::size_t i; (i = texte.find(valeur)) != std::string::npos;) {
                texte.replace(i, valeur.size(), "$" + nom);
            }
        }
        sortie += std::to_string(s.statut) + " " + commande + " => " + texte + "\n";
    }
    comparer_au_fichier(table, sortie);
}

} // namespace korva::test
