// Every reason a file of the game is refused, as the player reads it (tests/files/lectures.txt):
// each case is a file's text under "== save", "== level", "== registry" or "== recording",
// followed by "-> " and what its reader makes of it ("ok", or the reason); or a line of the
// games log under "== games log", which its reader takes ("ok") or not ("refused"). In a text,
// \xNN stands for a byte. A text read whole is written again by the game's writer, which must
// give the very same text where the case says "ok".
#include "characters/registre.hpp"
#include "files/enregistrement.hpp"
#include "files/journal_parties.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "support/dore.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace korva::test {
namespace {

std::string lire_le_texte(const std::string& sorte, const std::string& texte) {
    if (sorte == "games log") {
        const std::optional<PartieFinie> lue =
            lire_ligne_partie(std::string_view(texte).substr(0, texte.size() - 1));
        return !lue ? "refused" : ligne_partie(*lue) == texte ? "ok" : "ok, but written otherwise";
    }
    auto partie = std::make_unique<PartieSauvee>();
    int l = 0, c = 0;
    std::vector<sJoueur> joueurs;
    Enregistrement enregistrement;
    std::string erreur;
    const bool lu = sorte == "save"       ? lire_sauvegarde(texte, "Bob", *partie, erreur)
                    : sorte == "level"    ? lire_niveau(texte, partie->plateau, l, c, erreur)
                    : sorte == "registry" ? lire_registre(texte, joueurs, erreur)
                                          : lire_enregistrement(texte, enregistrement, erreur);
    if (!lu) {
        return erreur;
    }
    // A text written as the game writes it pins the writer too: it must come out the same.
    const std::string ecrit = sorte == "save"       ? texte_sauvegarde(*partie)
                              : sorte == "registry" ? texte_du_registre(joueurs)
                              : sorte == "level"    ? texte
                                                    : texte_enregistrement(enregistrement);
    return ecrit == texte ? "ok" : "ok, but the game would write it otherwise";
}

TEST(Lectures, EveryReasonAFileIsRefused) {
    const std::string chemin = std::string(KORVA_TESTS) + "/files/lectures.txt";
    std::istringstream lignes(lire_tout(chemin));
    std::string obtenu, sorte, texte;
    for (std::string ligne; std::getline(lignes, ligne);) {
        if (ligne.starts_with("-> ")) {
            obtenu += "-> " + lire_le_texte(sorte, texte) + "\n";
            sorte.clear();
            continue;
        }
        obtenu += ligne + "\n";
        if (ligne.starts_with("== ")) {
            sorte = ligne.substr(3);
            texte.clear();
        } else if (!sorte.empty()) {
            texte += octets_de(ligne) + "\n";
        }
    }
    comparer_au_fichier(chemin, obtenu);
}

} // namespace
} // namespace korva::test
