// Any text given to the recording reader, as a player may share one, is either refused with a
// reason or read whole, and what was read is written back as a recording that reads the same.
#include "files/enregistrement.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    korva::Enregistrement lu;
    std::string erreur;
    if (!korva::lire_enregistrement(texte, lu, erreur)) {
        if (erreur.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const std::string ecrit = korva::texte_enregistrement(lu);
    korva::Enregistrement relu;
    if (!korva::lire_enregistrement(ecrit, relu, erreur) || relu.evenements != lu.evenements ||
        korva::texte_enregistrement(relu) != ecrit) {
        __builtin_trap();
    }
    return 0;
}
