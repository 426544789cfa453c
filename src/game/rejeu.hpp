// A recorded game shown again, screen for screen as its player saw it: the same game code plays
// it, with the keys, lines and dice its recording kept. A replay writes no save, no registry and
// no recording.
#pragma once

#include "files/enregistrement.hpp"
#include "game/suivi_partie.hpp"

#include <string>

namespace korva {

// The time between two answers of a replay, and its bounds as `+` and `-` change it.
inline constexpr int PAS_REJEU_MS = 400;
inline constexpr int PAS_REJEU_MIN_MS = 25;
inline constexpr int PAS_REJEU_MAX_MS = 3200;

// How the keyboard steers a replay: its pace, and whether it is paused.
struct Pilotage {
    int pas = PAS_REJEU_MS;
    bool en_pause = false;
};
enum class Ordre { rien, suivant, quitter };

// One key pressed during a replay: Space pauses and resumes (resuming plays the next answer at
// once), '+' halves the time between two answers and '-' doubles it within their bounds, '.'
// plays one answer while paused, 'q' leaves; any other key does nothing.
Ordre piloter(Pilotage& pilotage, int touche);

// Reads the recording at `chemin` and checks it can be played here: made by this version, with
// the data files installed, whole. False with `raison` saying why not, for the player to read.
bool enregistrement_jouable(const std::string& chemin, Enregistrement& enregistrement,
                            std::string& raison);
// The same of the recording's `texte`, read from `chemin` already.
bool enregistrement_jouable(const std::string& chemin, std::string_view texte,
                            Enregistrement& enregistrement, std::string& raison);

// Shows the recorded game on the console, `pas` milliseconds between two answers, then ends
// the process. With a pace, the keyboard steers it: Space pauses and resumes, '+' and '-'
// change the speed, '.' plays one answer while paused, 'q' leaves. With no pace (0), it runs
// straight through, steered by nothing. A game followed live (`suivie`) is shown at once up to
// where it stands, then each event as its game writes it, 'q' leaving.
[[noreturn]] void rejouer(const Enregistrement& enregistrement, int pas = PAS_REJEU_MS,
                          PartieSuivie* suivie = nullptr);

} // namespace korva
