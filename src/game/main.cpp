#include "console/terminal.hpp"
#include "files/enregistrement.hpp"
#include "game/jeu.hpp"
#include "game/options.hpp"
#include "game/rejeu.hpp"

#include <cstdio>

int main(int argc, char** argv) {
    const korva::Commande commande =
        korva::lire_commande(std::vector<std::string>(argv + 1, argv + argc));
    if (commande.reponse) {
        std::fputs(commande.reponse->texte.c_str(), commande.reponse->erreur ? stderr : stdout);
        return commande.reponse->statut;
    }
    // A recording that cannot be played is refused before anything is shown.
    korva::Enregistrement enregistrement;
    std::string raison;
    if (!commande.rejeu.empty() &&
        !korva::enregistrement_jouable(commande.rejeu, enregistrement, raison)) {
        std::fprintf(stderr, "korva: %s\n", raison.c_str());
        return 1;
    }
    const std::unique_ptr<korva::Console> terminal = korva::creer_console_terminal(raison);
    if (!terminal) {
        std::fprintf(stderr, "%s\n", raison.c_str());
        return 1;
    }
    korva::installer_console(terminal.get());
    if (!commande.rejeu.empty()) {
        korva::rejouer(enregistrement);
    }
    korva::jeu_principal();
}
