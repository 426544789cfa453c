// The screen as the game draws it, kept in memory, and what a terminal needs to be sent to show
// it: only the cells that differ from what the terminal already shows. No system call here, so
// that every platform builds it and tests and benchmarks can run it without a terminal.
#pragma once

#include "console/console.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

// The terminal's own colours, in force until the game sets one.
inline constexpr int ATTRIBUT_DEFAUT = -1;

// One character cell: the code page 437 byte it shows and its colour attribute, or, when
// `efface`, a cell blanked by a clear in that attribute. Terminals differ there: some blank
// with the colour in force, others with their own background; only blanking again shows the
// same thing on both.
struct Cellule {
    unsigned char octet = ' ';
    int attribut = ATTRIBUT_DEFAUT;
    bool efface = false;
    bool operator==(const Cellule&) const = default;
};

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
    void poser(unsigned char octet);

    int lignes_;
    int colonnes_;
    std::vector<Cellule> cellules_;
    int ligne_ = 0;
    int colonne_ = 0;
    int attribut_ = ATTRIBUT_DEFAUT;
    int sonneries_ = 0;
};

// What a terminal shows, as far as it is known, and the bytes that bring it to show a model:
// cursor moves, colour changes and UTF-8 glyphs, each only where needed.
class EmetteurEcran {
public:
    explicit EmetteurEcran(int lignes = CONSOLE_LIGNES, int colonnes = CONSOLE_COLONNES);

    // The terminal's content is unknown: the next frame clears it and draws everything.
    void oublier();
    bool connu() const { return connu_; }
    // Appends to `sortie` what makes the terminal show `modele`, its cursor at the model's;
    // with `couleur_du_modele`, the terminal is also left in the model's colour, for text that
    // something else (the terminal's echo, an error report) writes there next.
    void emettre(const EcranModele& modele, std::string& sortie, bool couleur_du_modele = false);

private:
    struct Curseur {
        int ligne = -1; // -1: unknown
        int colonne = -1;
    };

    Cellule& vu(int ligne, int colonne) {
        return vus_[static_cast<std::size_t>(ligne * colonnes_ + colonne)];
    }
    void lister_differences(const EcranModele& modele);
    void repeindre(const EcranModele& modele, std::string& sortie);
    // Takes the cursor to a cell, by a move or by writing again the cells on the way.
    void rejoindre(const EcranModele& modele, int ligne, int colonne, std::string& sortie);
    void aller(int ligne, int colonne, std::string& sortie);
    void changer_couleur(int attribut, std::string& sortie);
    std::size_t cout_couleur(int depuis, int vers) const;
    void poser(int ligne, int colonne, const Cellule& cellule, std::string& sortie);
    // Blanks cells from the cursor as the model's clear did; returns how many.
    int effacer(const EcranModele& modele, int ligne, int colonne, std::string& sortie);
    std::size_t cout_ecart(const EcranModele& modele, int ligne, int debut, int fin) const;

    int lignes_;
    int colonnes_;
    std::vector<Cellule> vus_;
    bool connu_ = false;
    int sgr_ = 0; // the terminal's colour attribute; meaningful only when `sgr_connu_`
    bool sgr_connu_ = false;
    Curseur curseur_;
    std::vector<int> differentes_; // the cells of a frame that change, in screen order
};

// The game's output on its way to a terminal: written into the model, then sent as one frame
// of differences whenever the game is about to wait (a key, a line, a pause, a sleep, the end).
class SortieEcran {
public:
    using Puits = std::function<void(std::string_view)>;

    explicit SortieEcran(Puits puits, int lignes = CONSOLE_LIGNES, int colonnes = CONSOLE_COLONNES);

    void ecrire(std::string_view octets) { modele_.ecrire(octets); }
    void effacer() { modele_.effacer(); }
    void couleur(int attribut) { modele_.couleur(attribut); }
    // A sequence for the terminal itself (title, size), sent ahead of the next frame.
    void commande(std::string_view sequence) { commandes_ += sequence; }
    void oublier() { emetteur_.oublier(); }
    // Sends what is waiting, in one call to the sink, or nothing at all when nothing changed.
    void envoyer(bool couleur_du_modele = false);

    const EcranModele& modele() const { return modele_; }

private:
    Puits puits_;
    EcranModele modele_;
    EmetteurEcran emetteur_;
    std::string commandes_;
    std::string trame_;
};

} // namespace korva
