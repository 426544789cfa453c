#include "console/terminal.hpp"
#include "files/enregistrement.hpp"
#include "files/fichier_sur.hpp"
#include "game/jeu.hpp"
#include "game/options.hpp"
#include "game/rejeu.hpp"

#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    const korva::Commande commande =
        korva::lire_commande(std::vector<std::string>(argv + 1, argv + argc));
    if (commande.reponse) {
        std::fputs(commande.reponse->texte.c_str(), commande.reponse->erreur ? stderr : stdout);
        return commande.reponse->statut;
    }
    // A recording that cannot be played is refused before anything is shown; one followed
    // live is watched from before its first read, so that nothing it gets meanwhile is lost.
    korva::Enregistrement enregistrement;
    std::string raison;
    int numero_erreur = 0;
    std::optional<korva::PartieSuivie> suivie;
    if (commande.suivre) {
        suivie.emplace(commande.rejeu, numero_erreur);
    }
    const bool jouable =
        commande.rejeu.empty() ||
        (suivie ? numero_erreur == 0 && korva::enregistrement_jouable(
                                            commande.rejeu, suivie->debut(), enregistrement, raison)
                : korva::enregistrement_jouable(commande.rejeu, enregistrement, raison));
    if (!jouable) {
        std::fprintf(stderr, "korva: %s\n",
                     numero_erreur != 0
                         ? (commande.rejeu + ": " + korva::raison_fichier(numero_erreur)).c_str()
                         : raison.c_str());
        return 1;
    }
    const std::unique_ptr<korva::Console> terminal = korva::creer_console_terminal(raison);
    if (!terminal) {
        std::fprintf(stderr, "%s\n", raison.c_str());
        return 1;
    }
    korva::installer_console(terminal.get());
    if (!commande.rejeu.empty()) {
        korva::rejouer(enregistrement, korva::PAS_REJEU_MS, suivie ? &*suivie : nullptr);
    }
    korva::jeu_principal();
}
