// The real game on a pseudo-terminal, as a player at a terminal sees it: what it sends is read
// by libvterm, a terminal emulator that is no part of the game.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct VTerm;

namespace korva::test {

// One cell as shown: its character in UTF-8 and its colours as console indexes (0 to 15), -1
// for the terminal's own; bold text of the eight first colours counts as bright.
struct CaseVue {
    std::string glyphe;
    int texte;
    int fond;
    bool operator==(const CaseVue&) const = default;
};
inline void PrintTo(const CaseVue& c, std::ostream* os) {
    *os << '"' << c.glyphe << "\" " << c.texte << " on " << c.fond;
}

// A terminal emulated by libvterm, with what xterm keeps beside the screen; UTF-8, or bytes as
// Latin-1 (the bytes above ASCII it receives are then counted).
struct EcranVirtuel {
    EcranVirtuel(int lignes, int colonnes, bool utf8 = true);
    ~EcranVirtuel();
    void recevoir(std::string_view octets);
    CaseVue case_(int ligne, int colonne) const;
    CaseVue plume() const; // the colours the next text would take
    // Every line, blanks at its end left out, one per line.
    std::string texte() const;

    VTerm* vt;
    std::string titre;
    std::vector<std::string> titres_empiles;
    bool curseur_visible = true;
    std::pair<int, int> taille_demandee{0, 0}; // lines and columns the program asked for
    bool utf8;
    std::size_t octets_hauts = 0;
    int sonneries = 0; // the bells rung
};

// The terminal's type and the player's settings.
struct Reglages {
    std::string term = "xterm-256color";
    bool utf8 = true;               // the locale's character set
    const char* no_color = nullptr; // NO_COLOR's value, when it is set
    bool sans_inotify = false;      // as on a system with no inotify instance left
};

class PartieTerminal {
public:
    // Runs `commande` (the game, by default) in `dossier` on a terminal of that size.
    explicit PartieTerminal(const std::filesystem::path& dossier, int lignes = 50,
                            int colonnes = 110, std::vector<std::string> commande = {KORVA_BINAIRE},
                            const Reglages& reglages = {});
    ~PartieTerminal(); // kills what still runs

    void taper(std::string_view octets);
    // Waits until `vrai` holds of what the terminal shows, then takes what else has come;
    // false when that has not happened after a long while.
    bool attendre(const std::function<bool()>& vrai);
    bool attendre(std::string_view texte) {
        return attendre([this, texte] { return ecran().find(texte) != std::string::npos; });
    }
    // Types the keys, then waits for the text.
    bool jouer(std::string_view touches, std::string_view texte) {
        taper(touches);
        return attendre(texte);
    }
    std::string ecran() const { return vue.texte(); }
    // Once the game has ended: the screen with the shell's prompt written where it comes next,
    // as '$', and the blank lines under it left out.
    std::string ecran_du_shell() {
        vue.recevoir("$");
        return ecran().substr(0, ecran().find_last_not_of('\n') + 1);
    }
    // Resizes the terminal; the system signals it to the game.
    void redimensionner(int lignes, int colonnes);
    // The line drops: the terminal is closed.
    void fermer();
    // The exit status, 128 + N when signal N ended it; -1 when it still runs after a long while.
    int attendre_fin();
    // The terminal's modes are those it had before the game.
    bool modes_restaures() const;

    EcranVirtuel vue;
    int pid = -1;

private:
    bool lire(int delai_ms);

    int maitre_ = -1;
    int esclave_ = -1; // kept open so that the modes outlive the game
    int statut_ = -1;
    std::string modes_depart_;
};

} // namespace korva::test
