#include "serveur/saisie.hpp"

#include "records/touches_jeu.hpp"

namespace korva::serveur {

namespace {

constexpr int ENTREE = '\r';
constexpr int SAUT = '\n';
constexpr int EFFACER = 0x7F;
constexpr int RETOUR_ARRIERE = 0x08;
constexpr int EFFACER_LIGNE = 0x15; // Ctrl-U
constexpr int FIN_DE_SAISIE = 0x04; // Ctrl-D
constexpr int IMPRIMABLE_MIN = 0x20;
constexpr int IMPRIMABLE_MAX = 0x7E;
constexpr int ECHAP = 0x1B;
// A control sequence ends at its first byte of this range.
constexpr int FINALE_MIN = 0x40;

// What follows Escape in a sequence the console did not know: none of it is typed text.
void sauter_sequence(Console& console, int delai_ms) {
    const int suivante = touche_du_hall(console, delai_ms);
    if (suivante != '[' && suivante != 'O') {
        return;
    }
    for (int touche = touche_du_hall(console, delai_ms);
         touche < FINALE_MIN || touche > IMPRIMABLE_MAX;
         touche = touche_du_hall(console, delai_ms)) {
    }
}

} // namespace

int touche_du_hall(Console& console, int delai_ms) {
    if (delai_ms < 0) {
        return console.lire_touche();
    }
    const std::optional<int> touche = console.touche_dans(delai_ms);
    if (!touche) {
        throw HallInactif{};
    }
    return *touche;
}

std::optional<std::string> saisir(Console& console, std::size_t longueur, bool cachee,
                                  int delai_ms) {
    std::string ligne;
    for (;;) {
        const int touche = touche_du_hall(console, delai_ms);
        if (touche == TOUCHE_PREFIXE) {
            touche_du_hall(console, delai_ms); // an arrow's own code: no part of a line
        } else if (touche == ECHAP) {
            sauter_sequence(console, delai_ms);
        } else if (touche == ENTREE || touche == SAUT) {
            console.ecrire("\n");
            return ligne;
        } else if (touche == FIN_DE_SAISIE && ligne.empty()) {
            console.ecrire("\n");
            return std::nullopt;
        } else if ((touche == EFFACER || touche == RETOUR_ARRIERE) && !ligne.empty()) {
            ligne.pop_back();
            console.ecrire(cachee ? "" : "\b \b");
        } else if (touche == EFFACER_LIGNE) {
            for (std::size_t i = 0; !cachee && i < ligne.size(); ++i) {
                console.ecrire("\b \b");
            }
            ligne.clear();
        } else if (touche >= IMPRIMABLE_MIN && touche <= IMPRIMABLE_MAX &&
                   ligne.size() < longueur) {
            ligne += static_cast<char>(touche);
            console.ecrire(cachee ? "" : std::string(1, static_cast<char>(touche)));
        }
    }
}

char choisir(Console& console, std::string_view touches, int delai_ms) {
    for (;;) {
        const int touche = touche_du_hall(console, delai_ms);
        if (touche > 0 && touche <= IMPRIMABLE_MAX &&
            touches.find(static_cast<char>(touche)) != std::string_view::npos) {
            return static_cast<char>(touche);
        }
        if (touche == TOUCHE_PREFIXE) {
            touche_du_hall(console, delai_ms);
        }
    }
}

} // namespace korva::serveur
