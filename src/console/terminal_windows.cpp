#include "console/fenetre_windows.hpp"
#include "console/remise_console_windows.hpp"
#include "console/terminal.hpp"
#include "console/touches_windows.hpp"
#include "console/traduction_terminal.hpp"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <optional>
#include <string>

namespace korva {

namespace {

constexpr DWORD TAILLE_LECTURE = 4096;
constexpr std::size_t TAILLE_TAMPON_SORTIE = 1 << 16;
// A key wait looks at the window this often, in case it was made too small meanwhile.
constexpr DWORD INTERVALLE_FENETRE_MS = 200;

bool ecrire_tout(HANDLE sortie, bool console, const char* octets, std::size_t taille) {
    while (taille > 0) {
        const DWORD morceau = static_cast<DWORD>(std::min<std::size_t>(taille, 16384));
        DWORD ecrit = 0;
        const BOOL reussi = console ? WriteConsoleA(sortie, octets, morceau, &ecrit, nullptr)
                                    : WriteFile(sortie, octets, morceau, &ecrit, nullptr);
        if (!reussi || ecrit == 0) {
            return false;
        }
        octets += ecrit;
        taille -= ecrit;
    }
    return true;
}

// Text as Console::ecrire_nom takes it, through the console's wide-character calls, so that a
// name shows as typed whatever the console's code page; elsewhere, its bytes as they stand.
bool ecrire_texte(HANDLE sortie, bool console, std::string_view texte) {
    if (!console) {
        return ecrire_tout(sortie, false, texte.data(), texte.size());
    }
    const std::string utf8 = nom_montre(texte, true);
    std::wstring large(utf8.size(), L'\0'); // never more UTF-16 units than UTF-8 bytes
    large.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), large.data(),
                            static_cast<int>(large.size()))));
    DWORD ecrits = 0;
    return large.empty() || WriteConsoleW(sortie, large.data(), static_cast<DWORD>(large.size()),
                                          &ecrits, nullptr) != 0;
}

// A line the console read in UTF-16, in UTF-8.
std::string depuis_large(const std::wstring& large) {
    std::string texte(large.size() * 3, '\0'); // at most three bytes for each UTF-16 unit
    texte.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, large.data(), static_cast<int>(large.size()), texte.data(),
                            static_cast<int>(texte.size()), nullptr, nullptr)));
    return texte;
}

class ConsoleWindows final : public Console {
public:
    ConsoleWindows() {
        prendre_console(etat_);
        erreur_ = GetStdHandle(STD_ERROR_HANDLE);
        DWORD mode = 0;
        erreur_console_ = GetConsoleMode(erreur_, &mode) != 0;
    }

    ~ConsoleWindows() override {
        vider_sortie();
        rendre_console(etat_);
    }

    ConsoleWindows(const ConsoleWindows&) = delete;
    ConsoleWindows& operator=(const ConsoleWindows&) = delete;

    void ecrire(std::string_view octets) override {
        if (octets.empty()) {
            return;
        }
        tampon_.append(octets);
        dernier_octet_ = octets.back();
        if (tampon_.size() >= TAILLE_TAMPON_SORTIE) {
            vider_sortie();
        }
    }

    void ecrire_nom(std::string_view nom) override {
        if (nom.empty()) {
            return;
        }
        vider_sortie();
        ecrire_texte(etat_.sortie, etat_.sortie_console, nom);
        dernier_octet_ = nom.back();
    }

    void ecrire_erreur(std::string_view texte) override {
        // A report starts on a line of its own.
        if (!texte.empty() && dernier_octet_ != '\n') {
            ecrire("\n");
        }
        vider_sortie();
        ecrire_texte(erreur_, erreur_console_, texte);
    }

    void effacer() override {
        vider_sortie();
        dernier_octet_ = '\n';
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (!etat_.sortie_console || !GetConsoleScreenBufferInfo(etat_.sortie, &info)) {
            // What "cls" writes when its output is not a console.
            ecrire_tout(etat_.sortie, false, "\f", 1);
            return;
        }
        const DWORD cellules =
            static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
        const COORD origine{0, 0};
        DWORD rempli = 0;
        FillConsoleOutputCharacterA(etat_.sortie, ' ', cellules, origine, &rempli);
        FillConsoleOutputAttribute(etat_.sortie, info.wAttributes, cellules, origine, &rempli);
        SMALL_RECT fenetre = info.srWindow;
        fenetre.Bottom = static_cast<SHORT>(fenetre.Bottom - fenetre.Top);
        fenetre.Top = 0;
        SetConsoleWindowInfo(etat_.sortie, TRUE, &fenetre);
        SetConsoleCursorPosition(etat_.sortie, origine);
    }

    void pause() override {
        if (dernier_octet_ != '\n') {
            ecrire("\n");
        }
        ecrire(INVITE_DE_PAUSE);
        // Codes left over from a key pressed before the prompt do not answer it.
        en_attente_.clear();
        lire_touche();
        // The rest of a key that comes as two codes belongs to this same key press.
        en_attente_.clear();
        ecrire("\n");
    }

    void redimensionner(int lignes, int colonnes) override {
        vider_sortie();
        if (!etat_.sortie_console) {
            return;
        }
        const SHORT hauteur = static_cast<SHORT>(lignes);
        const SHORT largeur = static_cast<SHORT>(colonnes);
        // The window must always fit in the buffer: shrink it, size the buffer, then widen it.
        SMALL_RECT fenetre{0, 0, 0, 0};
        SetConsoleWindowInfo(etat_.sortie, TRUE, &fenetre);
        SetConsoleScreenBufferSize(etat_.sortie, COORD{largeur, hauteur});
        const COORD plus_grande = GetLargestConsoleWindowSize(etat_.sortie);
        fenetre.Right = static_cast<SHORT>(
            (plus_grande.X > 0 ? std::min(largeur, plus_grande.X) : largeur) - 1);
        fenetre.Bottom = static_cast<SHORT>(
            (plus_grande.Y > 0 ? std::min(hauteur, plus_grande.Y) : hauteur) - 1);
        SetConsoleWindowInfo(etat_.sortie, TRUE, &fenetre);
    }

    void titre(std::string_view texte) override { SetConsoleTitleA(std::string(texte).c_str()); }

    void couleur(int attribut) override {
        if (attribut == attribut_courant_) {
            return;
        }
        vider_sortie();
        SetConsoleTextAttribute(etat_.sortie, static_cast<WORD>(attribut));
        attribut_courant_ = attribut;
    }

    int lire_touche() override { return *touche_avant(INFINITE); }

    std::optional<int> touche_dans(int millisecondes) override {
        return touche_avant(static_cast<DWORD>(std::max(millisecondes, 0)));
    }

    std::string lire_ligne() override {
        attendre_fenetre_assez_grande();
        std::string ligne;
        if (!etat_.entree_console) {
            for (int octet = lire_octet(); octet != '\n'; octet = lire_octet()) {
                if (octet < 0) {
                    if (ligne.empty()) {
                        fin_entree();
                    }
                    break; // a last line without its line feed still counts
                }
                ligne += static_cast<char>(octet);
            }
        } else {
            // The console edits and echoes the line itself, in UTF-16 whatever its code page.
            SetConsoleMode(etat_.entree, mode_ligne(etat_.mode_entree));
            std::wstring large;
            while (large.find(L'\n') == std::wstring::npos) {
                wchar_t morceau[256];
                DWORD lus = 0;
                if (!ReadConsoleW(etat_.entree, morceau, std::size(morceau), &lus, nullptr) ||
                    lus == 0) {
                    // Ctrl-C cuts the read short; its handler runs on a thread of its own.
                    WaitForSingleObject(reveil_console(), INTERVALLE_FENETRE_MS);
                    SetConsoleMode(etat_.entree, mode_touches(etat_.mode_entree));
                    interrompre();
                    fin_entree();
                }
                large.append(morceau, lus);
            }
            SetConsoleMode(etat_.entree, mode_touches(etat_.mode_entree));
            ligne = depuis_large(large.substr(0, large.find(L'\n')));
            dernier_octet_ = '\n';
        }
        if (!ligne.empty() && ligne.back() == '\r') {
            ligne.pop_back();
        }
        return ligne;
    }

    void vider_entree() override {
        en_attente_.clear();
        if (etat_.entree_console) {
            FlushConsoleInputBuffer(etat_.entree);
        }
    }

    void dormir(int millisecondes) override {
        attendre_fenetre_assez_grande();
        interrompre();
        WaitForSingleObject(reveil_console(), static_cast<DWORD>(std::max(millisecondes, 0)));
        interrompre();
    }

    [[noreturn]] void terminer(int statut) override {
        vider_sortie();
        rendre_console(etat_);
        std::exit(statut);
    }

    void garder_partie(bool gardee) override {
        gardee_ = gardee;
        garder_console(gardee);
    }

private:
    void interrompre() {
        if (const std::optional<PartieInterrompue> raison = interruption_console()) {
            ResetEvent(reveil_console());
            throw *raison;
        }
    }

    // The input has ended, or the console is gone: a kept game is saved first.
    [[noreturn]] void fin_entree() {
        if (gardee_) {
            perdre_console();
            interrompre();
        }
        terminer(0);
    }

    // Every wait first sends what is pending; while the console window is smaller than the
    // game's screen, a notice shows in its place.
    void attendre_fenetre_assez_grande() {
        vider_sortie();
        if (etat_.sortie_console) {
            attendre_fenetre(etat_.sortie, etat_.entree_console ? etat_.entree : nullptr, gardee_);
        }
    }

    // The next key code; nothing when none comes within `delai` milliseconds (INFINITE: it
    // waits as long as it takes).
    std::optional<int> touche_avant(DWORD delai) {
        attendre_fenetre_assez_grande();
        interrompre();
        if (!en_attente_.empty()) {
            const int code = en_attente_.front();
            en_attente_.pop_front();
            return code;
        }
        if (!etat_.entree_console) {
            if (delai != INFINITE) {
                Sleep(delai); // a pipe is read whole, key after key: nothing to wait for
                return std::nullopt;
            }
            const int octet = lire_octet();
            if (octet < 0) {
                fin_entree();
            }
            return octet;
        }
        const ULONGLONG fin = GetTickCount64() + delai;
        for (;;) {
            DWORD attente = INTERVALLE_FENETRE_MS;
            if (delai != INFINITE) {
                const ULONGLONG maintenant = GetTickCount64();
                if (maintenant >= fin) {
                    return std::nullopt;
                }
                attente = static_cast<DWORD>(std::min<ULONGLONG>(attente, fin - maintenant));
            }
            const HANDLE attentes[] = {etat_.entree, reveil_console()};
            const DWORD pret = WaitForMultipleObjects(2, attentes, FALSE, attente);
            if (pret != WAIT_OBJECT_0) {
                attendre_fenetre_assez_grande();
                interrompre();
                continue;
            }
            INPUT_RECORD evenement;
            DWORD lus = 0;
            if (!ReadConsoleInputA(etat_.entree, &evenement, 1, &lus) || lus == 0) {
                fin_entree(); // the console is gone: no key will ever come
            }
            if (evenement.EventType != KEY_EVENT || !evenement.Event.KeyEvent.bKeyDown) {
                continue;
            }
            const KEY_EVENT_RECORD& touche = evenement.Event.KeyEvent;
            for (WORD fois = 0; fois < std::max<WORD>(touche.wRepeatCount, 1); ++fois) {
                coder_touche(touche, en_attente_);
            }
            if (!en_attente_.empty()) {
                const int code = en_attente_.front();
                en_attente_.pop_front();
                return code;
            }
        }
    }

    // One byte of a standard input that is not a console; -1 at its end.
    int lire_octet() {
        if (position_ == lu_.size()) {
            lu_.resize(TAILLE_LECTURE);
            DWORD lus = 0;
            if (!ReadFile(etat_.entree, lu_.data(), TAILLE_LECTURE, &lus, nullptr)) {
                lus = 0;
            }
            lu_.resize(lus);
            position_ = 0;
            if (lus == 0) {
                return -1;
            }
        }
        return static_cast<unsigned char>(lu_[position_++]);
    }

    void vider_sortie() {
        if (tampon_.empty()) {
            return;
        }
        if (etat_.sortie_console) {
            // Byte 0 is an unseen cell: a blank, which some consoles would drop instead.
            std::replace(tampon_.begin(), tampon_.end(), '\0', ' ');
        }
        ecrire_tout(etat_.sortie, etat_.sortie_console, tampon_.data(), tampon_.size());
        tampon_.clear();
    }

    EtatConsole etat_;
    HANDLE erreur_ = nullptr;
    bool erreur_console_ = false;
    int attribut_courant_ = -1;
    std::string tampon_;
    char dernier_octet_ = '\n';
    std::deque<int> en_attente_;
    std::string lu_;
    std::size_t position_ = 0;
    bool gardee_ = false;
};

} // namespace

// The server that draws smaller screens runs on POSIX systems: Windows plays the game's size.
std::unique_ptr<Console> creer_console_terminal(std::string&, int, int) {
    return std::make_unique<ConsoleWindows>();
}

} // namespace korva
