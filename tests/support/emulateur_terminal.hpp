// A small terminal for tests: it takes the bytes a terminal would receive (UTF-8 text, line
// controls, cursor moves, colours, clear) and keeps the grid of cells it would show.
#pragma once

#include "console/ecran_modele.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace korva::test {

struct CaseAffichee {
    char32_t point = U' ';
    int texte = -1; // SGR colour code of the text (30-37, 90-97), -1 the terminal's own
    int fond = -1;  // SGR colour code of the background (40-47, 100-107), -1 the terminal's own
    // Blanked by a clear or an erase, in the colours then in force (which some terminals show
    // with their own background instead): never the same as a blank written.
    bool efface = true;
};

class EmulateurTerminal {
public:
    explicit EmulateurTerminal(int lignes = CONSOLE_LIGNES, int colonnes = CONSOLE_COLONNES);

    // Takes bytes as the terminal receives them; a line feed also returns to the first column,
    // as the game's terminal modes ask. Anything it does not know fails the current test.
    // Understands UTF-8 text, BEL, BS, TAB, LF, CR, cursor moves (CUP, CUU, CUD, CUF, CUB),
    // clears (the whole screen, the end of the line, characters), colours (SGR) and ignores
    // titles and size requests.
    void recevoir(std::string_view octets);

    const CaseAffichee& case_(int ligne, int colonne) const {
        return cases_[static_cast<std::size_t>(ligne * colonnes_ + colonne)];
    }
    int ligne() const { return ligne_; }
    int colonne() const { return colonne_; }
    // The line's text in UTF-8, blanks at its end left out.
    std::string texte_ligne(int ligne) const;
    // Every line's text, one per line.
    std::string texte() const;

private:
    void a_la_ligne();
    void poser(char32_t point);
    void sequence_csi(char final, const std::string& parametres);

    int lignes_;
    int colonnes_;
    std::vector<CaseAffichee> cases_;
    int ligne_ = 0;
    int colonne_ = 0;
    bool retour_en_attente_ = false; // the last column was written: the next glyph wraps
    int texte_ = -1;
    int fond_ = -1;
    enum class Etat { Texte, Echap, Csi, Osc } etat_ = Etat::Texte;
    std::string parametres_;
    char32_t point_ = 0;
    int suite_ = 0;
};

// The differences between what the terminal shows and what the model holds, cell for cell
// (blanks by their background only) and the cursor: empty when they look the same.
std::string differences(const EmulateurTerminal& terminal, const EcranModele& modele);

// The same, between two terminals.
std::string differences(const EmulateurTerminal& a, const EmulateurTerminal& b);

} // namespace korva::test
