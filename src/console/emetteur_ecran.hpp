// What a terminal must be sent to show the screen model: only the cells that differ from what
// it already shows. No system call here, so that every platform builds it and tests and
// benchmarks can run it without a terminal.
#pragma once

#include "console/ecran_modele.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

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
