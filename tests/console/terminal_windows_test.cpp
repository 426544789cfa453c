#include "console/terminal.hpp"
#include "files/fichier_sur.hpp"
#include "support/dossier_jeu.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <thread>

namespace korva {
namespace {

// Input redirected from a file that ends: no key will ever answer a menu, and the game ends
// cleanly rather than spinning; a kept game is told its console is lost, to be saved first.
TEST(TerminalWindowsRedirigeDeathTest, EndOfInputEndsTheGame) {
    for (const bool gardee : {false, true}) {
        EXPECT_EXIT(
            {
                HANDLE lecture = nullptr;
                HANDLE ecriture = nullptr;
                DWORD n = 0;
                CreatePipe(&lecture, &ecriture, nullptr, 0);
                WriteFile(ecriture, "Hname", 5, &n, nullptr);
                CloseHandle(ecriture);
                SetStdHandle(STD_INPUT_HANDLE, lecture);
                const std::unique_ptr<Console> terminal = creer_console_terminal();
                // 'H' reads as the up arrow's code; a last line without its line feed counts.
                if (terminal->lire_touche() != 72 || terminal->lire_ligne() != "name") {
                    std::exit(5);
                }
                terminal->garder_partie(gardee);
                try {
                    terminal->lire_touche();
                } catch (const PartieInterrompue& p) {
                    std::exit(p.cause == Interruption::terminal_perdu && gardee ? 0 : 7);
                }
                std::exit(6);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

// The real console, when the tests have one: a screen buffer of the test's own.
class TerminalWindowsConsole : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GetConsoleMode(entree_, &mode_)) {
            GTEST_SKIP() << "these tests need a console";
        }
        fenetre(110, 50); // the game's size, as a window that takes it has
        SetConsoleActiveScreenBuffer(ecran_);
        SetStdHandle(STD_OUTPUT_HANDLE, ecran_);
        SetStdHandle(STD_INPUT_HANDLE, entree_);
        FlushConsoleInputBuffer(entree_);
    }
    void TearDown() override {
        SetStdHandle(STD_OUTPUT_HANDLE, ancienne_sortie_);
        SetStdHandle(STD_INPUT_HANDLE, ancienne_entree_);
        CloseHandle(entree_);
        SetConsoleActiveScreenBuffer(ancienne_sortie_);
        CloseHandle(ecran_);
    }

    // A buffer of the game's size, shown in a window of this size.
    void fenetre(SHORT colonnes, SHORT lignes) {
        const SMALL_RECT coin{0, 0, 0, 0};
        const SMALL_RECT voulue{0, 0, static_cast<SHORT>(colonnes - 1),
                                static_cast<SHORT>(lignes - 1)};
        SetConsoleWindowInfo(ecran_, TRUE, &coin);
        SetConsoleScreenBufferSize(ecran_, COORD{110, 50});
        SetConsoleWindowInfo(ecran_, TRUE, &voulue);
    }
    void taper(WORD virtuelle, WORD balayage, wchar_t caractere, DWORD etat = 0) {
        INPUT_RECORD e{};
        e.EventType = KEY_EVENT;
        e.Event.KeyEvent = {TRUE, 1, virtuelle, balayage, {}, etat};
        e.Event.KeyEvent.uChar.UnicodeChar = caractere;
        DWORD n = 0;
        WriteConsoleInputW(entree_, &e, 1, &n);
    }
    std::wstring lire(SHORT ligne, DWORD n) const {
        std::wstring texte(n, L'?');
        ReadConsoleOutputCharacterW(ecran_, texte.data(), n, COORD{0, ligne}, &n);
        return texte.substr(0, n);
    }
    WORD attribut() const {
        CONSOLE_SCREEN_BUFFER_INFO i{};
        GetConsoleScreenBufferInfo(ecran_, &i);
        return i.wAttributes;
    }

    DWORD mode_ = 0; // of the console's input, before the game
    HANDLE entree_ =
        CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE ancienne_entree_ = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE ancienne_sortie_ = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE ecran_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              CONSOLE_TEXTMODE_BUFFER, nullptr);
};

TEST_F(TerminalWindowsConsole, KeysAsTheConsoleKeyReadGivesThem) {
    const std::unique_ptr<Console> terminal = creer_console_terminal();
    taper(VK_UP, 72, 0, ENHANCED_KEY);
    taper(VK_SHIFT, 42, 0, SHIFT_PRESSED); // a modifier alone is not a key
    taper(VK_F1, 59, 0);
    taper('I', 23, 'i');
    for (const int attendu : {224, 72, 0, 59, int{'i'}}) {
        EXPECT_EQ(terminal->lire_touche(), attendu);
    }
}

TEST_F(TerminalWindowsConsole, GivenBackOnExitAndOnCtrlC) {
    SetConsoleOutputCP(850);
    SetConsoleTitleA("before");
    SetConsoleTextAttribute(ecran_, 0x1E);
    {
        const std::unique_ptr<Console> terminal = creer_console_terminal();
        EXPECT_EQ(GetConsoleOutputCP(), 437u);
        terminal->couleur(12);
        EXPECT_EQ(attribut(), 12);
    }
    EXPECT_EQ(attribut(), 0x1E);
    // A process of its own (whose console buffer is not this test's), ended by the game or by
    // Ctrl-C, which reaches every process of the console: this one lets it by.
    SetConsoleCtrlHandler(nullptr, TRUE);
    // In a kept game, Ctrl-C reaches the game's wait instead.
    for (const int interruption : {0, 1, 2}) {
        EXPECT_EXIT(
            {
                const std::unique_ptr<Console> terminal = creer_console_terminal();
                terminal->titre("KORVA !!!");
                terminal->garder_partie(interruption == 2);
                if (interruption > 0) {
                    SetConsoleCtrlHandler(nullptr, FALSE);
                    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
                    try {
                        terminal->dormir(20000); // for the system to end the process
                    } catch (const PartieInterrompue& p) {
                        terminal->terminer(p.cause == Interruption::ctrl_c ? 4 : 5);
                    }
                }
                terminal->terminer(4);
            },
            [&](int statut) { return interruption == 1 ? statut != 4 : statut == 4; }, "");
        char titre[64] = {};
        GetConsoleTitleA(titre, sizeof titre);
        EXPECT_STREQ(titre, "before");
        EXPECT_EQ(GetConsoleOutputCP(), 850u);
        DWORD mode = 0;
        GetConsoleMode(entree_, &mode);
        EXPECT_EQ(mode, mode_);
    }
}

TEST_F(TerminalWindowsConsole, NoticeWhileTheWindowIsTooSmall) {
    const std::unique_ptr<Console> terminal = creer_console_terminal();
    terminal->ecrire("Level 1");
    fenetre(80, 24);
    taper('3', 4, '3'); // typed while the notice shows: not the game's
    int touche = 0;
    std::thread jeu([&] { touche = terminal->lire_touche(); });
    DWORD en_attente = 1; // until the notice shows and the key typed has been dropped
    for (int fois = 0;
         fois < 2000 && (lire(2, 37) != L"This one has 80 columns by 24 lines. " || en_attente > 0);
         ++fois) {
        Sleep(10);
        GetNumberOfConsoleInputEvents(entree_, &en_attente);
    }
    EXPECT_EQ(lire(1, 24), L"110 columns by 50 lines.");
    fenetre(110, 50);
    taper('K', 37, 'k');
    jeu.join();
    EXPECT_EQ(touche, 'k');
    EXPECT_EQ(lire(0, 8), L"Level 1 "); // the game's screen as it was
}

// A name typed and shown through the console's wide-character calls, whatever its code page: a
// letter code page 437 lacks reads as UTF-8 and shows as typed, and so does a byte of a name the
// game saved in code page 437 before.
TEST_F(TerminalWindowsConsole, NamesReadAndShownAsTyped) {
    const std::unique_ptr<Console> terminal = creer_console_terminal();
    for (const wchar_t caractere : std::wstring(L"\u0141ucja\r")) {
        taper(caractere == L'\r' ? VK_RETURN : 0, 0, caractere);
    }
    EXPECT_EQ(terminal->lire_ligne(), "\u0141ucja");
    terminal->ecrire_nom("\u0141ucja Jos\x82\n");
    EXPECT_EQ(lire(1, 11), L"\u0141ucja Jos\u00e9 ");
}

// Save files are named through the wide-character file calls: a name in UTF-8 is the same name
// on every system, and one saved before in the system's code page is still found.
TEST(FichiersWindows, NamedInUtf8AndAsBefore) {
    const test::DossierJeu dossier;
    int erreur = 0;
    ASSERT_TRUE(ecrire_fichier_atomique("\u0141ucja.txt", "1", erreur));
    EXPECT_NE(GetFileAttributesW(L"\u0141ucja.txt"), INVALID_FILE_ATTRIBUTES);
    CloseHandle(CreateFileA("Jos\x82.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    std::string contenu;
    EXPECT_TRUE(lire_fichier("Jos\x82.txt", contenu, erreur) && fichier_existe("Jos\x82.txt"));
}

} // namespace
} // namespace korva
