// Every console operation the game needs, behind one interface. The game never touches the
// terminal itself: the terminal backend implements this for real, tests use a scripted console.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Lets the compiler check printf-style calls; MinGW's formatted output is the C99 one.
#if defined(__MINGW32__)
#define KORVA_FORMAT_PRINTF(position_format, premier_argument)                                     \
    __attribute__((format(gnu_printf, position_format, premier_argument)))
#elif defined(__GNUC__) || defined(__clang__)
#define KORVA_FORMAT_PRINTF(position_format, premier_argument)                                     \
    __attribute__((format(printf, position_format, premier_argument)))
#else
#define KORVA_FORMAT_PRINTF(position_format, premier_argument)
#endif

namespace korva {

// The console the game expects: the screen's size and the window title.
inline constexpr int CONSOLE_LIGNES = 50;
inline constexpr int CONSOLE_COLONNES = 110;
inline constexpr const char* TITRE_JEU = "KORVA !!!";
inline constexpr int UNE_SECONDE = 1000; // timed messages stay this many milliseconds
inline constexpr std::string_view INVITE_DE_PAUSE = "Press any key to continue . . . ";

// What cuts a game in progress short from outside it.
enum class Interruption {
    ctrl_c,         // the player pressed Ctrl-C
    terminal_perdu, // the terminal went away (a hang-up, the input's end, a server's hang-up
                    // for idleness) or the system is ending the process (SIGTERM; on Windows
                    // the window closed, a logoff, a shutdown)
};

// Thrown out of a wait (a key, a line, a pause, a sleep) while a game is kept: the turn loop
// catches it, so that the game in progress is offered a save, or saved, before anything ends.
struct PartieInterrompue {
    Interruption cause;
    // The terminal lost: the status the process ends with once the game is saved.
    int statut = 0;
    // The terminal lost because the server hung the game up after its idle time.
    bool inactive = false;
};

class Console {
public:
    virtual ~Console() = default;

    // Game output: code page 437 bytes, line feeds start the next line at its first column.
    virtual void ecrire(std::string_view octets) = 0;
    // A player's name as typed: UTF-8, or the bytes of a name saved elsewhere. Its ASCII goes
    // as `ecrire` takes it; any other character shows as itself where the terminal can show
    // it, as '?' elsewhere (so does a byte that is no part of a UTF-8 character).
    virtual void ecrire_nom(std::string_view nom) = 0;
    // Error reports, to the error stream; they may name a player's file, as `ecrire_nom` shows.
    virtual void ecrire_erreur(std::string_view texte) = 0;
    // Clears the screen; the next output starts at the top-left corner.
    virtual void effacer() = 0;
    // Shows a prompt on a line of its own and waits for one key, which no later read sees.
    virtual void pause() = 0;
    // Asks for a screen of `lignes` lines by `colonnes` columns.
    virtual void redimensionner(int lignes, int colonnes) = 0;
    virtual void titre(std::string_view texte) = 0;
    // Text attribute as the game counts it: background * 16 + text colour, indexes 0 to 15.
    virtual void couleur(int attribut) = 0;
    // One key, no echo, no Enter. Arrows give TOUCHE_PREFIXE, then their code at the next read.
    // Reads never report the end of input: the console ends the game there, since no loop that
    // waits for a valid key could ever be answered.
    virtual int lire_touche() = 0;
    // One typed line, echoed, without its line feed.
    virtual std::string lire_ligne() = 0;
    // Drops keys typed ahead and not read yet.
    virtual void vider_entree() = 0;
    virtual void dormir(int millisecondes) = 0;
    // Puts the terminal back as it was, then ends the process with `statut`.
    [[noreturn]] virtual void terminer(int statut) = 0;

    // From the first board of a game until its turn loop returns. While kept, Ctrl-C and the
    // terminal going away no longer end the process: the wait under way, or the next one, throws
    // PartieInterrompue (once for each Ctrl-C; for a terminal lost, every wait from then on,
    // until `terminer`, which then ends the process as the signal would have). Ctrl-D on an
    // empty typed line is then an empty line, not the end. Consoles that nothing interrupts need
    // nothing here.
    virtual void garder_partie(bool gardee) { static_cast<void>(gardee); }

    // A key if one comes within `millisecondes`, nothing otherwise (a replay's controls between
    // its steps). A console that cannot wait for a key that way only waits.
    virtual std::optional<int> touche_dans(int millisecondes) {
        dormir(millisecondes);
        return std::nullopt;
    }
    // As touche_dans, and nothing as soon as `signe`, a descriptor of the system, has something
    // to read (a recording that grows, for a replay that follows it; -1 for none, and
    // `millisecondes` -1 for no end). A console that cannot wait on one waits out the time.
    virtual std::optional<int> touche_ou_signe(int millisecondes, int signe) {
        static_cast<void>(signe);
        return touche_dans(millisecondes);
    }
};

// The one accessor through which the game reaches its console.
Console& console();
// Makes `c` the console of the game; returns the one it replaces (may be null).
Console* installer_console(Console* c);

// Ends the process through the console, which restores the terminal first.
[[noreturn]] void terminer(int statut);

// printf-style output to the console.
void afficher(const char* format, ...) KORVA_FORMAT_PRINTF(1, 2);
// Writes the text followed by one line feed, as puts does.
void afficher_ligne(std::string_view texte);
// The error report of perror: the path, a colon, a blank and the system's reason.
void signaler(std::string_view chemin, int numero_erreur);
// printf-style output to the error stream.
void signaler_erreur(const char* format, ...) KORVA_FORMAT_PRINTF(1, 2);

// Sets the colour of all later output (text colour and background, indexes 0 to 15).
void Color(int couleurDuTexte, int couleurDeFond);

// Takes a typed line as a whole number; nothing when the line holds anything else.
std::optional<int> entier_depuis(std::string_view ligne);
// Reads a typed line and takes it as a whole number.
std::optional<int> lire_entier();

} // namespace korva
