// The screen as the game draws it, kept in memory as a terminal of that size would show it.
#pragma once

#include "console/console.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace korva {

// The terminal's own colours, in force until the game sets one.
inline constexpr int ATTRIBUT_DEFAUT = -1;
// A cell whose content is not known: it never looks like any cell of the model.
inline constexpr int ATTRIBUT_INCONNU = -2;

// The background colour of an attribute; the two above stand for themselves.
inline int fond(int attribut) {
    return attribut < 0 ? attribut : (attribut >> 4) & 0xF;
}

// One character cell: the code page 437 byte it shows and its colour attribute, or, when
// `efface`, a cell blanked by a clear in that attribute. Terminals differ there: some blank
// with the colour in force, others with their own background; only blanking again shows the
// same thing on both. A name's character beyond ASCII is kept as `point`, whatever code page
// 437 holds, and shows as `octet` ('?') where the terminal cannot show it.
struct Cellule {
    unsigned char octet = ' ';
    int attribut = ATTRIBUT_DEFAUT;
    bool efface = false;
    char32_t point = 0;
    bool operator==(const Cellule&) const = default;
};

// What a UTF-8 terminal shows in the cell.
std::string glyphe_utf8(const Cellule& cellule);

// Two cells look alike: the same glyph in the same colours, or both blanked alike; a blank
// shows its background only.
bool meme_apparence(const Cellule& a, const Cellule& b);

// The screen the game writes on, as a terminal of that size would show it: text from the
// cursor on, line feeds to the first column of the next line, tabs to the next multiple of 8,
// text past the last column on the next line, the whole screen moving up past the last line.
class EcranModele {
public:
    explicit EcranModele(int lignes = CONSOLE_LIGNES, int colonnes = CONSOLE_COLONNES);

    // Code page 437 bytes; byte 0 shows as a blank; bell, backspace, tab, line feed and
    // carriage return are obeyed as the Windows console does.
    void ecrire(std::string_view octets);
    // A name as the player typed it: each of its characters in a cell (see Cellule).
    void ecrire_nom(std::string_view nom);
    // Blanks every cell in the colour in force; the cursor goes to the top-left corner.
    void effacer();
    void couleur(int attribut) { attribut_ = attribut; }

    int lignes() const { return lignes_; }
    int colonnes() const { return colonnes_; }
    int attribut() const { return attribut_; }
    int ligne() const { return ligne_; }
    // Equal to `colonnes()` right after the last column was written: the next glyph goes to the
    // next line, as on a terminal.
    int colonne() const { return colonne_; }
    const Cellule& cellule(int ligne, int colonne) const {
        return cellules_[static_cast<std::size_t>(ligne * colonnes_ + colonne)];
    }
    // Bells rung since they were last taken.
    int prendre_sonneries();

private:
    void a_la_ligne();
    void poser(unsigned char octet, char32_t point = 0);

    int lignes_;
    int colonnes_;
    std::vector<Cellule> cellules_;
    int ligne_ = 0;
    int colonne_ = 0;
    int attribut_ = ATTRIBUT_DEFAUT;
    int sonneries_ = 0;
};

} // namespace korva
