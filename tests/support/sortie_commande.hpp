// A shell command run to its end, as a script would run it (POSIX systems).
#pragma once

#include <cstdio>
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

} // namespace korva::test
