#include "files/registre_texte.hpp"

#include "files/lecture_texte.hpp"

#include <cstring>
#include <optional>

namespace korva {

namespace {

// Cuts the registry's text into words, keeping the line each word starts on for the reports.
class Mots {
public:
    explicit Mots(std::string_view texte) : texte_(texte) {}

    // The next word, empty at the end of the text.
    std::string_view suivant() {
        while (position_ < texte_.size() && est_blanc(texte_[position_])) {
            if (texte_[position_] == '\n') {
                ++ligne_;
            }
            ++position_;
        }
        const std::size_t debut = position_;
        while (position_ < texte_.size() && !est_blanc(texte_[position_])) {
            ++position_;
        }
        return texte_.substr(debut, position_ - debut);
    }
    int ligne() const { return ligne_; }

private:
    std::string_view texte_;
    std::size_t position_ = 0;
    int ligne_ = 1;
};

// Words are shown in reports cut short, so that a broken file cannot flood the error stream.
std::string extrait(std::string_view mot) {
    constexpr std::size_t LONGUEUR_EXTRAIT = 20;
    if (mot.size() <= LONGUEUR_EXTRAIT) {
        return std::string(mot);
    }
    return std::string(mot.substr(0, LONGUEUR_EXTRAIT)) + "...";
}

std::string_view pseudo_de(const sJoueur& j) {
    return std::string_view(j.pseudo, strnlen(j.pseudo, TAILLE_NOM));
}

} // namespace

std::string texte_du_registre(const std::vector<sJoueur>& joueurs) {
    std::string texte = std::to_string(joueurs.size()) + "\n";
    for (const sJoueur& j : joueurs) {
        texte.append(pseudo_de(j));
        texte += ' ';
        texte += std::to_string(j.score);
        texte += '\n';
    }
    return texte;
}

bool lire_registre(std::string_view texte, std::vector<sJoueur>& joueurs, std::string& erreur) {
    Mots mots(texte);
    const std::string_view mot_compte = mots.suivant();
    if (mot_compte.empty()) {
        erreur = "the player count is missing";
        return false;
    }
    const std::optional<int> compte = nombre_entier(mot_compte);
    if (!compte) {
        erreur = "the player count \"" + extrait(mot_compte) + "\" is not a number";
        return false;
    }
    if (*compte < 0) {
        erreur = "the player count is negative (" + std::to_string(*compte) + ")";
        return false;
    }
    std::vector<sJoueur> lus;
    for (int i = 0; i < *compte; ++i) {
        const std::string_view pseudo = mots.suivant();
        const int ligne = mots.ligne();
        if (pseudo.empty()) {
            erreur = "the count announces " + std::to_string(*compte) + " players but only " +
                     std::to_string(i) + " follow";
            return false;
        }
        if (pseudo.size() > static_cast<std::size_t>(LONGUEUR_NOM_MAX)) {
            erreur = "line " + std::to_string(ligne) + ": the name \"" + extrait(pseudo) +
                     "\" is longer than " + std::to_string(LONGUEUR_NOM_MAX) + " bytes";
            return false;
        }
        if (pseudo.find('\0') != std::string_view::npos) {
            erreur = "line " + std::to_string(ligne) + ": the name holds a NUL byte";
            return false;
        }
        const std::string_view mot_score = mots.suivant();
        if (mot_score.empty()) {
            erreur = "line " + std::to_string(ligne) + ": the score of " + std::string(pseudo) +
                     " is missing";
            return false;
        }
        const std::optional<int> score = nombre_entier(mot_score);
        if (!score) {
            erreur = "line " + std::to_string(mots.ligne()) + ": the score \"" +
                     extrait(mot_score) + "\" is not a number";
            return false;
        }
        sJoueur joueur{};
        copier_nom(joueur.pseudo, pseudo);
        joueur.score = *score;
        lus.push_back(joueur);
    }
    // Lines beyond the count would be dropped by the next rewrite.
    if (!mots.suivant().empty()) {
        erreur = "line " + std::to_string(mots.ligne()) + ": more lines follow than the count (" +
                 std::to_string(*compte) + ") announces";
        return false;
    }
    joueurs = std::move(lus);
    return true;
}

} // namespace korva
