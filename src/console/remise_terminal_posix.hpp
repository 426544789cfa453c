// Taking the POSIX terminal and giving it back whatever ends the game: its modes, the window
// title, the colours, the signal handlers that undo every change, and Ctrl-Z then `fg`.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korva::remise {

// Takes the terminal: notes its modes and installs the handlers. True when standard input is a
// terminal, whose modes then count. With `reveil`, a pipe wakes a wait for a key whenever the
// screen must be drawn again.
bool prendre(bool reveil);

// Gives the terminal back as it was: every change undone, the last first, and the handlers
// taken away. Safe to call more than once.
void rendre();

// Single keys without echo, or typed lines echoed by the terminal.
enum class Mode { Touches, Ligne };
void passer_en(Mode mode);

// The game set a colour: undone at the end, set again after a stop.
void noter_couleur(int attribut);

// The game set the window title (`sequence` sets it): what to send the terminal, the player's
// own title kept aside first, the first time.
std::string noter_titre(std::string_view sequence);

// True once after the screen was disturbed (resized, or written on while the game was stopped).
bool repeinte_demandee();

// The end of the wake-up pipe a wait for a key also watches, or -1; `vider_reveil` empties it.
int reveil();
void vider_reveil();

// Every byte reaches the descriptor unless it has gone away; async-signal-safe.
void ecrire_tout(int fd, const char* octets, std::size_t taille);

} // namespace korva::remise
