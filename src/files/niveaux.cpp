#include "files/niveaux.hpp"

#include "console/console.hpp"
#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"

#include <memory>

namespace korva {

namespace {

bool lire_octet(std::string_view texte, std::size_t& position, char attendu) {
    if (position < texte.size() && texte[position] == attendu) {
        ++position;
        return true;
    }
    return false;
}

// One "{type,status,visible}," record; blanks are allowed only in front of the numbers.
bool lire_case(std::string_view texte, std::size_t& position, sCaseJeu& cellule) {
    return lire_octet(texte, position, '{') && lire_nombre(texte, position, cellule.typeCase) &&
           lire_octet(texte, position, ',') && lire_nombre(texte, position, cellule.statutCase) &&
           lire_octet(texte, position, ',') && lire_nombre(texte, position, cellule.visible) &&
           lire_octet(texte, position, '}') && lire_octet(texte, position, ',');
}

} // namespace

bool lire_cases(std::string_view texte, std::size_t& position, Plateau& plateau, int l, int c,
                std::string& erreur) {
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            if (position >= texte.size()) {
                erreur = "the cells end at row " + std::to_string(i + 1) + ", column " +
                         std::to_string(j + 1) + " of " + std::to_string(l) + " rows and " +
                         std::to_string(c) + " columns";
                return false;
            }
            if (!lire_case(texte, position, plateau[i][j])) {
                erreur = "malformed cell record at row " + std::to_string(i + 1) + ", column " +
                         std::to_string(j + 1);
                return false;
            }
        }
        sauter_blancs(texte, position);
    }
    return true;
}

bool lire_taille(std::string_view texte, std::size_t& position, int& l, int& c,
                 std::string& erreur) {
    if (!lire_nombre(texte, position, l) || !lire_nombre(texte, position, c)) {
        erreur = "the size (rows, then columns) is missing or not a number";
        return false;
    }
    sauter_blancs(texte, position);
    if (l < 1 || l > TAILLE_PLATEAU || c < 1 || c > TAILLE_PLATEAU) {
        erreur = "size " + std::to_string(l) + " by " + std::to_string(c) + " is outside 1 to " +
                 std::to_string(TAILLE_PLATEAU) + " rows and columns";
        return false;
    }
    return true;
}

int compter_heros(const Plateau& plateau, int l, int c) {
    int heros = 0;
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            heros += plateau[i][j].statutCase == STATUT_HEROS ? 1 : 0;
        }
    }
    return heros;
}

bool verifier_cases(const Plateau& plateau, int l, int c, std::string& erreur) {
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            const sCaseJeu& cellule = plateau[i][j];
            const std::string ou =
                "the cell at row " + std::to_string(i + 1) + ", column " + std::to_string(j + 1);
            if (!sorte_connue(cellule.typeCase)) {
                erreur = ou + " has the unknown type " + std::to_string(cellule.typeCase);
                return false;
            }
            // A key without its number would go into the bag as a potion, and a locked door
            // without one could never be opened.
            if (sorte(cellule.typeCase).numero && cellule.statutCase < STATUT_CLE_MIN) {
                erreur = ou + " is a key or a locked door without a key number";
                return false;
            }
        }
    }
    const int heros = compter_heros(plateau, l, c);
    if (heros != 1) {
        erreur = heros == 0 ? "no cell holds the hero"
                            : std::to_string(heros) + " cells hold the hero, one is needed";
        return false;
    }
    return true;
}

bool lire_niveau(std::string_view texte, Plateau& plateau, int& l, int& c, std::string& erreur,
                 std::size_t* fin) {
    std::size_t position = 0;
    int lignes = 0;
    int colonnes = 0;
    if (!lire_taille(texte, position, lignes, colonnes, erreur) ||
        !lire_cases(texte, position, plateau, lignes, colonnes, erreur)) {
        return false;
    }
    if (!verifier_cases(plateau, lignes, colonnes, erreur)) {
        return false;
    }
    l = lignes;
    c = colonnes;
    if (fin != nullptr) {
        *fin = position;
    }
    return true;
}

int charger_niveau(const std::string& chemin, Plateau& plateau, int& l, int& c) {
    std::string texte;
    if (!lire_ou_signaler(chemin, texte)) {
        return 1;
    }
    // A bad file must leave the level in play whole, so it is read aside first.
    auto brouillon = std::make_unique<Plateau>();
    int lignes = 0;
    int colonnes = 0;
    std::string erreur;
    if (!lire_niveau(texte, *brouillon, lignes, colonnes, erreur)) {
        signaler_erreur("%s: not a valid level: %s\n", chemin.c_str(), erreur.c_str());
        return 1;
    }
    for (int i = 0; i < lignes; ++i) {
        for (int j = 0; j < colonnes; ++j) {
            plateau[i][j] = (*brouillon)[i][j];
        }
    }
    l = lignes;
    c = colonnes;
    return 0;
}

} // namespace korva
