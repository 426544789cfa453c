#include "console/touches_windows.hpp"

namespace korva {

namespace {

// A key without a character comes as a prefix code, then its scan code (72 up, 80 down, 75
// left, 77 right for the arrows): 224 for the keys of the grey block, 0 for the others.
constexpr int PREFIXE_TOUCHE_ETENDUE = 224;
constexpr int PREFIXE_TOUCHE_FONCTION = 0;

bool est_touche_de_modification(WORD touche) {
    switch (touche) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
        return true;
    default:
        return false;
    }
}

} // namespace

void coder_touche(const KEY_EVENT_RECORD& touche, std::deque<int>& codes) {
    const int caractere = static_cast<unsigned char>(touche.uChar.AsciiChar);
    if (caractere != 0) {
        codes.push_back(caractere);
    } else if (!est_touche_de_modification(touche.wVirtualKeyCode)) {
        codes.push_back((touche.dwControlKeyState & ENHANCED_KEY) != 0 ? PREFIXE_TOUCHE_ETENDUE
                                                                       : PREFIXE_TOUCHE_FONCTION);
        codes.push_back(touche.wVirtualScanCode);
    }
}

} // namespace korva
