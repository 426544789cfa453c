// Any text given to the save reader is either refused with a reason or a game that saves back
// to a text read the same way, and that text is the one the save writes again.
#include "files/sauvegarde.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

struct Partie {
    korva::Plateau plateau;
    korva::Sacoche sacoche;
    korva::sPerso p;
    int l;
    int c;
};

bool lire(std::string_view texte, Partie& partie, std::string& erreur) {
    return korva::lire_sauvegarde(texte, "Bob", partie.plateau, partie.l, partie.c, partie.p,
                                  partie.sacoche, erreur);
}

std::string ecrire(const Partie& partie) {
    return korva::texte_sauvegarde(partie.plateau, partie.l, partie.c, partie.p, partie.sacoche);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static const auto premiere = std::make_unique<Partie>();
    static const auto seconde = std::make_unique<Partie>();
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    std::string erreur;
    if (!lire(texte, *premiere, erreur)) {
        if (erreur.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    if (premiere->l < 1 || premiere->l > korva::TAILLE_PLATEAU || premiere->c < 1 ||
        premiere->c > korva::TAILLE_PLATEAU || premiere->sacoche[0].nbObjet < 0 ||
        premiere->sacoche[0].nbObjet > korva::OBJETS_MAX ||
        std::strcmp(premiere->p.nom, "Bob") != 0) {
        __builtin_trap();
    }
    const std::string reecrit = ecrire(*premiere);
    if (!lire(reecrit, *seconde, erreur) || ecrire(*seconde) != reecrit) {
        __builtin_trap();
    }
    return 0;
}
