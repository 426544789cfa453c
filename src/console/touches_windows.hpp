// The codes a Windows console key press gives the game, as the console's own key read gives
// them: a character as itself, a key without one as a prefix code then its scan code.
#pragma once

#include <windows.h>

#include <deque>

namespace korva {

// Appends the codes of one key press (none for Shift, Ctrl and the like).
void coder_touche(const KEY_EVENT_RECORD& touche, std::deque<int>& codes);

} // namespace korva
