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

// What the process ends with when Windows closes its console, as the system's own handler gives.
constexpr int STATUT_CONSOLE_FERMEE = static_cast<int>(0xC000013AU);

// Windows calls the Ctrl-C handler with no context of ours, on a thread of its own: this is the
// one place the console to put back, and the kept game, can be found.
std::atomic<const EtatConsole*> etat_a_restaurer{nullptr};
std::atomic<bool> gardee{false};
std::atomic<int> ctrl_c{0};
std::atomic<bool> perdue{false};
std::atomic<int> statut_perdu{0};
HANDLE reveil = CreateEventA(nullptr, TRUE, FALSE, nullptr);

BOOL WINAPI sur_interruption(DWORD evenement) {
    if (gardee.load() || perdue.load()) {
        if (evenement == CTRL_C_EVENT || evenement == CTRL_BREAK_EVENT) {
            ctrl_c += perdue.load() ? 0 : 1;
            SetEvent(reveil);
            return TRUE;
        }
        if (!perdue.exchange(true)) {
            statut_perdu = STATUT_CONSOLE_FERMEE;
        }
        SetEvent(reveil);
        // The process ends once the game is saved, through `terminer`, or when Windows's time
        // runs out.
        Sleep(INFINITE);
    }
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

void garder_console(bool garder) {
    gardee = garder;
    ctrl_c = 0; // a Ctrl-C pressed as the game ends belongs to no game
}

std::optional<PartieInterrompue> interruption_console() {
    if (perdue.load()) {
        return PartieInterrompue{Interruption::terminal_perdu, statut_perdu.load()};
    }
    if (gardee.load() && ctrl_c.load() > 0) {
        --ctrl_c;
        return PartieInterrompue{Interruption::ctrl_c, 130};
    }
    return std::nullopt;
}

void perdre_console() {
    perdue = true;
}

HANDLE reveil_console() {
    return reveil;
}

void rendre_console(const EtatConsole& etat) {
    SetConsoleCtrlHandler(sur_interruption, FALSE);
    etat_a_restaurer.store(nullptr);
    restaurer(etat);
}

} // namespace korva
