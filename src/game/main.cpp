#include "console/terminal.hpp"
#include "game/jeu.hpp"

int main() {
    const std::unique_ptr<korva::Console> terminal = korva::creer_console_terminal();
    korva::installer_console(terminal.get());
    korva::jeu_principal();
}
