#include "console/terminal.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace korva {
namespace {

// A standard handle on a pipe: an input that holds `entree` and then ends, as when the game's
// input is redirected from a file; or an output read back by `contenu`.
class Tuyau {
public:
    explicit Tuyau(DWORD flux, std::string_view entree = {})
        : flux_(flux), ancienne_(GetStdHandle(flux)) {
        HANDLE ecriture = nullptr;
        CreatePipe(&lecture_, &ecriture, nullptr, 1 << 16);
        if (flux == STD_INPUT_HANDLE) {
            DWORD ecrit = 0;
            WriteFile(ecriture, entree.data(), static_cast<DWORD>(entree.size()), &ecrit, nullptr);
            CloseHandle(ecriture);
            SetStdHandle(flux, lecture_);
        } else {
            ecriture_ = ecriture;
            SetStdHandle(flux, ecriture_);
        }
    }
    ~Tuyau() {
        SetStdHandle(flux_, ancienne_);
        CloseHandle(lecture_);
        if (ecriture_ != nullptr) {
            CloseHandle(ecriture_);
        }
    }
    Tuyau(const Tuyau&) = delete;
    Tuyau& operator=(const Tuyau&) = delete;

    std::string contenu() const {
        DWORD disponibles = 0;
        PeekNamedPipe(lecture_, nullptr, 0, nullptr, &disponibles, nullptr);
        std::string texte(disponibles, '\0');
        DWORD lus = 0;
        if (disponibles > 0) {
            ReadFile(lecture_, texte.data(), disponibles, &lus, nullptr);
        }
        texte.resize(lus);
        return texte;
    }

private:
    DWORD flux_;
    HANDLE ancienne_;
    HANDLE lecture_ = nullptr;
    HANDLE ecriture_ = nullptr;
};

TEST(TerminalWindowsRedirige, KeysLinesAndBytesPassUnchanged) {
    Tuyau sortie(STD_OUTPUT_HANDLE);
    // Errors into the same file: they come after the output written before them.
    const HANDLE erreurs = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, GetStdHandle(STD_OUTPUT_HANDLE));
    {
        Tuyau entree(STD_INPUT_HANDLE, "aH\xe0K\r\nConan\r\n2\nyz\nlast");
        const std::unique_ptr<Console> terminal = creer_console_terminal();
        // 'H' as a letter reads as the up arrow's code.
        for (const int attendu : std::initializer_list<int>{'a', 72, 224, 75, '\r', '\n'}) {
            EXPECT_EQ(terminal->lire_touche(), attendu);
        }
        // Discarding typed-ahead input keeps a redirected file whole: it is the player's script.
        terminal->vider_entree();
        EXPECT_EQ(terminal->lire_ligne(), "Conan"); // a Windows line end is not part of the name
        EXPECT_EQ(terminal->lire_ligne(), "2");
        terminal->ecrire(std::string_view("\x02\x00\x94\xbe\n", 5));
        terminal->couleur(4 * 16 + 12); // no console to colour: the bytes are not touched
        terminal->ecrire("Score : 5");
        terminal->pause();
        EXPECT_EQ(terminal->lire_touche(), 'z'); // the pause took one key, and only one
        EXPECT_EQ(terminal->lire_touche(), '\n');
        terminal->effacer();
        terminal->ecrire_erreur("fichiers/absent.txt: No such file or directory\n");
        terminal->ecrire("after");
        EXPECT_EQ(terminal->lire_ligne(), "last"); // a last line without its line feed
        terminal->dormir(0);
        terminal->titre("KORVA !!!");
        terminal->redimensionner(50, 110);
    }
    SetStdHandle(STD_ERROR_HANDLE, erreurs);
    // Nothing echoed; line feeds stay single bytes, the pause prompt gets a line of its own,
    // and a clear writes a form feed as "cls" does into a file.
    EXPECT_EQ(sortie.contenu(), std::string("\x02\x00\x94\xbe\n", 5) +
                                    "Score : 5\nPress any key to continue . . . \n\f"
                                    "fichiers/absent.txt: No such file or directory\nafter");
}

TEST(TerminalWindowsRediregeDeathTest, EndOfInputEndsTheGame) {
    // A closed input can never answer a menu: the game ends cleanly instead of spinning, and
    // what was written before reaches the output (here the error stream, which the test reads).
    EXPECT_EXIT(
        {
            SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
            Tuyau vide(STD_INPUT_HANDLE);
            const std::unique_ptr<Console> terminal = creer_console_terminal();
            terminal->ecrire("\nBye Bye...\n");
            terminal->lire_touche();
        },
        ::testing::ExitedWithCode(0), "Bye Bye\\.\\.\\.");
    EXPECT_EXIT(
        {
            Tuyau seule_touche(STD_INPUT_HANDLE, "q");
            const std::unique_ptr<Console> terminal = creer_console_terminal();
            terminal->lire_touche();
            terminal->lire_ligne();
        },
        ::testing::ExitedWithCode(0), "");
}

// The real console, when the tests have one (under Wine, when their input is a terminal): a
// screen buffer of the test's own and the console's input, made the game's standard handles.
class TerminalWindowsConsole : public ::testing::Test {
protected:
    void SetUp() override {
        entree_ =
            CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD mode = 0;
        if (entree_ == INVALID_HANDLE_VALUE || !GetConsoleMode(entree_, &mode)) {
            GTEST_SKIP() << "these tests need a console";
        }
        ecran_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CONSOLE_TEXTMODE_BUFFER, nullptr);
        ASSERT_NE(ecran_, INVALID_HANDLE_VALUE);
        // The console echoes typed lines into the buffer it shows.
        ecran_montre_ =
            CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        SetConsoleActiveScreenBuffer(ecran_);
        ancienne_entree_ = GetStdHandle(STD_INPUT_HANDLE);
        ancienne_sortie_ = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_INPUT_HANDLE, entree_);
        SetStdHandle(STD_OUTPUT_HANDLE, ecran_);
        FlushConsoleInputBuffer(entree_);
    }

    void TearDown() override {
        if (ecran_ != nullptr) {
            SetStdHandle(STD_INPUT_HANDLE, ancienne_entree_);
            SetStdHandle(STD_OUTPUT_HANDLE, ancienne_sortie_);
            if (ecran_montre_ != INVALID_HANDLE_VALUE) {
                SetConsoleActiveScreenBuffer(ecran_montre_);
                CloseHandle(ecran_montre_);
            }
            CloseHandle(ecran_);
        }
        if (entree_ != INVALID_HANDLE_VALUE) {
            CloseHandle(entree_);
        }
    }

    static INPUT_RECORD touche(WORD virtuelle, WORD balayage, char caractere, DWORD etat = 0,
                               BOOL enfoncee = TRUE, WORD repetitions = 1) {
        INPUT_RECORD evenement{};
        evenement.EventType = KEY_EVENT;
        evenement.Event.KeyEvent.bKeyDown = enfoncee;
        evenement.Event.KeyEvent.wRepeatCount = repetitions;
        evenement.Event.KeyEvent.wVirtualKeyCode = virtuelle;
        evenement.Event.KeyEvent.wVirtualScanCode = balayage;
        evenement.Event.KeyEvent.uChar.AsciiChar = caractere;
        evenement.Event.KeyEvent.dwControlKeyState = etat;
        return evenement;
    }

    static INPUT_RECORD lettre(char c) {
        return touche(static_cast<WORD>(VkKeyScanA(c) & 0xFF), 0, c);
    }

    void taper(std::initializer_list<INPUT_RECORD> evenements) {
        for (const INPUT_RECORD& evenement : evenements) {
            DWORD ecrits = 0;
            WriteConsoleInputA(entree_, &evenement, 1, &ecrits);
        }
    }

    void taper(std::string_view lettres) {
        for (const char c : lettres) {
            taper({lettre(c)});
        }
    }

    CONSOLE_SCREEN_BUFFER_INFO info() const {
        CONSOLE_SCREEN_BUFFER_INFO i{};
        GetConsoleScreenBufferInfo(ecran_, &i);
        return i;
    }

    std::string caracteres(SHORT x, SHORT y, DWORD nombre) const {
        std::string texte(nombre, '?');
        DWORD lus = 0;
        ReadConsoleOutputCharacterA(ecran_, texte.data(), nombre, COORD{x, y}, &lus);
        texte.resize(lus);
        return texte;
    }

    DWORD mode_entree() const {
        DWORD mode = 0;
        GetConsoleMode(entree_, &mode);
        return mode;
    }

    HANDLE entree_ = INVALID_HANDLE_VALUE;
    HANDLE ecran_ = nullptr;
    HANDLE ecran_montre_ = INVALID_HANDLE_VALUE;
    HANDLE ancienne_entree_ = nullptr;
    HANDLE ancienne_sortie_ = nullptr;
};

TEST_F(TerminalWindowsConsole, KeysComeAsTheConsoleKeyReadGivesThem) {
    const std::unique_ptr<Console> terminal = creer_console_terminal();
    taper({lettre('i'), touche('I', 0, 'i', 0, FALSE), // a key's release is not a key
           touche(VK_UP, 72, 0, ENHANCED_KEY), touche(VK_RIGHT, 77, 0, ENHANCED_KEY),
           touche(VK_SHIFT, 42, 0, SHIFT_PRESSED), // a modifier alone is not a key
           touche('H', 35, 'H', SHIFT_PRESSED), touche(VK_F1, 59, 0),
           touche(VK_LEFT, 75, 0), // the keypad's arrow, without Num Lock
           touche('Y', 21, 'y', 0, TRUE, 2)});
    for (const int attendu :
         std::initializer_list<int>{'i', 224, 72, 224, 77, 'H', 0, 59, 0, 75, 'y', 'y'}) {
        EXPECT_EQ(terminal->lire_touche(), attendu);
    }
}

TEST_F(TerminalWindowsConsole, PauseAndDiscardDropWholeKeys) {
    const std::unique_ptr<Console> terminal = creer_console_terminal();
    taper({touche(VK_UP, 72, 0, ENHANCED_KEY), lettre('z')});
    EXPECT_EQ(terminal->lire_touche(), 224);
    terminal->vider_entree(); // drops the arrow's second code and the 'z' typed ahead
    taper({lettre('a'), touche(VK_RIGHT, 77, 0, ENHANCED_KEY), lettre('b')});
    EXPECT_EQ(terminal->lire_touche(), 'a');
    terminal->ecrire("Level 1");
    terminal->pause(); // the right arrow ends it, both its codes
    EXPECT_EQ(terminal->lire_touche(), 'b');
    EXPECT_EQ(caracteres(0, 1, 31), "Press any key to continue . . .");
    EXPECT_EQ(info().dwCursorPosition.Y, 2);
}

TEST_F(TerminalWindowsConsole, TypedLineIsEchoedThenKeysAreSilentAgain) {
    const DWORD avant = mode_entree();
    {
        const std::unique_ptr<Console> terminal = creer_console_terminal();
        EXPECT_EQ(mode_entree() & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT), 0u);
        EXPECT_NE(mode_entree() & ENABLE_PROCESSED_INPUT, 0u); // Ctrl-C still interrupts
        taper("Conan");
        taper({touche(VK_RETURN, 28, '\r')});
        terminal->ecrire("Name : ");
        EXPECT_EQ(terminal->lire_ligne(), "Conan");
        EXPECT_EQ(caracteres(0, 0, 12), "Name : Conan");
        EXPECT_EQ(mode_entree() & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT), 0u);
        taper("q");
        EXPECT_EQ(terminal->lire_touche(), 'q');
        EXPECT_EQ(caracteres(0, 1, 1), " "); // a key read is not echoed
    }
    EXPECT_EQ(mode_entree(), avant);
}

TEST_F(TerminalWindowsConsole, ColoursGlyphsAndClearThenTheConsoleComesBackOnEveryWayOut) {
    const UINT page_avant = GetConsoleOutputCP();
    SetConsoleTextAttribute(ecran_, 0x1E);
    {
        const std::unique_ptr<Console> terminal = creer_console_terminal();
        Console* const precedente = installer_console(terminal.get());
        EXPECT_EQ(GetConsoleOutputCP(), 437u);
        Color(12, 4);
        EXPECT_EQ(info().wAttributes, 4 * 16 + 12);
        terminal->ecrire(std::string_view("\x02\x00\x94\n", 4));
        Color(15, 0);
        terminal->ecrire("\xbe");
        terminal->dormir(0);
        // Bytes reach the console unchanged, through code page 437; an unseen cell is blank.
        EXPECT_EQ(caracteres(0, 0, 3), "\x02 \x94");
        EXPECT_EQ(caracteres(0, 1, 1), "\xbe");
        terminal->redimensionner(50, 110);
        EXPECT_EQ(info().dwSize.X, 110);
        terminal->effacer();
        EXPECT_EQ(caracteres(0, 0, 3), "   ");
        EXPECT_EQ(info().dwCursorPosition.X + info().dwCursorPosition.Y, 0);
        installer_console(precedente);
    }
    EXPECT_EQ(info().wAttributes, 0x1E);
    EXPECT_EQ(GetConsoleOutputCP(), page_avant);

    // Ended through the game's way out, as well.
    const DWORD mode_avant = mode_entree();
    SetConsoleOutputCP(850);
    SetConsoleTitleA("before");
    EXPECT_EXIT(
        {
            const std::unique_ptr<Console> terminal = creer_console_terminal();
            terminal->titre("KORVA !!!");
            terminal->couleur(12);
            terminal->terminer(4);
        },
        ::testing::ExitedWithCode(4), "");
    EXPECT_EQ(GetConsoleOutputCP(), 850u);
    EXPECT_EQ(mode_entree(), mode_avant);
    char titre[64] = {};
    GetConsoleTitleA(titre, sizeof titre);
    EXPECT_STREQ(titre, "before");
}

} // namespace
} // namespace korva
