#include "console/terminal.hpp"
#include "game/jeu.hpp"
#include "game/options.hpp"

#include <cstdio>

int main(int argc, char** argv) {
    if (const auto reponse =
            korva::repondre_options(std::vector<std::string>(argv + 1, argv + argc))) {
        std::fputs(reponse->texte.c_str(), reponse->erreur ? stderr : stdout);
        return reponse->statut;
    }
    std::string raison;
    const std::unique_ptr<korva::Console> terminal = korva::creer_console_terminal(raison);
    if (!terminal) {
        std::fprintf(stderr, "%s\n", raison.c_str());
        return 1;
    }
    korva::installer_console(terminal.get());
    korva::jeu_principal();
}
