// The lists of games the lobby shows, each line a game to watch: the games in progress, the
// games ended (every account's, or one account's own), from the games log. A line is cells of
// a column each; a name's cell is drawn as the game draws names, in the player's characters.
#pragma once

#include "serveur/configuration.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace korva::serveur {

struct Cellule {
    std::string texte;
    std::size_t largeur; // in characters; the text cut to it, then a blank
    bool nom = false;    // a player's name: UTF-8 as typed
};

struct ListeHall {
    std::string titre;             // the screen's heading
    std::vector<Cellule> colonnes; // the columns' own heading
    std::vector<std::vector<Cellule>> lignes;
    std::vector<std::string> chemins; // each line's recording
    std::vector<std::string> comptes; // each line's account
    std::string vide;                 // said when there is no line
    bool en_direct = false;           // games in progress, watched live
};

// The lines of a list that fit under a screen's heading and prompt.
inline constexpr std::size_t LIGNES_LISTE = 15;

ListeHall liste_en_cours(const Configuration& c);
// The games ended, the last first: every account's, or only `compte`'s when it is not empty.
ListeHall liste_finies(const Configuration& c, const std::string& compte);

} // namespace korva::serveur
