// Reading the POSIX terminal's input: single keys through the key decoder, typed lines, and
// waits that the screen can interrupt to be drawn again.
#pragma once

#include "console/decodeur_touches.hpp"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korva {

// A line as the terminal gave it.
struct LigneTapee {
    std::string texte; // without its line feed
    bool entiere;      // ended by Enter rather than by the end of input
};

class EntreeTerminal {
public:
    // `terminal`: standard input is a terminal (keys typed ahead may be dropped).
    explicit EntreeTerminal(bool terminal) : terminal_(terminal) {}

    // Runs when the screen was disturbed during a wait (resized, resumed after a stop).
    using Redessiner = std::function<void()>;

    // The next key code; nothing once the input has ended.
    std::optional<int> touche(const Redessiner& redessiner);

    // The next line, edited here while the terminal sends single keys: typed characters,
    // Backspace and Ctrl-U change it, other keys are left out. Each change goes to `echo` as
    // the code page 437 bytes that show it; `montrer` runs before each wait for a key and when
    // the screen was disturbed, so that the prompt and the line typed so far are always shown.
    // Nothing when the input ends, or Ctrl-D is typed, before anything was typed.
    using Echo = std::function<void(std::string_view)>;
    std::optional<std::string> ligne_editee(const Echo& echo, const Redessiner& montrer);

    // The next line, as the terminal (or a script) sends it whole. Bytes read earlier in
    // single-key mode were never echoed: they are handed to `montrer_tape`, with `attente`
    // true when they must be shown before the wait for the rest of the line.
    using MontrerTape = std::function<void(const std::string& tape, bool attente)>;
    LigneTapee ligne(const MontrerTape& montrer_tape);

    // Drops keys typed ahead (on a terminal only: a script's input is all meant to be read).
    void vider();

    // Waits for the screen to be disturbed; keys typed meanwhile are read and dropped. False
    // once the input has ended.
    bool attendre_reveil();

private:
    enum class Lecture { Octets, Delai, Fin };
    Lecture remplir(int delai, const Redessiner* redessiner);

    bool terminal_;
    std::string entree_; // bytes read and not yet taken, shared by keys and lines
    std::size_t lu_ = 0;
    bool fin_entree_ = false;
    DecodeurTouches decodeur_;
};

} // namespace korva
