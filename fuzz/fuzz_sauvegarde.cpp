// Any text given to the save reader is either refused with a reason or a game that saves back
// to a text read the same way, and that text is the one the save writes again.
#include "files/sauvegarde.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static const auto premiere = std::make_unique<korva::PartieSauvee>();
    static const auto seconde = std::make_unique<korva::PartieSauvee>();
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    std::string erreur;
    if (!korva::lire_sauvegarde(texte, "Bob", *premiere, erreur)) {
        if (erreur.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    if (premiere->l < 1 || premiere->l > korva::TAILLE_PLATEAU || premiere->c < 1 ||
        premiere->c > korva::TAILLE_PLATEAU || premiere->sacoche[0].nbObjet < 0 ||
        premiere->sacoche[0].nbObjet > korva::OBJETS_MAX ||
        std::strcmp(premiere->perso.nom, "Bob") != 0) {
        __builtin_trap();
    }
    const std::string reecrit = korva::texte_sauvegarde(*premiere);
    if (!korva::lire_sauvegarde(reecrit, "Bob", *seconde, erreur) ||
        korva::texte_sauvegarde(*seconde) != reecrit) {
        __builtin_trap();
    }
    return 0;
}
