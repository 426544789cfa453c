#include "console/decodeur_touches.hpp"
#include "console/traduction_terminal.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korva {
namespace {

// Expected glyphs are spelt with universal character names, read alike by every compiler.
std::string en_octets(std::u8string_view texte) {
    return std::string(texte.begin(), texte.end());
}

TEST(TraductionTerminal, ConsoleColourIndexesAsAnsi) {
    // The console counts blue as bit 0 and red as bit 2: ANSI the other way round.
    const int textes[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};
    for (int index = 0; index < 16; ++index) {
        EXPECT_EQ(code_ansi_texte(index), textes[index]) << index;
        EXPECT_EQ(code_ansi_fond(index * 16), textes[index] + 10) << index;
    }
    EXPECT_EQ(sequence_couleur(12), "\x1b[91;40m");
    EXPECT_EQ(sequence_couleur(1 * 16 + 4), "\x1b[31;44m");
    EXPECT_EQ(sequence_couleur(15 * 16 + 6), "\x1b[33;107m");
    EXPECT_EQ(sequence_couleur(0x100 + 9), "\x1b[94;40m"); // bits above the attribute ignored
}

TEST(TraductionTerminal, CodePage437AsUtf8) {
    for (int octet = 0x20; octet < 0x7F; ++octet) {
        EXPECT_EQ(glyphe_utf8(static_cast<unsigned char>(octet)),
                  std::string(1, static_cast<char>(octet)));
    }
    // Bytes the Windows console draws as pictures, the blank of byte 0, the controls it obeys.
    const std::pair<unsigned char, std::u8string_view> attendus[] = {
        {0x00, u8" "},      {0x02, u8"\u263b"}, {0x0F, u8"\u263c"}, {0x14, u8"\u00b6"},
        {0x15, u8"\u00a7"}, {0x18, u8"\u2191"}, {0x19, u8"\u2193"}, {0x1A, u8"\u2192"},
        {0x1B, u8"\u2190"}, {0x7F, u8"\u2302"}, {0x0A, u8"\n"},     {0x0D, u8"\r"},
        {0xB0, u8"\u2591"}, {0xC9, u8"\u2554"}, {0xDB, u8"\u2588"}, {0x80, u8"\u00c7"},
        {0x94, u8"\u00f6"}, {0xAA, u8"\u00ac"}, {0xBE, u8"\u255b"}, {0xE8, u8"\u03a6"},
        {0xED, u8"\u03c6"}, {0xFF, u8"\u00a0"},
    };
    for (const auto& [octet, glyphe] : attendus) {
        EXPECT_EQ(glyphe_utf8(octet), en_octets(glyphe)) << static_cast<int>(octet);
    }
    EXPECT_EQ(octet_cp437(U'\u00e9'), 0x82);
    EXPECT_EQ(octet_cp437(U'\u255b'), 0xBE);
    EXPECT_EQ(octet_cp437(U'\u20ac'), -1);
    EXPECT_EQ(octet_cp437(U'a'), -1);
}

// What a read brings the decoder: bytes, or one of these two events.
constexpr const char* DELAI = "<timeout>";
constexpr const char* FIN = "<end>";

struct Cas {
    const char* nom;
    std::vector<std::string> lectures;
    std::vector<int> touches;
};

TEST(DecodeurTouches, KeyCodesFromTerminalBytes) {
    const int P = TOUCHE_PREFIXE;
    const std::vector<Cas> cas = {
        {"arrows, CSI form", {"\x1b[A\x1b[B\x1b[C\x1b[D"}, {P, 72, P, 80, P, 77, P, 75}},
        {"arrows, SS3 form", {"\x1bOA\x1bOB\x1bOC\x1bOD"}, {P, 72, P, 80, P, 77, P, 75}},
        {"arrows with modifiers", {"\x1b[1;5A\x1b[1;2D\x1b[1;3B"}, {P, 72, P, 75, P, 80}},
        {"arrow split across two reads", {"\x1b[", "C"}, {P, 77}},
        {"letters are themselves, H P K M read as the arrows' codes",
         {"HPKMq3 \n"},
         {72, 80, 75, 77, 'q', '3', ' ', '\n'}},
        {"lone Escape after a timeout", {"\x1b", DELAI, "y"}, {27, 'y'}},
        {"Escape twice, then an arrow", {"\x1b\x1b[A"}, {27, P, 72}},
        {"function keys, Insert, Home, Alt+letter swallowed whole",
         {"\x1b[2~\x1b[15~\x1bOP\x1b[1;5H\x1b[[A\x1bx\x1b[H", "z"},
         {'z'}},
        {"a sequence cut by a timeout is dropped", {"\x1b[1;", DELAI, "a"}, {'a'}},
        {"a sequence broken by a control byte gives that byte", {"\x1b[1\n"}, {'\n'}},
        {"end of input after Escape", {"\x1b", FIN}, {27}},
        {"end of input inside a sequence", {"\x1b[", FIN}, {}},
        {"keys typed beyond ASCII as code page 437", {"\xc3\xa9", "\xc3", "\xb6"}, {0x82, 0x94}},
        {"characters code page 437 lacks, stray bytes",
         {"\xe2\x82\xac\x80\xff"
          "b"},
         {'b'}},
    };
    for (const Cas& c : cas) {
        DecodeurTouches decodeur;
        std::vector<int> recues;
        for (const std::string& lecture : c.lectures) {
            if (lecture == DELAI) {
                decodeur.delai_ecoule();
            } else if (lecture == FIN) {
                decodeur.fin_entree();
            } else {
                for (const char octet : lecture) {
                    decodeur.recevoir(static_cast<unsigned char>(octet));
                }
            }
            while (decodeur.touche_prete()) {
                recues.push_back(decodeur.prendre());
            }
        }
        EXPECT_EQ(recues, c.touches) << c.nom;
        EXPECT_FALSE(decodeur.sequence_en_cours()) << c.nom;
    }

    DecodeurTouches decodeur;
    for (const char octet : std::string("\x1b[A\x1b[")) {
        decodeur.recevoir(static_cast<unsigned char>(octet));
    }
    EXPECT_TRUE(decodeur.sequence_en_cours());
    decodeur.oublier();
    EXPECT_FALSE(decodeur.touche_prete());
    EXPECT_FALSE(decodeur.sequence_en_cours());
}

} // namespace
} // namespace korva
