// The games log: one line for every game, written by the game itself when it ends, saying how
// it ended. A server's games all go into one log (each account's folder links it), which the
// lobby and korva-web read for their lists; anyone's scoreboard may read it too.
//
// A line is fields separated by one tab, each `name=value`, in this order: account (left out
// where there is none), hero, class, outcome, level, score, gold, turns, start, end, recording.
// Values never hold a tab nor a line feed. Times are in UTC, as 2026-12-07T18:02:14Z.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace korva {

// The log, in the game's data folder.
inline constexpr const char* FICHIER_JOURNAL_PARTIES = "fichiers/parties.txt";
// The environment variable through which a server names the account a game is played for.
inline constexpr const char* VARIABLE_COMPTE = "KORVA_COMPTE";

// How a game ended, and its word in the log.
enum class IssuePartie {
    gagnee,     // "won": out of the last level forward
    tue,        // "killed": a fight lost, on the level the line gives
    empoisonne, // "potion": a potion brought a stat to 0
    sauvee,     // "saved": 'q' (or Ctrl-C), then 'Y'
    abandonnee, // "quit": 'q' (or Ctrl-C), then 'N'
    raccrochee, // "hangup": the terminal went away; the game was saved
    inactive,   // "idle": hung up by the server after its idle time; the game was saved
    erreur,     // "error": a file the game needed could not be read or written
};

struct PartieFinie {
    std::string compte; // empty: no server's account
    std::string heros;
    std::string classe; // warrior, magician, priest, crafty (MOTS_CLASSES), or unknown
    IssuePartie issue = IssuePartie::abandonnee;
    int niveau = 0; // 1 to 5
    int score = 0;
    int piecOr = 0;
    int tours = 0; // turns of the turn loop, an arrow counting two (its prefix, its code)
    std::time_t debut = 0;
    std::time_t fin = 0;
    std::string enregistrement; // the recording's file name, without its folder; empty: none
};

std::string_view mot_issue(IssuePartie issue);
std::optional<IssuePartie> issue_du_mot(std::string_view mot);

// The line of a game, its line feed included. An account that is no name a player's files could
// have is left out.
std::string ligne_partie(const PartieFinie& partie);
// The longest line the reader takes: twice the longest the game writes.
inline constexpr std::size_t LONGUEUR_LIGNE_PARTIE_MAX = 1024;

// A line of the log (without its line feed) read back; nothing when it is not one. The reader
// is strict: every field, by its name, in order (the account's alone may be missing); the
// account and the hero names a player's files could have; a class and an outcome of the game's
// words; whole numbers written as the game writes them, a level of 1 to 5 and turns of 0 or
// more; times as the game writes them; a recording's name with no folder, no blank, nothing
// beyond ASCII, not hidden. No longer than LONGUEUR_LIGNE_PARTIE_MAX.
std::optional<PartieFinie> lire_ligne_partie(std::string_view ligne);

// Adds the game's line to the log in one write, whole or not at all, however many games end at
// once; false (nothing written) when the log cannot be written.
bool noter_partie(const std::string& chemin, const PartieFinie& partie);

} // namespace korva
