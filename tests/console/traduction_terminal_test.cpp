// How each code page 437 byte shows on a terminal, entry by entry (tests/console/glyphes.txt): in
// UTF-8, in plain ASCII where the locale is not UTF-8, and through the terminal's line-drawing
// set where that holds it.
#include "console/traduction_terminal.hpp"
#include "support/dore.hpp"

#include <gtest/gtest.h>

#include <cstdio>

namespace korva::test {
namespace {

TEST(TraductionTerminal, EveryByteAsEachTerminalShowsIt) {
    std::string texte = "# byte: UTF-8, plain ASCII, line drawing ('-' where it has none)\n";
    for (int octet = 0; octet < 256; ++octet) {
        const auto o = static_cast<unsigned char>(octet);
        char ligne[64];
        std::snprintf(ligne, sizeof ligne, "%02x: ", octet);
        const std::string_view utf8 = glyphe_utf8(o);
        const char trace = trace_cp437(o);
        texte += ligne +
                 (utf8.size() == 1 && static_cast<unsigned char>(utf8[0]) < 0x20
                      ? std::string("(control)")
                      : std::string(utf8)) +
                 " " + std::string(1, ascii_cp437(o)) + " " +
                 (trace ? std::string(1, trace) : "-") + "\n";
    }
    comparer_au_fichier(std::string(KORVA_TESTS) + "/console/glyphes.txt", texte);
}

} // namespace
} // namespace korva::test
