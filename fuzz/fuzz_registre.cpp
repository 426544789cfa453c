// Any text given to the registry reader is either refused with a reason or a list of players
// whose names fit their field.
#include "characters/registre.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    std::vector<korva::sJoueur> joueurs;
    std::string erreur;
    if (!korva::lire_registre(texte, joueurs, erreur)) {
        if (erreur.empty() || !joueurs.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    for (const korva::sJoueur& joueur : joueurs) {
        if (::strnlen(joueur.pseudo, korva::TAILLE_NOM) > korva::LONGUEUR_NOM_MAX) {
            __builtin_trap();
        }
    }
    return 0;
}
