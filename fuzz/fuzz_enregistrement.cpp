// Any text given to the recording reader, as a player may share one, is either refused with a
// reason or read whole, and what was read is written back as a recording that reads the same.
#include "files/enregistrement.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string texte_de(const korva::Enregistrement& e) {
    std::string texte = korva::texte_en_tete(e.en_tete);
    for (const korva::Evenement& evenement : e.evenements) {
        texte += korva::ligne_evenement(evenement);
    }
    return texte;
}

} // namespace

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
    const std::string ecrit = texte_de(lu);
    korva::Enregistrement relu;
    if (!korva::lire_enregistrement(ecrit, relu, erreur) || relu.evenements != lu.evenements ||
        texte_de(relu) != ecrit) {
        __builtin_trap();
    }
    return 0;
}
