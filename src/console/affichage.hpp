// The board view with its status block, and the help and victory screens.
#pragma once

#include "records/enregistrements.hpp"

#include <functional>

namespace korva {

// Console colour indexes the game uses.
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

// Glyphs, as code page 437 bytes.
inline constexpr char GLYPHE_HEROS = '\x02';
inline constexpr char GLYPHE_CLE = '\x14';
inline constexpr char GLYPHE_MONSTRE = '\x94';

// Draws the seen part of the level and the status block.
void affichage_plateau(const Plateau& plateau, int l, int c, sPerso p);

// The help screen: the legend of glyphs and the move keys.
void affichage_aide();

// The victory screen; runs `avant_attente` (when given) under it, then waits for a key and
// returns.
void fin_du_jeu(sPerso p, const std::function<void()>& avant_attente = nullptr);

} // namespace korva
