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

const std::string AUCUNE;

// The move of `n` cells the description holds, or nothing.
const std::string& pas_de(const std::vector<std::string>& pas, int n) {
    return n > 0 && static_cast<std::size_t>(n) < pas.size() ? pas[static_cast<std::size_t>(n)]
                                                             : AUCUNE;
}

} // namespace

EmetteurEcran::EmetteurEcran(Description description)
    : d_(std::move(description)), lignes_(d_->lignes), colonnes_(d_->colonnes),
      vus_(static_cast<std::size_t>(lignes_ * colonnes_), Cellule{BLANC, ATTRIBUT_INCONNU}) {
    for (std::size_t a = 0; d_->couleurs && a < couleurs_.size(); ++a) {
        // Where bright text is bold, only a fresh start makes it dark again.
        couleurs_[a] = fusionner_sgr((d_->texte_gras ? d_->origine : "") + d_->texte[a & 0xF] +
                                     d_->fond[a >> 4]);
    }
}

void EmetteurEcran::oublier() {
    connu_ = false;
    sgr_connu_ = false;
    traces_ = -1;
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
        jeu_de(d_->glyphes[BLANC], sortie);
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
    sortie += d_->effacer_ecran;
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
    std::string meilleur = d_->adresses[static_cast<std::size_t>(ligne * colonnes_ + colonne)];
    // Relative moves need a known cursor that is not waiting to wrap past the last column.
    if (curseur_.ligne >= 0 && curseur_.colonne >= 0 && curseur_.colonne < colonnes_) {
        const int dl = ligne - curseur_.ligne;
        const int dc = colonne - curseur_.colonne;
        const std::string& vertical = dl >= 0 ? pas_de(d_->bas, dl) : pas_de(d_->haut, -dl);
        const std::string& horizontal = dc >= 0 ? pas_de(d_->droite, dc) : pas_de(d_->gauche, -dc);
        if ((dl == 0 || !vertical.empty()) && (dc == 0 || !horizontal.empty()) &&
            vertical.size() + horizontal.size() < meilleur.size()) {
            meilleur = vertical + horizontal;
        }
        // From the first column: line feeds down, which also return to it (the terminal is set
        // so, as the game's text needs), or a carriage return.
        std::string depuis_debut =
            dl > 0 ? std::string(static_cast<std::size_t>(dl), '\n') : d_->retour + vertical;
        const std::string& vers_colonne = pas_de(d_->droite, colonne);
        const bool possible =
            (dl >= 0 || !vertical.empty()) && (colonne == 0 || !vers_colonne.empty());
        depuis_debut += vers_colonne;
        if (possible && depuis_debut.size() < meilleur.size()) {
            meilleur = depuis_debut;
        }
    }
    sortie += meilleur;
    curseur_ = Curseur{ligne, colonne};
}

const std::string& EmetteurEcran::transition(int depuis, int vers) const {
    if (!d_->couleurs || depuis == vers) {
        return AUCUNE;
    }
    if (vers < 0) {
        return d_->origine;
    }
    const bool texte = depuis < 0 || (depuis & 0xF) != (vers & 0xF);
    const bool fond_change = depuis < 0 || fond(depuis) != fond(vers);
    const bool plus_gras = d_->texte_gras && depuis >= 0 && (depuis & 8) != 0 && (vers & 8) == 0;
    if ((texte && fond_change) || (texte && plus_gras)) {
        return sequence_couleur(vers);
    }
    return texte ? d_->texte[static_cast<std::size_t>(vers & 0xF)]
                 : d_->fond[static_cast<std::size_t>(fond(vers))];
}

void EmetteurEcran::changer_couleur(int attribut, std::string& sortie) {
    if (sgr_connu_ && sgr_ == attribut) {
        return;
    }
    const std::string& sequence = transition(sgr_connu_ ? sgr_ : ATTRIBUT_INCONNU, attribut);
    sortie += sequence;
    if (&sequence == &d_->origine ||
        (d_->texte_gras && &sequence != &AUCUNE && &sequence == &sequence_couleur(attribut))) {
        traces_ = -1; // some terminals leave the line-drawing set with their attributes
    }
    sgr_ = attribut;
    sgr_connu_ = true;
}

void EmetteurEcran::jeu_de(const DescriptionTerminal::Glyphe& g, std::string& sortie) {
    if (d_->entrer_traces.empty() || traces_ == (g.trace ? 1 : 0)) {
        return;
    }
    sortie += g.trace ? d_->entrer_traces : d_->sortir_traces;
    traces_ = g.trace ? 1 : 0;
}

std::size_t EmetteurEcran::cout_jeu(const DescriptionTerminal::Glyphe& g, int traces) const {
    if (d_->entrer_traces.empty() || traces == (g.trace ? 1 : 0)) {
        return 0;
    }
    return g.trace ? d_->entrer_traces.size() : d_->sortir_traces.size();
}

void EmetteurEcran::poser(int ligne, int colonne, const Cellule& cellule, std::string& sortie) {
    // A blank shows only its background: any text colour on the right background will do.
    const bool blanc_deja_bon =
        cellule.octet == BLANC && sgr_connu_ && fond(sgr_) == fond(cellule.attribut);
    if (!blanc_deja_bon) {
        changer_couleur(cellule.attribut, sortie);
    }
    const DescriptionTerminal::Glyphe& g = d_->glyphes[cellule.octet];
    jeu_de(g, sortie);
    sortie += cellule.point != 0 && d_->utf8 ? en_utf8(cellule.point) : g.texte;
    vu(ligne, colonne) = Cellule{cellule.octet, sgr_, false, cellule.point};
    // Past the last column the terminal waits to wrap (or, wider, goes on), and a name's
    // character may take more or less than one cell there: the cursor is best placed anew.
    curseur_.colonne = colonne + 1 < colonnes_ && cellule.point == 0 ? colonne + 1 : -1;
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
    if (fin < colonnes_ || d_->effacer_fin_ligne.empty()) {
        fin = derniere_differente + 1;
    }
    const std::string& jusqu_a = pas_de(d_->effacer_cellules, fin - colonne);
    if (fin == colonnes_ && !d_->effacer_fin_ligne.empty()) {
        sortie += d_->effacer_fin_ligne;
    } else if (!jusqu_a.empty() && jusqu_a.size() < static_cast<std::size_t>(fin - colonne)) {
        sortie += jusqu_a;
    } else {
        // Blanks in the colour in force show the same on every terminal.
        jeu_de(d_->glyphes[BLANC], sortie);
        sortie.append(static_cast<std::size_t>(fin - colonne), ' ');
        curseur_.colonne = fin < colonnes_ ? fin : -1;
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
    int traces = traces_;
    for (int colonne = debut; colonne < fin; ++colonne) {
        const Cellule& cellule = modele.cellule(ligne, colonne);
        if (cellule.efface || cellule.point != 0) {
            return SIZE_MAX; // a blanked cell, or a name's character, is not written again
        }
        if (!(cellule.octet == BLANC && sgr != ATTRIBUT_INCONNU &&
              fond(sgr) == fond(cellule.attribut))) {
            cout += transition(sgr, cellule.attribut).size();
            sgr = cellule.attribut;
        }
        const DescriptionTerminal::Glyphe& g = d_->glyphes[cellule.octet];
        cout += cout_jeu(g, traces) + g.texte.size();
        traces = d_->entrer_traces.empty() ? traces : (g.trace ? 1 : 0);
    }
    return cout;
}

SortieEcran::SortieEcran(Puits puits, Description description)
    : puits_(std::move(puits)), modele_(description->lignes, description->colonnes),
      emetteur_(std::move(description)) {}

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
