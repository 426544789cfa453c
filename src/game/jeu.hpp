// Start-up, the main menu and the turn loop that plays one game.
#pragma once

#include "files/journal_parties.hpp"
#include "records/enregistrements.hpp"

#include <functional>

namespace korva {

// Title files echoed at start-up.
inline constexpr const char* FICHIER_IMAGE = "fichiers/presentation/image.txt";
inline constexpr const char* FICHIER_NOM = "fichiers/presentation/nom.txt";

// The size by which the level loader knows the start of the dungeon.
inline constexpr int LIGNES_PREMIER_NIVEAU = 20;
inline constexpr int COLONNES_PREMIER_NIVEAU = 50;

// Main menu answers.
inline constexpr int MENU_NOUVELLE_PARTIE = 1;
inline constexpr int MENU_CHARGER_PARTIE = 2;

// The game from start-up to quitting; never returns (the process ends through `terminer`).
[[noreturn]] void jeu_principal();

// Echoes both title files; 0 when both were shown, 1 when one could not be opened.
int chargement_illustration();

// Shows the main menu until '1', '2' or '3'; returns 1 or 2, quits the process on '3'.
int menu_principal();

// The game's version, which its recordings carry.
inline constexpr const char* VERSION_JEU = KORVA_VERSION;

// What stands by a game besides its player: the recording kept of it, or the recording it
// replays. Every part may be empty.
struct Temoin {
    // Around each save the game makes: before it, and with its result.
    std::function<void()> avant_sauvegarde;
    std::function<void(int resultat)> apres_sauvegarde;
    // A replay: the result the recording kept, given in place of the save, which writes nothing.
    std::function<int()> sauvegarde_rejouee;
    // The game has ended, as its line in the games log says (told once); a replay has none of
    // this, and writes nothing.
    std::function<void(PartieFinie&)> fin;
};

// Plays one game on the given board and bag; always returns 1 (back to the main menu). A hero
// made for this game (`heros_nouveau`) saves only over the file it wrote itself.
int deroulement_jeu(Plateau& plateau, int l, int c, sPerso monPersonnage, Sacoche& sacoche,
                    uneSerrure f, bool heros_nouveau = false, const Temoin* temoin = nullptr);

} // namespace korva
