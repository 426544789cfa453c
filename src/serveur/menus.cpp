// The lobby's menus: a line each entry, its key, its words and what the lobby then does.
#include "serveur/hall.hpp"

#include <array>

namespace korva::serveur {

const Menu Hall::ACCUEIL = [] {
    static constexpr std::array entrees{
        EntreeMenu{'1', "log in", &Hall::connexion},
        EntreeMenu{'2', "register", &Hall::inscription},
        EntreeMenu{'q', "leave", &Hall::quitter},
    };
    return Menu{"welcome", entrees, "At a prompt, Ctrl-D goes back to the menu."};
}();

const Menu Hall::COMPTE = [] {
    static constexpr std::array entrees{
        EntreeMenu{'1', "play", &Hall::jouer},
        EntreeMenu{'2', "watch a game in progress", &Hall::regarder_en_cours},
        EntreeMenu{'3', "watch a recording", &Hall::regarder_enregistrement},
        EntreeMenu{'4', "the ranking", &Hall::classement},
        EntreeMenu{'5', "change the password", &Hall::changer_mot_de_passe},
        EntreeMenu{'6', "your games", &Hall::mes_parties},
        EntreeMenu{'q', "leave", &Hall::quitter},
    };
    return Menu{"", entrees, ""};
}();

} // namespace korva::serveur
