// A console window too small for the game: a notice in its place until it is large enough.
#pragma once

#include <windows.h>

namespace korva {

// The window of `sortie` shows fewer lines or columns than the game's screen.
bool fenetre_trop_petite(HANDLE sortie);

// While the window of `sortie` is too small, shows in place of the game a notice of the size
// needed and the size now, kept up to date, and drops the keys typed meanwhile on `entree` (a
// console, or null); then puts the game's screen back as it was. Ctrl-C quits meanwhile; with
// `en_partie`, a game being kept, it asks the save question once the window is large enough.
void attendre_fenetre(HANDLE sortie, HANDLE entree, bool en_partie);

} // namespace korva
