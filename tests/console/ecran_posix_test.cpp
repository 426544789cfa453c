// What the terminal is sent, judged by libvterm: the keys it sends back, and the frames of
// differences that must leave it showing what the game drew.
#include "console/decodeur_touches.hpp"
#include "console/emetteur_ecran.hpp"
#include "console/terminfo_posix.hpp"
#include "console/traduction_terminal.hpp"
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

#include <vterm.h>

namespace korva {
namespace {

using test::CaseVue;
using test::DossierJeu;
using test::EcranVirtuel;
using namespace std::string_view_literals;

// Bytes as the terminal's reads bring them (tests/console/touches.txt), to the key codes.
TEST(DecodeurTouches, KeyCodesFromTerminalBytes) {
    std::istringstream table(test::lire_tout(KORVA_TESTS "/console/touches.txt"));
    int cas = 0;
    for (std::string ligne; std::getline(table, ligne);) {
        const std::size_t fleche = ligne.find(" => ");
        if (ligne.starts_with('#') || fleche == std::string::npos) {
            continue;
        }
        ++cas;
        DecodeurTouches decodeur;
        std::string recues;
        std::istringstream lectures(ligne.substr(0, fleche));
        for (std::string lecture; lectures >> lecture;) {
            if (lecture == "(wait)") {
                decodeur.delai_ecoule();
                lecture.clear();
            }
            for (const char octet : test::octets_de(lecture)) {
                decodeur.recevoir(static_cast<unsigned char>(octet));
            }
            while (decodeur.touche_prete()) {
                recues += (recues.empty() ? "" : " ") + std::to_string(decodeur.prendre());
            }
        }
        EXPECT_EQ(recues, ligne.substr(fleche + 4)) << ligne;
    }
    EXPECT_GT(cas, 0);
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

// Each branch a terminal's entry takes the description down, in entries of the test's own
// (Debian's base entries hold few of them): the colours at the edges of what the game needs
// (with 16 or more, bright colours sent as such; with 8 and bold, as bold; with 8 and no bold,
// dark; with no background, none), the line-drawing set only with a way in and out of it, the
// corner and the first column by their own strings or by the cursor's address, moves by the
// shorter of a move of n and n moves of one (never a line feed), erasing cells, a title line.
TEST(DescriptionTerminal, EveryBranchOfAnEntry) {
    DossierJeu dossier;
    dossier.ecrire("k.src", "korva-16color|16 colours, use=xterm-256color, colors#16,\n"
                            "korva-8nobold|8 colours without bold, use=linux, bold@,\n"
                            "korva-nosetab|no background, use=linux, setab@,\n"
                            "korva-noacs|line drawing, no way in, use=vt100, smacs@, rmacs@,\n"
                            "korva-bare|no home nor cr, moves of one, a title line, use=vt100, "
                            "home@, cr@, cuu@, cub1@, ech=\\E[%p1%dX, tsl=\\E]2;, fsl=^G,\n");
    ASSERT_EQ(std::system("tic -x -o terminfo k.src"), 0);
    ::setenv("TERMINFO", (dossier.racine() / "terminfo").c_str(), 1);
    for (const auto& [term, rouge_clair] : {std::pair{"korva-16color", "\x1b[91m"},
                                            {"xterm-256color", "\x1b[91m"},
                                            {"linux", "\x1b[31m\x1b[1m"},
                                            {"korva-8nobold", "\x1b[31m"},
                                            {"korva-nosetab", ""},
                                            {"vt100", ""}}) {
        SCOPED_TRACE(term);
        const Description d = decrite(term);
        EXPECT_EQ(d->couleurs, *rouge_clair != '\0');
        EXPECT_EQ(d->texte[12], rouge_clair); // light red, the monsters' colour
        EXPECT_EQ(d->texte[4].find("31m"),
                  d->couleurs ? d->texte[4].size() - 3 : std::string::npos);
    }
    const Description vt100 = decrite("vt100", false), noacs = decrite("korva-noacs", false),
                      bare = decrite("korva-bare", false);
    EXPECT_EQ(vt100->glyphes[0xBA].texte + noacs->glyphes[0xBA].texte + bare->glyphes[0xBA].texte,
              "x|x");
    EXPECT_EQ(noacs->entrer_traces + noacs->sortir_traces, "");
    EXPECT_EQ(vt100->adresses[0] + vt100->retour + vt100->titre_debut, "\x1b[H\r");
    EXPECT_EQ(bare->adresses[0] + bare->retour + bare->titre_debut + bare->titre_fin,
              "\x1b[1;1H\r\x1b]2;\x07");
    EXPECT_EQ(vt100->haut[1] + "|" + vt100->haut[2] + "|" + vt100->bas[1],
              "\x1b[A|\x1b[2A|\x1b[1B");
    EXPECT_EQ(bare->haut[2] + "|" + bare->gauche[1], "\x1b[A\x1b[A|\x1b[1D");
    EXPECT_EQ(vt100->effacer_cellules.size() + bare->effacer_cellules.size(), 111u);
    EXPECT_EQ(bare->effacer_cellules[3], "\x1b[3X");
    ::unsetenv("TERMINFO");
}

// Seeded random screens of the game's kinds of bytes and colours, names among them, on every kind
// of terminal and setting: after each frame the terminal shows what the model holds, as a whole
// redraw shows it, its cursor at the model's, and has rung each bell the game wrote. Before each
// whole redraw the terminal goes through what that way of redrawing brings it: after Ctrl-Z and
// `fg`, whatever the shell left (its text, its line-drawing set, another colour); after a
// resize, the notice of a terminal too small; a report, which must find the terminal in the
// model's colour and out of its line-drawing set.
TEST(SortieEcran, TheTerminalShowsWhatTheModelHolds) {
    for (int k = 0; k < 16; ++k) {
        const std::string term = std::array{"xterm-256color", "screen", "linux", "vt100"}[k / 4];
        const bool utf8 = k % 2 == 0, couleurs = k % 4 < 2;
        SCOPED_TRACE(term + (utf8 ? " UTF-8" : " C") + (couleurs ? "" : " NO_COLOR"));
        EcranVirtuel vue(CONSOLE_LIGNES, CONSOLE_COLONNES);
        const Description d = decrite(term, utf8, couleurs);
        // As the game takes the terminal: its line-drawing set made ready where it has one.
        const std::string prise = std::string(RETOUR_A_LA_LIGNE) + d->prendre_ecran;
        vue.recevoir(prise);
        SortieEcran sortie([&](std::string_view trame) { vue.recevoir(trame); }, d);
        std::mt19937 hasard(2024);
        int sonneries = 0; // each bell written rings once, and no other byte rings
        // The engine's numbers are the same everywhere; a distribution's are not.
        const auto tirage = [&](int n) {
            return static_cast<int>(hasard() % static_cast<unsigned>(n));
        };
        // A cell as the terminal must show it, but for glyphs off UTF-8 (checked elsewhere),
        // colours where none are sent, and where colours are 8 (bright text as bold), a bright
        // background, which shows dark.
        const auto voulue = [&](const Cellule& c, const CaseVue& montree) {
            CaseVue v = attendue(c);
            v.glyphe = utf8 ? v.glyphe : montree.glyphe;
            v.fond = term == "xterm-256color" || v.fond < 0 ? v.fond : v.fond & 7;
            return d->couleurs ? v : CaseVue{v.glyphe, montree.texte, montree.fond};
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
                texte = tirage(6) == 0 ? "\u0141\u20ac\x82" : texte;
                texte.starts_with("\u0141") ? sortie.ecrire_nom(texte) : sortie.ecrire(texte);
                sonneries += static_cast<int>(std::count(texte.begin(), texte.end(), '\a'));
            }
            const int ligne = sortie.modele().ligne(), colonne = sortie.modele().colonne();
            const int facon = tirage(10) == 0 ? tirage(3) : -1;
            if (facon == 0) { // Ctrl-Z, then `fg`
                vue.recevoir("\r\n[1]+  Stopped\r\n$ fg\r\n" + d->entrer_traces +
                             EmetteurEcran(d).sequence_couleur(0x5D));
            } else if (facon == 1) { // a resize, through the notice
                vue.recevoir((d->couleurs ? d->origine : "") + d->sortir_traces + d->effacer_ecran +
                             "KORVA needs a terminal of at least");
            } else if (facon == 2 && colonne < CONSOLE_COLONNES) { // a report
                sortie.envoyer(true);
                vue.recevoir("q");
                sortie.ecrire("q");
                const CaseVue q = vue.case_(ligne, colonne);
                const CaseVue voulu = voulue(sortie.modele().cellule(ligne, colonne), q);
                ASSERT_TRUE(q.glyphe == "q" && pareilles(q, voulu)) << "screen " << ecran;
            }
            if (facon >= 0) {
                sortie.oublier();
            }
            sortie.envoyer(tirage(5) == 0);
            ASSERT_EQ(vue.sonneries, sonneries);
            EcranVirtuel entier(CONSOLE_LIGNES, CONSOLE_COLONNES);
            std::string trame;
            EmetteurEcran(d).emettre(sortie.modele(), trame);
            entier.recevoir(prise);
            entier.recevoir(trame);
            for (int l = 0; l < CONSOLE_LIGNES; ++l) {
                for (int c = 0; c < CONSOLE_COLONNES; ++c) {
                    const CaseVue ici = vue.case_(l, c);
                    ASSERT_TRUE(pareilles(ici, entier.case_(l, c)) &&
                                pareilles(ici, voulue(sortie.modele().cellule(l, c), ici)))
                        << "screen " << ecran << ", cell " << l << "," << c;
                }
            }
            VTermPos curseur{};
            vterm_state_get_cursorpos(vterm_obtain_state(vue.vt), &curseur);
            const int fin = std::min(sortie.modele().colonne(), CONSOLE_COLONNES - 1);
            ASSERT_EQ(std::pair(curseur.row, curseur.col), std::pair(sortie.modele().ligne(), fin));
        }
    }
}

} // namespace
} // namespace korva
