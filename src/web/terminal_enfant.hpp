// A program run on a pseudo-terminal of its own, as a terminal's window would run it: the
// lobby for a player's page, or a live watch for a watcher's.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace korva::web {

// The sizes a page may ask for, clamped to what the terminal's own record holds and the game
// can draw on: from one cell to well past any window.
inline constexpr int TAILLE_MIN = 1;
inline constexpr int LIGNES_MAX = 500;
inline constexpr int COLONNES_MAX = 1000;

struct Taille {
    int lignes;
    int colonnes;
};
Taille bornee(long lignes, long colonnes);

struct Enfant {
    pid_t pid;
    int maitre; // the terminal's side the service reads and writes, non-blocking
};

// Starts `commande` in `dossier` on a new pseudo-terminal of size `taille`, with `environnement`
// (NAME=value) as its whole environment; nothing when no terminal or process could be had.
std::optional<Enfant> lancer_sur_terminal(const std::vector<std::string>& commande,
                                          const std::vector<std::string>& environnement,
                                          const std::string& dossier, Taille taille);

void redimensionner(int maitre, Taille taille);

// The terminal hung up: the program gets SIGHUP, as on a lost connection, and a game under way
// is saved. Its end is collected with every child's (recolter).
void raccrocher(const Enfant& enfant);

// Collects every child that has ended, so that none stays a zombie.
void recolter();

} // namespace korva::web
