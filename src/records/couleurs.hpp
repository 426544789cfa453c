// Console colour indexes the game uses (bit 0 blue, bit 1 green, bit 2 red, bit 3 bright), kept
// at the bottom so that the table of cell kinds can name each kind's colour.
#pragma once

namespace korva {

inline constexpr int NOIR = 0;
inline constexpr int VERT_FONCE = 2;
inline constexpr int CYAN_FONCE = 3;
inline constexpr int ROUGE_FONCE = 4;
inline constexpr int MAGENTA_FONCE = 5;
inline constexpr int GRIS_CLAIR = 7;
inline constexpr int GRIS_FONCE = 8;
inline constexpr int BLEU_CLAIR = 9;
inline constexpr int ROUGE_CLAIR = 12;
inline constexpr int MAGENTA_CLAIR = 13;
inline constexpr int JAUNE = 14;
inline constexpr int BLANC = 15;

} // namespace korva
