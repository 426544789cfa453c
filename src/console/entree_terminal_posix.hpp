// Reading the POSIX terminal's input: single keys through the key decoder, typed lines, and
// waits that the screen can interrupt to be drawn again.
#pragma once

#include "console/decodeur_touches.hpp"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korva {

class EntreeTerminal {
public:
    // Runs when the screen was disturbed during a wait (resized, resumed after a stop).
    using Redessiner = std::function<void()>;

    // The next key code; nothing once the input has ended.
    std::optional<int> touche(const Redessiner& redessiner);
    // The next key if one comes within `delai` milliseconds (-1: no end) and before `signe`, a
    // descriptor, has something to read (-1: none); nothing otherwise, nor once the input has
    // ended (`fini` tells which).
    std::optional<int> touche_dans(int delai, const Redessiner& redessiner, int signe = -1);

    // The next line, edited here while the terminal sends single keys: typed characters,
    // Backspace and Ctrl-U change it, other keys are left out. Each change goes to `echo` as
    // the text that shows it, as Console::ecrire_nom takes it; `montrer` runs before each wait for
    // a key and when the screen was disturbed, so that the prompt and the line typed so far are
    // always shown. Nothing when the input ends, or Ctrl-D is typed, before anything was typed
    // (`fini` tells which).
    using Echo = std::function<void(std::string_view)>;
    std::optional<std::string> ligne_editee(const Echo& echo, const Redessiner& montrer);

    // The input has ended: closed, or the terminal hung up.
    bool fini() const { return fin_entree_; }

    // Drops keys typed ahead.
    void vider();

    // Waits for the screen to be disturbed; keys typed meanwhile are read and dropped. False
    // once the input has ended.
    bool attendre_reveil();

private:
    enum class Lecture { Octets, Delai, Signe, Fin };
    Lecture remplir(int delai, const Redessiner* redessiner, int signe = -1);

    std::string entree_; // bytes read and not yet taken, shared by keys and lines
    std::size_t lu_ = 0;
    bool fin_entree_ = false;
    DecodeurTouches decodeur_;
};

} // namespace korva
