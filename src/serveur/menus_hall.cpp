#include "serveur/menus_hall.hpp"

#include "serveur/hall.hpp"

#include <array>

namespace korva::serveur {

// The lobby's friend, so that its entries may name what the lobby does.
struct MenusDuHall {
    static constexpr std::array ACCUEIL{
        EntreeMenu{'1', "log in", &Hall::connexion},
        EntreeMenu{'2', "register", &Hall::inscription},
        EntreeMenu{'q', "leave", &Hall::quitter},
    };
    static constexpr std::array COMPTE{
        EntreeMenu{'1', "play", &Hall::jouer},
        EntreeMenu{'2', "watch a game in progress", &Hall::regarder_en_cours},
        EntreeMenu{'3', "watch a recording", &Hall::regarder_enregistrement},
        EntreeMenu{'4', "the ranking", &Hall::classement},
        EntreeMenu{'5', "change the password", &Hall::changer_mot_de_passe},
        EntreeMenu{'6', "your games", &Hall::mes_parties},
        EntreeMenu{'q', "leave", &Hall::quitter},
    };
};

const Menu MENU_ACCUEIL{"welcome", MenusDuHall::ACCUEIL,
                        "At a prompt, Ctrl-D goes back to the menu."};
const Menu MENU_COMPTE{"", MenusDuHall::COMPTE, ""};

} // namespace korva::serveur
