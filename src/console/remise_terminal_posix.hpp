// Taking the POSIX terminal and giving it back whatever ends the game: its screen, modes,
// window size and title, the colours, the signal handlers that undo every change, Ctrl-Z then
// `fg`, and a game in progress kept from Ctrl-C and a lost terminal.
#pragma once

#include "console/console.hpp"
#include "console/description_terminal.hpp"
#include "console/signaux_terminal_posix.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace korva::remise {

// Takes the terminal as `d` describes it: notes its modes and size, installs the handlers, sets
// single keys without echo and takes the screen. With `reveil`, a pipe wakes a wait for a key
// whenever the screen must be drawn again or the game is interrupted.
void prendre(const DescriptionTerminal& d, bool reveil);

// Gives the terminal back as it was: every change undone, the last first, and the handlers
// taken away. Safe to call more than once.
void rendre();

// The game set a colour (`sequence` sets it from any state): undone at the end, set again
// after a stop.
void noter_couleur(std::string_view sequence);

// The game set the window title or asked for a size: what to send the terminal. The size
// is given back at the end when the terminal told its own.
std::string noter_titre(std::string_view texte);
std::string noter_taille(int lignes, int colonnes);

// True once after the screen was disturbed (resized, or written on while the game was stopped).
bool repeinte_demandee();

// The end of the wake-up pipe a wait for a key also watches, or -1; `vider_reveil` empties it.
int reveil();
void vider_reveil();

// A game in progress is kept, or no longer.
void garder(bool gardee);
// What interrupts the kept game now: the terminal lost (at every call from then on), or one
// Ctrl-C (once for each).
std::optional<PartieInterrompue> interruption();
// The input has ended under a kept game: the terminal is lost, with status 0.
void perdre_terminal();
// The signal a lost terminal is to end the process with, or 0.
int signal_de_fin(int statut);

} // namespace korva::remise
