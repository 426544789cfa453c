#include "support/emulateur_terminal.hpp"

#include "console/traduction_terminal.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace korva::test {

namespace {

constexpr int PAS_TABULATION = 8;

std::vector<int> nombres(const std::string& parametres) {
    std::vector<int> resultat;
    std::string nombre;
    std::istringstream flux(parametres);
    while (std::getline(flux, nombre, ';')) {
        resultat.push_back(nombre.empty() ? 0 : std::stoi(nombre));
    }
    if (resultat.empty()) {
        resultat.push_back(0);
    }
    return resultat;
}

void utf8(std::string& sortie, char32_t point) {
    if (point < 0x80) {
        sortie += static_cast<char>(point);
    } else if (point < 0x800) {
        sortie += static_cast<char>(0xC0 | (point >> 6));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        sortie += static_cast<char>(0xE0 | (point >> 12));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// What the model's cell shows, as the terminal would hold it.
CaseAffichee affichage(const Cellule& cellule) {
    CaseAffichee c;
    EmulateurTerminal un(1, 1);
    un.recevoir(glyphe_utf8(cellule.octet));
    c.point = un.case_(0, 0).point;
    c.efface = cellule.efface;
    if (cellule.attribut >= 0) {
        c.texte = code_ansi_texte(cellule.attribut);
        c.fond = code_ansi_fond(cellule.attribut);
    }
    return c;
}

bool pareilles(const CaseAffichee& a, const CaseAffichee& b) {
    if (a.point != b.point || a.fond != b.fond || a.efface != b.efface) {
        return false;
    }
    return a.point == U' ' || a.texte == b.texte;
}

std::string decrire(const CaseAffichee& c) {
    std::string texte;
    utf8(texte, c.point);
    return "'" + texte + "' " + std::to_string(c.texte) + "/" + std::to_string(c.fond) +
           (c.efface ? " blanked" : "");
}

template <typename CaseA, typename CaseB>
std::string comparer(int lignes, int colonnes, const CaseA& case_a, const CaseB& case_b,
                     int ligne_a, int colonne_a, int ligne_b, int colonne_b) {
    std::string resultat;
    int compte = 0;
    for (int l = 0; l < lignes; ++l) {
        for (int c = 0; c < colonnes; ++c) {
            const CaseAffichee a = case_a(l, c);
            const CaseAffichee b = case_b(l, c);
            if (!pareilles(a, b) && ++compte <= 5) {
                resultat += "cell " + std::to_string(l) + "," + std::to_string(c) + ": " +
                            decrire(a) + " instead of " + decrire(b) + "\n";
            }
        }
    }
    if (compte > 5) {
        resultat += std::to_string(compte) + " cells differ\n";
    }
    if (ligne_a != ligne_b || colonne_a != colonne_b) {
        resultat += "cursor " + std::to_string(ligne_a) + "," + std::to_string(colonne_a) +
                    " instead of " + std::to_string(ligne_b) + "," + std::to_string(colonne_b) +
                    "\n";
    }
    return resultat;
}

} // namespace

EmulateurTerminal::EmulateurTerminal(int lignes, int colonnes)
    : lignes_(lignes), colonnes_(colonnes), cases_(static_cast<std::size_t>(lignes * colonnes)) {}

void EmulateurTerminal::recevoir(std::string_view octets) {
    for (const char signe : octets) {
        const auto octet = static_cast<unsigned char>(signe);
        switch (etat_) {
        case Etat::Echap:
            if (octet == '[') {
                etat_ = Etat::Csi;
                parametres_.clear();
            } else if (octet == ']') {
                etat_ = Etat::Osc;
            } else {
                ADD_FAILURE() << "unknown escape " << signe;
                etat_ = Etat::Texte;
            }
            continue;
        case Etat::Csi:
            if (octet >= 0x40 && octet <= 0x7E) {
                sequence_csi(static_cast<char>(octet), parametres_);
                etat_ = Etat::Texte;
            } else {
                parametres_ += signe;
            }
            continue;
        case Etat::Osc:
            if (octet == 0x07) {
                etat_ = Etat::Texte;
            }
            continue;
        case Etat::Texte:
            break;
        }
        if (suite_ > 0) {
            point_ = (point_ << 6) | (octet & 0x3F);
            if (--suite_ == 0) {
                poser(point_);
            }
            continue;
        }
        switch (octet) {
        case 0x1B:
            etat_ = Etat::Echap;
            break;
        case 0x07:
            break;
        case 0x08:
            colonne_ = std::max(0, colonne_ - 1);
            retour_en_attente_ = false;
            break;
        case 0x09:
            colonne_ = std::min((colonne_ / PAS_TABULATION + 1) * PAS_TABULATION, colonnes_ - 1);
            retour_en_attente_ = false;
            break;
        case 0x0A:
            a_la_ligne();
            break;
        case 0x0D:
            colonne_ = 0;
            retour_en_attente_ = false;
            break;
        default:
            if (octet >= 0xF0) {
                point_ = octet & 0x07;
                suite_ = 3;
            } else if (octet >= 0xE0) {
                point_ = octet & 0x0F;
                suite_ = 2;
            } else if (octet >= 0xC0) {
                point_ = octet & 0x1F;
                suite_ = 1;
            } else if (octet < 0x20) {
                ADD_FAILURE() << "control byte " << static_cast<int>(octet) << " shown";
            } else {
                poser(octet);
            }
            break;
        }
    }
}

void EmulateurTerminal::a_la_ligne() {
    colonne_ = 0;
    retour_en_attente_ = false;
    if (ligne_ + 1 < lignes_) {
        ++ligne_;
        return;
    }
    const auto largeur = static_cast<std::ptrdiff_t>(colonnes_);
    std::move(cases_.begin() + largeur, cases_.end(), cases_.begin());
    std::fill(cases_.end() - largeur, cases_.end(), CaseAffichee{U' ', texte_, fond_, true});
}

void EmulateurTerminal::poser(char32_t point) {
    if (retour_en_attente_) {
        a_la_ligne();
    }
    cases_[static_cast<std::size_t>(ligne_ * colonnes_ + colonne_)] =
        CaseAffichee{point, texte_, fond_, false};
    if (colonne_ + 1 < colonnes_) {
        ++colonne_;
    } else {
        retour_en_attente_ = true;
    }
}

void EmulateurTerminal::sequence_csi(char final, const std::string& parametres) {
    if (!parametres.empty() && parametres[0] == '?') {
        return; // cursor shown or hidden: nothing on the grid
    }
    const std::vector<int> n = nombres(parametres);
    const int un = std::max(1, n[0]);
    switch (final) {
    case 'H':
        ligne_ = std::clamp(un - 1, 0, lignes_ - 1);
        colonne_ = std::clamp((n.size() > 1 ? std::max(1, n[1]) : 1) - 1, 0, colonnes_ - 1);
        break;
    case 'A':
        ligne_ = std::max(0, ligne_ - un);
        break;
    case 'B':
        ligne_ = std::min(lignes_ - 1, ligne_ + un);
        break;
    case 'C':
        colonne_ = std::min(colonnes_ - 1, colonne_ + un);
        break;
    case 'D':
        colonne_ = std::max(0, colonne_ - un);
        break;
    case 'J':
        if (n[0] != 2) {
            ADD_FAILURE() << "partial clear " << parametres;
        }
        std::fill(cases_.begin(), cases_.end(), CaseAffichee{U' ', texte_, fond_, true});
        break;
    case 'K':
        if (n[0] != 0) {
            ADD_FAILURE() << "partial line erase " << parametres;
        }
        for (int c = colonne_; c < colonnes_; ++c) {
            cases_[static_cast<std::size_t>(ligne_ * colonnes_ + c)] =
                CaseAffichee{U' ', texte_, fond_, true};
        }
        break;
    case 'X':
        for (int c = colonne_; c < std::min(colonnes_, colonne_ + un); ++c) {
            cases_[static_cast<std::size_t>(ligne_ * colonnes_ + c)] =
                CaseAffichee{U' ', texte_, fond_, true};
        }
        break;
    case 'm':
        for (const int code : n) {
            if (code == 0) {
                texte_ = -1;
                fond_ = -1;
            } else if ((code >= 30 && code <= 37) || (code >= 90 && code <= 97)) {
                texte_ = code;
            } else if ((code >= 40 && code <= 47) || (code >= 100 && code <= 107)) {
                fond_ = code;
            } else {
                ADD_FAILURE() << "unknown colour " << code;
            }
        }
        break;
    case 't':
        break; // title and size: nothing on the grid
    default:
        ADD_FAILURE() << "unknown sequence " << parametres << final;
        break;
    }
    retour_en_attente_ = false;
}

std::string EmulateurTerminal::texte_ligne(int ligne) const {
    std::string texte;
    for (int c = 0; c < colonnes_; ++c) {
        utf8(texte, case_(ligne, c).point);
    }
    texte.erase(texte.find_last_not_of(' ') + 1);
    return texte;
}

std::string EmulateurTerminal::texte() const {
    std::string resultat;
    for (int l = 0; l < lignes_; ++l) {
        resultat += texte_ligne(l) + "\n";
    }
    return resultat;
}

std::string differences(const EmulateurTerminal& terminal, const EcranModele& modele) {
    // The cursor waiting past the last column shows on that column.
    const int colonne = std::min(modele.colonne(), modele.colonnes() - 1);
    return comparer(
        modele.lignes(), modele.colonnes(), [&](int l, int c) { return terminal.case_(l, c); },
        [&](int l, int c) { return affichage(modele.cellule(l, c)); }, terminal.ligne(),
        terminal.colonne(), modele.ligne(), colonne);
}

std::string differences(const EmulateurTerminal& a, const EmulateurTerminal& b) {
    return comparer(
        CONSOLE_LIGNES, CONSOLE_COLONNES, [&](int l, int c) { return a.case_(l, c); },
        [&](int l, int c) { return b.case_(l, c); }, a.ligne(), a.colonne(), b.ligne(),
        b.colonne());
}

} // namespace korva::test
