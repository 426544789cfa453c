// A game watched live: its recording read as the game writes it, for a replay that follows it
// until the game ends or the watcher leaves.
#pragma once

#include "console/console.hpp"
#include "files/enregistrement.hpp"
#include "files/suivi_fichier.hpp"

#include <deque>
#include <string>

namespace korva {

class PartieSuivie {
public:
    // `numero_erreur` says why when the recording cannot be followed.
    PartieSuivie(const std::string& chemin, int& numero_erreur) : fichier_(chemin, numero_erreur) {}

    // What the game wrote so far, in whole lines.
    std::string debut() { return fichier_.lignes_nouvelles(); }

    // Waits for the game's next events and adds them to `evenements`, the keyboard watched
    // meanwhile: 'q' ends the process through `console`. False once no more will come: the
    // game ended, or wrote a line this game cannot read.
    bool attendre(Console& console, std::deque<Evenement>& evenements);

private:
    SuiviFichier fichier_;
};

} // namespace korva
