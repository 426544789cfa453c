// What a terminal must be sent to show the screen model: only the cells that differ from what
// it already shows, in the strings its description gives. No system call here, so that every
// platform builds it and tests and benchmarks can run it without a terminal.
#pragma once

#include "console/description_terminal.hpp"
#include "console/ecran_modele.hpp"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

using Description = std::shared_ptr<const DescriptionTerminal>;

// What a terminal shows, as far as it is known, and the bytes that bring it to show a model:
// cursor moves, colour changes and glyphs, each only where needed.
class EmetteurEcran {
public:
    explicit EmetteurEcran(Description description);

    // The terminal's content is unknown: the next frame clears it and draws everything.
    void oublier();
    bool connu() const { return connu_; }
    // Appends to `sortie` what makes the terminal show `modele`, its cursor at the model's;
    // with `couleur_du_modele`, the terminal is also left in the model's colour and out of its
    // line-drawing set, for text that something else (an error report) writes there next.
    void emettre(const EcranModele& modele, std::string& sortie, bool couleur_du_modele = false);
    // What sets the colour attribute whatever the terminal's colours were.
    const std::string& sequence_couleur(int attribut) const {
        return couleurs_[static_cast<std::size_t>(attribut & 0xFF)];
    }

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
    const std::string& transition(int depuis, int vers) const;
    // Into or out of the line-drawing set, as the glyph needs; what that costs.
    void jeu_de(const DescriptionTerminal::Glyphe& g, std::string& sortie);
    std::size_t cout_jeu(const DescriptionTerminal::Glyphe& g, int traces) const;
    void poser(int ligne, int colonne, const Cellule& cellule, std::string& sortie);
    // Blanks cells from the cursor as the model's clear did; returns how many.
    int effacer(const EcranModele& modele, int ligne, int colonne, std::string& sortie);
    std::size_t cout_ecart(const EcranModele& modele, int ligne, int debut, int fin) const;

    Description d_;
    int lignes_;
    int colonnes_;
    std::array<std::string, 256> couleurs_;
    std::vector<Cellule> vus_;
    bool connu_ = false;
    int sgr_ = 0; // the terminal's colour attribute; meaningful only when `sgr_connu_`
    bool sgr_connu_ = false;
    Curseur curseur_;
    int traces_ = -1;              // in the line-drawing set: 1, out of it: 0, unknown: -1
    std::vector<int> differentes_; // the cells of a frame that change, in screen order
};

// The game's output on its way to a terminal: written into the model, then sent as one frame
// of differences whenever the game is about to wait (a key, a line, a pause, a sleep, the end).
class SortieEcran {
public:
    using Puits = std::function<void(std::string_view)>;

    SortieEcran(Puits puits, Description description);

    void ecrire(std::string_view octets) { modele_.ecrire(octets); }
    void ecrire_nom(std::string_view nom) { modele_.ecrire_nom(nom); }
    void effacer() { modele_.effacer(); }
    void couleur(int attribut) { modele_.couleur(attribut); }
    // A sequence for the terminal itself (title, size), sent ahead of the next frame.
    void commande(std::string_view sequence) { commandes_ += sequence; }
    void oublier() { emetteur_.oublier(); }
    // Sends what is waiting, in one call to the sink, or nothing at all when nothing changed.
    void envoyer(bool couleur_du_modele = false);

    const EcranModele& modele() const { return modele_; }
    EcranModele& modele() { return modele_; }
    const EmetteurEcran& emetteur() const { return emetteur_; }

private:
    Puits puits_;
    EcranModele modele_;
    EmetteurEcran emetteur_;
    std::string commandes_;
    std::string trame_;
};

} // namespace korva
