// Any text given to the games log's reader is either refused or a line the game itself would
// write, byte for byte.
#include "files/journal_parties.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const std::string_view ligne(reinterpret_cast<const char*>(donnees), taille);
    const std::optional<korva::PartieFinie> partie = korva::lire_ligne_partie(ligne);
    if (partie && korva::ligne_partie(*partie) != std::string(ligne) + "\n") {
        __builtin_trap();
    }
    return 0;
}
