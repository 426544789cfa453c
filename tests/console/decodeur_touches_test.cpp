#include "console/decodeur_touches.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korva {
namespace {

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
