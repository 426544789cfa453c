#include "console/fenetre_windows.hpp"

#include "console/console.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace korva {

namespace {

// How often a window being resized is looked at again.
constexpr DWORD INTERVALLE_MS = 200;

// The window's size in columns (X) and lines (Y); the game's own when it cannot be told.
COORD taille_fenetre(HANDLE sortie) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(sortie, &info) || info.srWindow.Right < info.srWindow.Left ||
        info.srWindow.Bottom < info.srWindow.Top) {
        return COORD{CONSOLE_COLONNES, CONSOLE_LIGNES};
    }
    return COORD{static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left + 1),
                 static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1)};
}

void montrer_avis(HANDLE sortie, COORD vue, bool en_partie) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    GetConsoleScreenBufferInfo(sortie, &info);
    DWORD fait = 0;
    const DWORD cellules = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    FillConsoleOutputCharacterA(sortie, ' ', cellules, COORD{0, 0}, &fait);
    FillConsoleOutputAttribute(sortie, info.wAttributes, cellules, COORD{0, 0}, &fait);
    const std::string avis =
        "KORVA needs a console window of at least\n" + std::to_string(CONSOLE_COLONNES) +
        " columns by " + std::to_string(CONSOLE_LIGNES) + " lines.\nThis one has " +
        std::to_string(vue.X) + " columns by " + std::to_string(vue.Y) +
        " lines.\n\nMake the window larger to play on" +
        (en_partie ? ".\nCtrl-C asks whether to save the\ngame once the window is that large."
                   : ",\nor press Ctrl-C to quit.");
    SetConsoleCursorPosition(sortie, COORD{info.srWindow.Left, info.srWindow.Top});
    WriteConsoleA(sortie, avis.data(), static_cast<DWORD>(avis.size()), &fait, nullptr);
}

} // namespace

bool fenetre_trop_petite(HANDLE sortie) {
    const COORD vue = taille_fenetre(sortie);
    return vue.X < CONSOLE_COLONNES || vue.Y < CONSOLE_LIGNES;
}

void attendre_fenetre(HANDLE sortie, HANDLE entree, bool en_partie) {
    if (!fenetre_trop_petite(sortie)) {
        return;
    }
    // The game's screen, kept aside: the top-left corner of the buffer, where it draws, in
    // UTF-16, which holds a name's characters too.
    CONSOLE_SCREEN_BUFFER_INFO info;
    GetConsoleScreenBufferInfo(sortie, &info);
    const COORD taille{std::min<SHORT>(info.dwSize.X, CONSOLE_COLONNES),
                       std::min<SHORT>(info.dwSize.Y, CONSOLE_LIGNES)};
    std::vector<CHAR_INFO> ecran(static_cast<std::size_t>(taille.X) *
                                 static_cast<std::size_t>(taille.Y));
    SMALL_RECT zone{0, 0, static_cast<SHORT>(taille.X - 1), static_cast<SHORT>(taille.Y - 1)};
    ReadConsoleOutputW(sortie, ecran.data(), taille, COORD{0, 0}, &zone);
    COORD montree{0, 0};
    for (COORD vue = taille_fenetre(sortie); vue.X < CONSOLE_COLONNES || vue.Y < CONSOLE_LIGNES;
         vue = taille_fenetre(sortie)) {
        if (vue.X != montree.X || vue.Y != montree.Y) {
            montrer_avis(sortie, vue, en_partie);
            montree = vue;
        }
        // Keys typed while the notice shows are not the game's; one typed once the window is
        // large enough is.
        if (entree == nullptr) {
            Sleep(INTERVALLE_MS);
        } else if (WaitForSingleObject(entree, INTERVALLE_MS) == WAIT_OBJECT_0 &&
                   fenetre_trop_petite(sortie)) {
            FlushConsoleInputBuffer(entree);
        }
    }
    WriteConsoleOutputW(sortie, ecran.data(), taille, COORD{0, 0}, &zone);
    SetConsoleCursorPosition(sortie, info.dwCursorPosition);
}

} // namespace korva
