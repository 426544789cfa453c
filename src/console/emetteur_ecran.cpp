#include "console/emetteur_ecran.hpp"

#include "console/traduction_terminal.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace korva {

namespace {

constexpr unsigned char BLANC = ' ';
// Unchanged cells between two changes are written again rather than jumped over only when
// they are this few at most: a jump never costs more.
constexpr int ECART_MAXIMAL = 8;

void ajouter_nombre(std::string& sortie, int valeur) {
    sortie += std::to_string(valeur);
}

std::size_t chiffres(int valeur) {
    std::size_t n = 1;
    while (valeur >= 10) {
        valeur /= 10;
        ++n;
    }
    return n;
}

// A relative move of `n` cells with the final byte `sens`: "ESC [ A" for one, "ESC [ n A" else.
void deplacement(std::string& sortie, int n, char sens) {
    sortie += "\x1b[";
    if (n > 1) {
        ajouter_nombre(sortie, n);
    }
    sortie += sens;
}

} // namespace

EmetteurEcran::EmetteurEcran(int lignes, int colonnes)
    : lignes_(lignes), colonnes_(colonnes),
      vus_(static_cast<std::size_t>(lignes * colonnes), Cellule{BLANC, ATTRIBUT_INCONNU}) {}

void EmetteurEcran::oublier() {
    connu_ = false;
    sgr_connu_ = false;
    curseur_ = Curseur{};
}

void EmetteurEcran::emettre(const EcranModele& modele, std::string& sortie,
                            bool couleur_du_modele) {
    if (connu_) {
        lister_differences(modele);
        // Most of the screen changed (a clear in another colour, say): a clear costs less.
        connu_ = differentes_.size() <= vus_.size() / 2;
    }
    if (!connu_) {
        repeindre(modele, sortie);
        lister_differences(modele);
    }
    for (const int i : differentes_) {
        const int ligne = i / colonnes_;
        const int colonne = i % colonnes_;
        // Cells already written again on the way to an earlier one need nothing more.
        if (meme_apparence(vu(ligne, colonne), modele.cellule(ligne, colonne))) {
            continue;
        }
        rejoindre(modele, ligne, colonne, sortie);
        if (modele.cellule(ligne, colonne).efface) {
            effacer(modele, ligne, colonne, sortie);
        } else {
            poser(ligne, colonne, modele.cellule(ligne, colonne), sortie);
        }
    }
    const int ligne = modele.ligne();
    const int colonne = modele.colonne();
    if (colonne >= colonnes_) {
        // The next glyph goes to the next line: the terminal must be left in the same state,
        // which only writing the last column again gives.
        aller(ligne, colonnes_ - 1, sortie);
        poser(ligne, colonnes_ - 1, modele.cellule(ligne, colonnes_ - 1), sortie);
    } else {
        rejoindre(modele, ligne, colonne, sortie);
    }
    if (couleur_du_modele) {
        changer_couleur(modele.attribut(), sortie);
    }
}

void EmetteurEcran::lister_differences(const EcranModele& modele) {
    differentes_.clear();
    int i = 0;
    for (int ligne = 0; ligne < lignes_; ++ligne) {
        for (int colonne = 0; colonne < colonnes_; ++colonne, ++i) {
            const Cellule& vue = vus_[static_cast<std::size_t>(i)];
            const Cellule& voulue = modele.cellule(ligne, colonne);
            // Most cells are the very same: the full comparison only for the others.
            if (!(vue == voulue) && !meme_apparence(vue, voulue)) {
                differentes_.push_back(i);
            }
        }
    }
}

void EmetteurEcran::repeindre(const EcranModele& modele, std::string& sortie) {
    // The terminal clears in its current colour: the one most blanked cells need.
    std::array<int, 17> blancs{};
    std::array<int, 17> attributs{};
    for (int ligne = 0; ligne < lignes_; ++ligne) {
        for (int colonne = 0; colonne < colonnes_; ++colonne) {
            const Cellule& cellule = modele.cellule(ligne, colonne);
            if (cellule.efface) {
                const auto rang = static_cast<std::size_t>(fond(cellule.attribut) + 1);
                ++blancs[rang];
                attributs[rang] = cellule.attribut;
            }
        }
    }
    const auto plus_frequent =
        static_cast<std::size_t>(std::max_element(blancs.begin(), blancs.end()) - blancs.begin());
    const int attribut = blancs[plus_frequent] > 0 ? attributs[plus_frequent] : ATTRIBUT_DEFAUT;
    sgr_connu_ = false;
    changer_couleur(attribut, sortie);
    sortie += "\x1b[H\x1b[2J";
    std::fill(vus_.begin(), vus_.end(), Cellule{BLANC, attribut, true});
    curseur_ = Curseur{0, 0};
    connu_ = true;
}

void EmetteurEcran::rejoindre(const EcranModele& modele, int ligne, int colonne,
                              std::string& sortie) {
    // Unchanged cells just before the target, on the cursor's line, may cost less to write
    // again than a jump over them.
    const bool sur_la_ligne = curseur_.ligne == ligne && curseur_.colonne >= 0 &&
                              curseur_.colonne < colonne &&
                              colonne - curseur_.colonne <= ECART_MAXIMAL;
    if (sur_la_ligne) {
        std::string saut;
        const Curseur ici = curseur_;
        aller(ligne, colonne, saut);
        curseur_ = ici;
        if (cout_ecart(modele, ligne, curseur_.colonne, colonne) <= saut.size()) {
            for (int c = curseur_.colonne; c < colonne; ++c) {
                poser(ligne, c, modele.cellule(ligne, c), sortie);
            }
        }
    }
    aller(ligne, colonne, sortie);
}

void EmetteurEcran::aller(int ligne, int colonne, std::string& sortie) {
    if (curseur_.ligne == ligne && curseur_.colonne == colonne) {
        return;
    }
    std::string meilleur = "\x1b[";
    ajouter_nombre(meilleur, ligne + 1);
    if (colonne > 0) {
        meilleur += ';';
        ajouter_nombre(meilleur, colonne + 1);
    }
    meilleur += 'H';
    // Relative moves need a known cursor that is not waiting to wrap past the last column.
    if (curseur_.ligne >= 0 && curseur_.colonne >= 0 && curseur_.colonne < colonnes_) {
        const int dl = ligne - curseur_.ligne;
        const int dc = colonne - curseur_.colonne;
        std::string vertical;
        if (dl > 0) {
            deplacement(vertical, dl, 'B');
        } else if (dl < 0) {
            deplacement(vertical, -dl, 'A');
        }
        std::string essai = vertical;
        if (dc > 0) {
            deplacement(essai, dc, 'C');
        } else if (dc == -1) {
            essai += '\b';
        } else if (dc < 0) {
            deplacement(essai, -dc, 'D');
        }
        if (essai.size() < meilleur.size()) {
            meilleur = essai;
        }
        // From the first column: line feeds down, which also return to it (the terminal is set
        // so, as the game's text needs), or a carriage return.
        std::string depuis_debut;
        if (dl > 0) {
            depuis_debut.append(static_cast<std::size_t>(dl), '\n');
        } else {
            depuis_debut = '\r' + vertical;
        }
        if (colonne > 0) {
            deplacement(depuis_debut, colonne, 'C');
        }
        if (depuis_debut.size() < meilleur.size()) {
            meilleur = depuis_debut;
        }
    }
    sortie += meilleur;
    curseur_ = Curseur{ligne, colonne};
}

std::size_t EmetteurEcran::cout_couleur(int depuis, int vers) const {
    if (depuis == vers) {
        return 0;
    }
    if (vers < 0) {
        return 3; // ESC [ m
    }
    if (depuis < 0) {
        return sequence_couleur(vers).size();
    }
    const bool texte = (depuis & 0xF) != (vers & 0xF);
    const bool fond_change = fond(depuis) != fond(vers);
    if (texte && fond_change) {
        return sequence_couleur(vers).size();
    }
    return texte ? chiffres(code_ansi_texte(vers)) + 3 : chiffres(code_ansi_fond(vers)) + 3;
}

void EmetteurEcran::changer_couleur(int attribut, std::string& sortie) {
    if (sgr_connu_ && sgr_ == attribut) {
        return;
    }
    if (attribut < 0) {
        sortie += "\x1b[m";
    } else if (!sgr_connu_ || sgr_ < 0) {
        sortie += sequence_couleur(attribut);
    } else {
        const bool texte = (sgr_ & 0xF) != (attribut & 0xF);
        const bool fond_change = fond(sgr_) != fond(attribut);
        if (texte && fond_change) {
            sortie += sequence_couleur(attribut);
        } else {
            sortie += "\x1b[";
            ajouter_nombre(sortie, texte ? code_ansi_texte(attribut) : code_ansi_fond(attribut));
            sortie += 'm';
        }
    }
    sgr_ = attribut;
    sgr_connu_ = true;
}

void EmetteurEcran::poser(int ligne, int colonne, const Cellule& cellule, std::string& sortie) {
    // A blank shows only its background: any text colour on the right background will do.
    const bool blanc_deja_bon =
        cellule.octet == BLANC && sgr_connu_ && fond(sgr_) == fond(cellule.attribut);
    if (!blanc_deja_bon) {
        changer_couleur(cellule.attribut, sortie);
    }
    sortie += glyphe_utf8(cellule.octet);
    vu(ligne, colonne) = Cellule{cellule.octet, sgr_};
    // Past the last column the terminal waits to wrap (or, wider, goes on): either way the
    // cursor is best placed anew.
    curseur_.colonne = colonne + 1 < colonnes_ ? colonne + 1 : -1;
}

int EmetteurEcran::effacer(const EcranModele& modele, int ligne, int colonne, std::string& sortie) {
    const Cellule& premiere = modele.cellule(ligne, colonne);
    // The cells blanked alike from here on, up to the last one the terminal shows otherwise.
    int fin = colonne;
    int derniere_differente = colonne;
    while (fin < colonnes_ && modele.cellule(ligne, fin).efface &&
           fond(modele.cellule(ligne, fin).attribut) == fond(premiere.attribut)) {
        if (!meme_apparence(vu(ligne, fin), modele.cellule(ligne, fin))) {
            derniere_differente = fin;
        }
        ++fin;
    }
    if (!(sgr_connu_ && fond(sgr_) == fond(premiere.attribut))) {
        changer_couleur(premiere.attribut, sortie);
    }
    if (fin == colonnes_) {
        sortie += "\x1b[K"; // to the end of the line
    } else {
        fin = derniere_differente + 1;
        deplacement(sortie, fin - colonne, 'X');
    }
    for (int c = colonne; c < fin; ++c) {
        vu(ligne, c) = Cellule{BLANC, sgr_, true};
    }
    return fin - colonne;
}

std::size_t EmetteurEcran::cout_ecart(const EcranModele& modele, int ligne, int debut,
                                      int fin) const {
    std::size_t cout = 0;
    int sgr = sgr_connu_ ? sgr_ : ATTRIBUT_INCONNU;
    for (int colonne = debut; colonne < fin; ++colonne) {
        const Cellule& cellule = modele.cellule(ligne, colonne);
        if (cellule.efface) {
            return SIZE_MAX; // a blanked cell is not written again
        }
        if (!(cellule.octet == BLANC && sgr != ATTRIBUT_INCONNU &&
              fond(sgr) == fond(cellule.attribut))) {
            cout += sgr == ATTRIBUT_INCONNU ? sequence_couleur(std::max(0, cellule.attribut)).size()
                                            : cout_couleur(sgr, cellule.attribut);
            sgr = cellule.attribut;
        }
        cout += glyphe_utf8(cellule.octet).size();
    }
    return cout;
}

SortieEcran::SortieEcran(Puits puits, int lignes, int colonnes)
    : puits_(std::move(puits)), modele_(lignes, colonnes), emetteur_(lignes, colonnes) {}

void SortieEcran::envoyer(bool couleur_du_modele) {
    trame_.clear();
    trame_ += commandes_;
    commandes_.clear();
    trame_.append(static_cast<std::size_t>(modele_.prendre_sonneries()), '\a');
    emetteur_.emettre(modele_, trame_, couleur_du_modele);
    if (!trame_.empty()) {
        puits_(trame_);
    }
}

} // namespace korva
