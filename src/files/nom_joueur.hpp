// The rule a player's name must follow: the name becomes the name of the save file, so it must
// be a file name of its own on every system the game runs on.
#pragma once

#include <string>
#include <string_view>

namespace korva {

// The name a player's save file would share with the registry.
inline constexpr std::string_view NOM_REGISTRE = "joueurs";

// Whether `nom` may name a player's files: one word of 1 to 49 bytes as typed (a letter beyond
// ASCII takes two or more), no path separator, no control character, neither "." nor "..", and
// not the registry's own name in any letter case, since the name becomes a file name. False
// with `raison` saying why.
bool nom_valide(std::string_view nom, std::string& raison);

// Two names equal when letter case is ignored (ASCII letters only).
bool egal_sans_casse(std::string_view a, std::string_view b);

} // namespace korva
