// What the terminal is sent, judged by libvterm: the keys it sends back, and the frames of
// differences that must leave it showing what the game drew.
#include "console/decodeur_touches.hpp"
#include "console/emetteur_ecran.hpp"
#include "console/terminfo_posix.hpp"
#include "console/traduction_terminal.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace korva {
namespace {

using test::CaseVue;
using test::DossierJeu;
using test::EcranVirtuel;
using namespace std::string_view_literals;

// Bytes as the terminal's reads bring them; an empty read stands for a wait that ran out.
TEST(DecodeurTouches, KeyCodesFromTerminalBytes) {
    const int P = TOUCHE_PREFIXE;
    const std::vector<std::pair<std::vector<std::string_view>, std::vector<int>>> cas = {
        {{"\x1b[A\x1b[B\x1b[C\x1b[D"}, {P, 72, P, 80, P, 77, P, 75}},
        {{"\x1bOA\x1bOB\x1bOC\x1bOD"}, {P, 72, P, 80, P, 77, P, 75}},
        {{"\x1b[1;5A\x1b[1;2D", "\x1b[", "B"}, {P, 72, P, 75, P, 80}},
        {{"HPKMq3 \n"}, {72, 80, 75, 77, 'q', '3', ' ', '\n'}},
        {{"\x1b", "", "y\x1b\x1b[C"}, {27, 'y', 27, P, 77}},
        {{"\x1b[2~\x1b[15~\x1bOP\x1b[1;5H\x1b[[A\x1bx\x1b[H", "z"}, {'z'}},
        {{"\x1b[1;", "", "a\x1b", ""}, {'a', 27}},
        {{"\xc3\xa9\xe2\x82\xac\xff"}, {0x82}}, // as code page 437, or nothing
    };
    for (const auto& [lectures, touches] : cas) {
        DecodeurTouches decodeur;
        std::vector<int> recues;
        for (const std::string_view lecture : lectures) {
            if (lecture.empty()) {
                decodeur.delai_ecoule();
            }
            for (const char octet : lecture) {
                decodeur.recevoir(static_cast<unsigned char>(octet));
            }
            while (decodeur.touche_prete()) {
                recues.push_back(decodeur.prendre());
            }
        }
        EXPECT_EQ(recues, touches) << testing::PrintToString(lectures);
    }
}

// The pseudo-terminal starts each line feed at the first column, as the game sets it: here the
// emulator's own newline mode does it.
constexpr std::string_view RETOUR_A_LA_LIGNE = "\x1b[20h";

Description decrite(const std::string& term, bool utf8 = true, bool couleurs = true) {
    std::string raison;
    return std::make_shared<const DescriptionTerminal>(
        decrire_terminal(term, utf8, couleurs, raison).value());
}

// A cell of the model as the terminal must show it.
CaseVue attendue(const Cellule& c) {
    const int a = c.attribut;
    return {glyphe_utf8(c), a < 0 ? -1 : a & 0xF, a < 0 ? -1 : a >> 4};
}

// Blanks show their background only.
bool pareilles(const CaseVue& a, const CaseVue& b) {
    return a.glyphe == b.glyphe && a.fond == b.fond && (a.glyphe == " " || a.texte == b.texte);
}

// The colours a terminal's entry allows, at the edges of what the game needs: with 16 colours or
// more, bright colours are sent as such; with 8 (and bold), as bold; fewer, none at all. A 16
// colour entry of the test's own, as Debian's base entries hold none.
TEST(DescriptionTerminal, BrightColoursAsTheTerminalHasThem) {
    DossierJeu dossier;
    dossier.ecrire("16.src", "korva-16color|xterm of 16 colours, use=xterm-256color, colors#16,\n");
    ASSERT_EQ(std::system("tic -x -o terminfo 16.src"), 0);
    ::setenv("TERMINFO", (dossier.racine() / "terminfo").c_str(), 1);
    for (const auto& [term, rouge_clair] : {std::pair{"korva-16color", "\x1b[91m"},
                                            {"xterm-256color", "\x1b[91m"},
                                            {"linux", "\x1b[31m\x1b[1m"}}) {
        SCOPED_TRACE(term);
        const Description d = decrite(term);
        EXPECT_TRUE(d->couleurs);
        EXPECT_EQ(d->texte[12], rouge_clair); // light red, the monsters' colour
        EXPECT_EQ(d->texte[4].find("31m"), d->texte[4].size() - 3); // dark red
    }
    ::unsetenv("TERMINFO");
    EXPECT_FALSE(decrite("vt100")->couleurs);
}

// Seeded random screens of the game's kinds of bytes and colours, names among them, on terminals
// of every kind: after each frame the terminal shows what the model holds, as a whole redraw
// shows it.
TEST(SortieEcran, TheTerminalShowsWhatTheModelHolds) {
    for (const auto& [term, utf8, couleurs] : {std::tuple{"xterm-256color", true, true},
                                               {"screen", false, true},
                                               {"linux", false, true},
                                               {"vt100", true, false}}) {
        SCOPED_TRACE(term);
        EcranVirtuel vue(CONSOLE_LIGNES, CONSOLE_COLONNES);
        const Description d = decrite(term, utf8, couleurs);
        vue.recevoir(RETOUR_A_LA_LIGNE);
        SortieEcran sortie([&](std::string_view trame) { vue.recevoir(trame); }, d);
        std::mt19937 hasard(2024);
        // The engine's numbers are the same everywhere; a distribution's are not.
        const auto tirage = [&](int n) {
            return static_cast<int>(hasard() % static_cast<unsigned>(n));
        };
        const std::string_view octets =
            "ab #+@*\0\x02\x0f\x14\x15\x18\x94\xbe\xe8\xb0\xba\xcd\n\n\t\b\r\a"sv;
        for (int ecran = 0; ecran < 100; ++ecran) {
            if (tirage(3) == 0) {
                sortie.effacer();
            }
            for (int morceau = tirage(12); morceau > 0; --morceau) {
                sortie.couleur(tirage(4) == 0 ? tirage(256) : tirage(16));
                std::string texte;
                for (int n = tirage(tirage(8) == 0 ? 400 : 40); n > 0; --n) {
                    texte +=
                        octets[static_cast<std::size_t>(tirage(static_cast<int>(octets.size())))];
                }
                tirage(6) == 0 ? sortie.ecrire_nom("\u0141\u20ac\x82") : sortie.ecrire(texte);
            }
            if (tirage(10) == 0) {
                sortie.oublier();
            }
            sortie.envoyer(tirage(5) == 0);
            EcranVirtuel entier(CONSOLE_LIGNES, CONSOLE_COLONNES);
            std::string trame;
            EmetteurEcran(d).emettre(sortie.modele(), trame);
            entier.recevoir(RETOUR_A_LA_LIGNE);
            entier.recevoir(trame);
            const bool xterm = std::string_view(term) == "xterm-256color";
            for (int l = 0; l < CONSOLE_LIGNES; ++l) {
                for (int c = 0; c < CONSOLE_COLONNES; ++c) {
                    ASSERT_TRUE(pareilles(vue.case_(l, c), entier.case_(l, c)))
                        << "screen " << ecran << ", cell " << l << "," << c;
                    // Where colours are 8 (bright text as bold), a bright background shows dark;
                    // glyphs off UTF-8 are checked elsewhere.
                    CaseVue voulue = attendue(sortie.modele().cellule(l, c));
                    voulue.glyphe = xterm ? voulue.glyphe : vue.case_(l, c).glyphe;
                    voulue.fond = xterm || voulue.fond < 0 ? voulue.fond : voulue.fond & 7;
                    ASSERT_TRUE(!couleurs || pareilles(vue.case_(l, c), voulue))
                        << "screen " << ecran << ", cell " << l << "," << c;
                }
            }
        }
    }
}

} // namespace
} // namespace korva
