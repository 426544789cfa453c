// Reading the POSIX terminal's input: single keys through the key decoder, typed lines, and
// waits that the screen can interrupt to be drawn again.
#pragma once

#include "console/decodeur_touches.hpp"

#include <functional>
#include <optional>
#include <string>

namespace korva {

// A line as the terminal gave it.
struct LigneTapee {
    std::string texte; // without its line feed
    bool entiere;      // ended by Enter rather than by the end of input
    std::string echo;  // what the terminal echoed of it on the screen
};

class EntreeTerminal {
public:
    // `terminal`: standard input is a terminal (it echoes lines, and keys typed ahead may be
    // dropped); `ecran`: the output is a screen, which the terminal echo writes on.
    EntreeTerminal(bool terminal, bool ecran) : terminal_(terminal), ecran_(ecran) {}

    // The next key code; nothing once the input has ended. `redessiner` runs when the screen
    // was disturbed during the wait.
    std::optional<int> touche(const std::function<void()>& redessiner);

    // The next typed line. Bytes read earlier in single-key mode were never echoed: they are
    // handed to `montrer_tape`, with `attente` true when the screen must show them before the
    // wait for the rest of the line, false once the line is complete.
    using MontrerTape = std::function<void(const std::string& tape, bool attente)>;
    LigneTapee ligne(const MontrerTape& montrer_tape);

    // Drops keys typed ahead (on a terminal only: a script's input is all meant to be read).
    void vider();

private:
    enum class Lecture { Octets, Delai, Fin };
    Lecture remplir(int delai, const std::function<void()>* redessiner);

    bool terminal_;
    bool ecran_;
    std::string entree_; // bytes read and not yet taken, shared by keys and lines
    std::size_t lu_ = 0;
    bool fin_entree_ = false;
    DecodeurTouches decodeur_;
};

} // namespace korva
