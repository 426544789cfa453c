#include "console/traduction_terminal.hpp"

#include <gtest/gtest.h>

#include <string>

namespace korva {
namespace {

TEST(TraductionTerminal, ConsoleColourIndexesAsAnsi) {
    // The console counts blue as bit 0 and red as bit 2: ANSI the other way round.
    const int textes[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};
    for (int index = 0; index < 16; ++index) {
        EXPECT_EQ(code_ansi_texte(index), textes[index]) << index;
        EXPECT_EQ(code_ansi_fond(index * 16), textes[index] + 10) << index;
    }
    EXPECT_EQ(sequence_couleur(15), "\x1b[97;40m");
    EXPECT_EQ(sequence_couleur(12), "\x1b[91;40m");
    EXPECT_EQ(sequence_couleur(1 * 16 + 4), "\x1b[31;44m");
    EXPECT_EQ(sequence_couleur(8 * 16 + 14), "\x1b[93;100m");
    EXPECT_EQ(sequence_couleur(15 * 16 + 6), "\x1b[33;107m");
    EXPECT_EQ(sequence_couleur(0x100 + 9), "\x1b[94;40m"); // bits above the attribute ignored
}

TEST(TraductionTerminal, CodePage437AsUtf8) {
    for (int octet = 0x20; octet < 0x7F; ++octet) {
        EXPECT_EQ(glyphe_utf8(static_cast<unsigned char>(octet)),
                  std::string(1, static_cast<char>(octet)));
    }
    // Bytes the Windows console draws as pictures, the blank of byte 0, the controls it obeys.
    const std::pair<unsigned char, const char*> attendus[] = {
        {0x00, " "}, {0x01, "☺"},  {0x02, "☻"},  {0x0F, "☼"},  {0x14, "¶"},  {0x15, "§"},
        {0x18, "↑"}, {0x19, "↓"},  {0x1A, "→"},  {0x1B, "←"},  {0x1E, "▲"},  {0x1F, "▼"},
        {0x7F, "⌂"}, {0x07, "\a"}, {0x08, "\b"}, {0x09, "\t"}, {0x0A, "\n"}, {0x0D, "\r"},
        {0xB3, "│"}, {0xBA, "║"},  {0xBB, "╗"},  {0xBC, "╝"},  {0xC4, "─"},  {0xC8, "╚"},
        {0xC9, "╔"}, {0xCD, "═"},  {0xD1, "╤"},  {0xDA, "┌"},  {0xB0, "░"},  {0xB1, "▒"},
        {0xB2, "▓"}, {0xDB, "█"},  {0x80, "Ç"},  {0x82, "é"},  {0x94, "ö"},  {0xAA, "¬"},
        {0xBE, "╛"}, {0xE0, "α"},  {0xE8, "Φ"},  {0xED, "φ"},  {0xFE, "■"},  {0xFF, "\u00a0"},
    };
    for (const auto& [octet, glyphe] : attendus) {
        EXPECT_EQ(glyphe_utf8(octet), glyphe) << static_cast<int>(octet);
    }
    EXPECT_EQ(octet_cp437(U'é'), 0x82);
    EXPECT_EQ(octet_cp437(U'╛'), 0xBE);
    EXPECT_EQ(octet_cp437(U'€'), -1);
    EXPECT_EQ(octet_cp437(U'a'), -1);
}

} // namespace
} // namespace korva
