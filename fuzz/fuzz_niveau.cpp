// Any text given to the level reader is either a playable board or a refusal with a reason.
#include "files/niveaux.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static const auto plateau = std::make_unique<korva::Plateau>();
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    int l = -1;
    int c = -1;
    std::size_t fin = 0;
    std::string erreur;
    if (korva::lire_niveau(texte, *plateau, l, c, erreur, &fin)) {
        if (l < 1 || l > korva::TAILLE_PLATEAU || c < 1 || c > korva::TAILLE_PLATEAU ||
            fin > taille || korva::compter_heros(*plateau, l, c) != 1) {
            __builtin_trap();
        }
    } else if (erreur.empty()) {
        __builtin_trap();
    }
    return 0;
}
