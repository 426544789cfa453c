#include "console/remise_console_windows.hpp"

#include <atomic>

namespace korva {

namespace {

// The code page whose glyphs the game's bytes are drawn with.
constexpr UINT PAGE_DE_CODE_JEU = 437;

#ifndef ENABLE_VIRTUAL_TERMINAL_INPUT
#define ENABLE_VIRTUAL_TERMINAL_INPUT 0x0200
#endif
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

void restaurer(const EtatConsole& etat) {
    if (etat.entree_console) {
        SetConsoleMode(etat.entree, etat.mode_entree);
    }
    if (etat.sortie_console) {
        SetConsoleMode(etat.sortie, etat.mode_sortie);
        SetConsoleTextAttribute(etat.sortie, etat.attribut);
    }
    if (etat.page_de_code != 0) {
        SetConsoleOutputCP(etat.page_de_code);
    }
    SetConsoleTitleA(etat.titre.c_str());
}

// Windows calls the Ctrl-C handler with no context of ours, on a thread of its own: this is the
// one place the console to put back can be found.
std::atomic<const EtatConsole*> etat_a_restaurer{nullptr};

BOOL WINAPI sur_interruption(DWORD) {
    if (const EtatConsole* etat = etat_a_restaurer.load()) {
        restaurer(*etat);
    }
    return FALSE; // the system's own handler then ends the process as it always does
}

} // namespace

DWORD mode_touches(DWORD mode) {
    return (mode & ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_VIRTUAL_TERMINAL_INPUT)) |
           ENABLE_PROCESSED_INPUT;
}

DWORD mode_ligne(DWORD mode) {
    return mode_touches(mode) | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT;
}

void prendre_console(EtatConsole& etat) {
    etat.entree = GetStdHandle(STD_INPUT_HANDLE);
    etat.sortie = GetStdHandle(STD_OUTPUT_HANDLE);
    etat.entree_console = GetConsoleMode(etat.entree, &etat.mode_entree) != 0;
    etat.sortie_console = GetConsoleMode(etat.sortie, &etat.mode_sortie) != 0;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(etat.sortie, &info)) {
        etat.attribut = info.wAttributes;
    }
    etat.page_de_code = GetConsoleOutputCP();
    char titre[1024];
    etat.titre.assign(titre, GetConsoleTitleA(titre, sizeof titre));

    if (etat.entree_console) {
        SetConsoleMode(etat.entree, mode_touches(etat.mode_entree));
    }
    if (etat.sortie_console) {
        // Escape sequences would swallow the glyphs below 0x20 that the board draws.
        SetConsoleMode(etat.sortie, (etat.mode_sortie & ~ENABLE_VIRTUAL_TERMINAL_PROCESSING) |
                                        ENABLE_PROCESSED_OUTPUT);
    }
    if (etat.page_de_code != 0) {
        SetConsoleOutputCP(PAGE_DE_CODE_JEU);
    }
    etat_a_restaurer.store(&etat);
    SetConsoleCtrlHandler(sur_interruption, TRUE);
}

void rendre_console(const EtatConsole& etat) {
    SetConsoleCtrlHandler(sur_interruption, FALSE);
    etat_a_restaurer.store(nullptr);
    restaurer(etat);
}

} // namespace korva
