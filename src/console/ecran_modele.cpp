#include "console/ecran_modele.hpp"

#include "console/traduction_terminal.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace korva {

namespace {

constexpr unsigned char SONNERIE = 0x07;
constexpr unsigned char RETOUR_ARRIERE = 0x08;
constexpr unsigned char TABULATION = 0x09;
constexpr unsigned char SAUT_LIGNE = 0x0A;
constexpr unsigned char RETOUR_CHARIOT = 0x0D;
constexpr unsigned char BLANC = ' ';
constexpr int PAS_TABULATION = 8;
// A name's character stands as this where the terminal cannot show it.
constexpr unsigned char SIGNE_INCONNU = '?';
} // namespace

std::string glyphe_utf8(const Cellule& cellule) {
    return cellule.point != 0 ? en_utf8(cellule.point) : std::string(glyphe_utf8(cellule.octet));
}

bool meme_apparence(const Cellule& a, const Cellule& b) {
    if (a.attribut == ATTRIBUT_INCONNU || b.attribut == ATTRIBUT_INCONNU || a.octet != b.octet ||
        a.efface != b.efface || a.point != b.point) {
        return false;
    }
    if (a.octet == BLANC) {
        return fond(a.attribut) == fond(b.attribut);
    }
    return a.attribut == b.attribut;
}

EcranModele::EcranModele(int lignes, int colonnes)
    : lignes_(lignes), colonnes_(colonnes), cellules_(static_cast<std::size_t>(lignes * colonnes),
                                                      Cellule{BLANC, ATTRIBUT_DEFAUT, true}) {}

void EcranModele::ecrire(std::string_view octets) {
    for (const char signe : octets) {
        const auto octet = static_cast<unsigned char>(signe);
        switch (octet) {
        case SONNERIE:
            ++sonneries_;
            break;
        case RETOUR_ARRIERE:
            colonne_ = std::max(0, std::min(colonne_, colonnes_ - 1) - 1);
            break;
        case TABULATION:
            colonne_ = std::min((colonne_ / PAS_TABULATION + 1) * PAS_TABULATION, colonnes_ - 1);
            break;
        case SAUT_LIGNE:
            a_la_ligne();
            break;
        case RETOUR_CHARIOT:
            colonne_ = 0;
            break;
        default:
            poser(octet == 0 ? BLANC : octet);
            break;
        }
    }
}

void EcranModele::ecrire_nom(std::string_view nom) {
    for (const char32_t point : caracteres_nom(nom)) {
        if (point < 0x80) {
            const char octet = static_cast<char>(point);
            ecrire(std::string_view(&octet, 1));
        } else {
            poser(SIGNE_INCONNU, point);
        }
    }
}

void EcranModele::effacer() {
    std::fill(cellules_.begin(), cellules_.end(), Cellule{BLANC, attribut_, true});
    ligne_ = 0;
    colonne_ = 0;
}

int EcranModele::prendre_sonneries() {
    return std::exchange(sonneries_, 0);
}

void EcranModele::a_la_ligne() {
    colonne_ = 0;
    if (ligne_ + 1 < lignes_) {
        ++ligne_;
        return;
    }
    // Past the last line the screen moves up; the new line takes the colour in force.
    const auto largeur = static_cast<std::ptrdiff_t>(colonnes_);
    std::move(cellules_.begin() + largeur, cellules_.end(), cellules_.begin());
    std::fill(cellules_.end() - largeur, cellules_.end(), Cellule{BLANC, attribut_, true});
}

void EcranModele::poser(unsigned char octet, char32_t point) {
    if (colonne_ >= colonnes_) {
        a_la_ligne();
    }
    cellules_[static_cast<std::size_t>(ligne_ * colonnes_ + colonne_)] =
        Cellule{octet, attribut_, false, point};
    ++colonne_;
}

} // namespace korva
