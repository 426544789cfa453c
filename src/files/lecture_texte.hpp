// Reading the game's text files as formatted input reads them: white space skipped between
// fields, whole numbers with an optional sign, words up to the next white space. Numbers beyond
// 32 bits are refused rather than wrapped.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace korva {

bool est_blanc(char octet);

void sauter_blancs(std::string_view texte, std::size_t& position);

// A whole number as "%d" reads it: blanks first, a sign, then digits.
bool lire_nombre(std::string_view texte, std::size_t& position, int& valeur);

// A word as "%s" reads it: blanks first, then everything up to the next blank. Empty at the
// end of the text.
std::string_view lire_mot(std::string_view texte, std::size_t& position);

// A whole word as a number: an optional sign, digits, and nothing else.
std::optional<int> nombre_entier(std::string_view mot);

} // namespace korva
