#include "console/emetteur_ecran.hpp"
#include "console/traduction_terminal.hpp"
#include "files/niveaux.hpp"
#include "game/jeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"
#include "support/emulateur_terminal.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace korva {
namespace {

using test::EmulateurTerminal;

constexpr std::string_view EFFACER = "\x1b[H\x1b[2J";
constexpr std::string_view INVITE = "Press any key to continue . . . ";

std::string ligne_modele(const EcranModele& m, int ligne) {
    std::string texte;
    for (int c = 0; c < m.colonnes(); ++c) {
        texte += static_cast<char>(m.cellule(ligne, c).octet);
    }
    texte.erase(texte.find_last_not_of(' ') + 1);
    return texte;
}

TEST(EcranModele, WritesAsATerminalOfTheGamesSize) {
    EcranModele m(3, 10);
    m.couleur(0x0C);
    // The tab skips cells, byte 0 is a blank; past the last column the cursor waits, and a
    // line feed then moves one line only; backspace stops at the first column, tabs at the
    // last; past the last line the screen moves up, the new line in the colour in force.
    m.ecrire(std::string_view("a\tb\x00\rA\n0123456789\nx\b\by\t\t\tq\x07\x07", 28));
    m.couleur(0x1F);
    m.ecrire("t"); // after the last column: on the next line
    EXPECT_EQ(ligne_modele(m, 0), "0123456789");
    EXPECT_EQ(ligne_modele(m, 1), "y        q");
    EXPECT_EQ(ligne_modele(m, 2), "t");
    EXPECT_EQ(m.cellule(2, 5), (Cellule{' ', 0x1F, true}));
    EXPECT_EQ(m.prendre_sonneries(), 2);
    EXPECT_EQ(m.prendre_sonneries(), 0);

    // Blanks look alike whatever their text colour; other glyphs need the same colours; a
    // blank written is not a blank cleared (some terminals clear with their own background).
    EXPECT_TRUE(meme_apparence(Cellule{' ', 0x0F}, Cellule{' ', 0x0C}));
    EXPECT_FALSE(meme_apparence(Cellule{' ', 0x0F}, Cellule{' ', 0x1F}));
    EXPECT_FALSE(meme_apparence(Cellule{'#', 0x0F}, Cellule{'#', 0x08}));
    EXPECT_FALSE(meme_apparence(Cellule{' ', 0x0F}, Cellule{' ', 0x0F, true}));
    EXPECT_TRUE(meme_apparence(Cellule{' ', 0x0C, true}, Cellule{' ', 0x0F, true}));
}

TEST(SortieEcran, SendsOnlyWhatChangedInOneCall) {
    std::vector<std::string> envois;
    SortieEcran sortie([&](std::string_view trame) { envois.emplace_back(trame); });
    EmulateurTerminal terminal;
    // Each frame: cleared in white, then `texte` in `couleur`; at most one write per frame.
    auto envoyer = [&](std::string_view texte, int couleur = 0x0C, bool couleur_du_jeu = false) {
        if (!texte.empty()) {
            sortie.couleur(0x0F);
            sortie.effacer();
            sortie.couleur(couleur);
            sortie.ecrire(texte);
        }
        envois.clear();
        sortie.envoyer(couleur_du_jeu);
        EXPECT_LE(envois.size(), 1u);
        const std::string trame = envois.empty() ? std::string() : envois[0];
        terminal.recevoir(trame);
        EXPECT_EQ(test::differences(terminal, sortie.modele()), "");
        return trame;
    };

    // First frame: the terminal's content is unknown, cleared in the colour of the blanks.
    sortie.commande("\x1b]0;T\x07");
    EXPECT_EQ(envoyer("a\x02"),
              "\x1b]0;T\x07\x1b[97;40m" + std::string(EFFACER) + "\x1b[91ma\u263b");
    EXPECT_EQ(envoyer("a\x02"), ""); // the same frame: nothing sent, not even an empty write
    EXPECT_TRUE(envois.empty());
    EXPECT_EQ(envoyer(" a\x02"), "\r a\u263b");     // a blank needs only its background
    EXPECT_EQ(envoyer(" a\x02\n\n\nz"), "\n\n\nz"); // line feeds return to the first column
    // Left in the game's colour when asked: for the terminal's echo of a typed line.
    sortie.couleur(0x0E);
    EXPECT_EQ(envoyer("", 0, true), "\x1b[93m");

    // Forgotten: everything again, once.
    sortie.oublier();
    EXPECT_NE(envoyer("").find(EFFACER), std::string::npos);
    EXPECT_EQ(envoyer(""), "");

    // Cleared cells are cleared again, never written as blanks: to the end of the line, or a
    // few cells.
    envoyer("xyz\n\x02", 0x0F);
    EXPECT_EQ(envoyer("x\tz\n\x02", 0x0F), "\x1b[A\x1b[2X\x1b[7Cz\n\x1b[C");
    EXPECT_EQ(envoyer("x", 0x0F), "\x1b[1;9H\x1b[K\n\x1b[K\x1b[1;2H");

    // Up to the last column: the terminal is left waiting to wrap, as the model is.
    envoyer(std::string(CONSOLE_COLONNES, 'w'));
    sortie.ecrire("next");
    envoyer("");
    EXPECT_EQ(terminal.texte_ligne(1), "next");
}

// The game's console in a test: what the game writes goes into a screen model sent to a
// terminal as differences and, as the whole stream, to a second terminal drawn from scratch.
// At every wait both terminals must show the model. Keys are random, mostly arrows.
class ConsoleComparee final : public Console {
public:
    explicit ConsoleComparee(unsigned graine, int touches)
        : sortie_([this](std::string_view trame) {
              ++envois_;
              nouveau_.recevoir(trame);
          }),
          hasard_(graine), touches_restantes_(touches) {
        precedente_ = installer_console(this);
    }
    ~ConsoleComparee() override { installer_console(precedente_); }
    ConsoleComparee(const ConsoleComparee&) = delete;
    ConsoleComparee& operator=(const ConsoleComparee&) = delete;

    void ecrire(std::string_view octets) override {
        sortie_.ecrire(octets);
        for (const char octet : octets) {
            flux_ += glyphe_utf8(static_cast<unsigned char>(octet));
        }
        if (!octets.empty()) {
            colonne_zero_ = octets.back() == '\n' || octets.back() == '\r';
        }
    }
    void ecrire_erreur(std::string_view texte) override { erreurs_ += texte; }
    void effacer() override {
        sortie_.effacer();
        flux_ += EFFACER;
        colonne_zero_ = true;
    }
    void pause() override {
        ecrire((colonne_zero_ ? "" : "\n") + std::string(INVITE));
        comparer();
        ecrire("\n");
    }
    void redimensionner(int, int) override {}
    void titre(std::string_view) override {}
    void couleur(int attribut) override {
        if (attribut != attribut_) {
            attribut_ = attribut;
            sortie_.couleur(attribut);
            flux_ += sequence_couleur(attribut);
        }
    }
    int lire_touche() override {
        comparer();
        if (touches_restantes_-- == 0) {
            throw test::ScriptEpuise{};
        }
        if (fleche_attendue_ != 0) {
            return std::exchange(fleche_attendue_, 0);
        }
        const int tirage = std::uniform_int_distribution<int>(0, 99)(hasard_);
        constexpr int FLECHES[] = {FLECHE_HAUT, FLECHE_BAS, FLECHE_GAUCHE, FLECHE_DROITE};
        if (tirage < 80) {
            fleche_attendue_ = FLECHES[tirage % 4];
            return TOUCHE_PREFIXE;
        }
        constexpr char AUTRES[] = {'h', 'i', 'y', 'n', '1', '2', 'x'};
        return AUTRES[tirage % 7];
    }
    std::string lire_ligne() override {
        comparer(true);
        // The terminal echoes the line; the screen is not known afterwards.
        ecrire("0\n");
        sortie_.oublier();
        return "0";
    }
    void vider_entree() override {}
    void dormir(int) override { comparer(); }
    [[noreturn]] void terminer(int statut) override { throw test::FinDuProcessus{statut}; }

    int attentes() const { return attentes_; }
    const std::string& erreurs() const { return erreurs_; }

private:
    void comparer(bool couleur_du_jeu = false) {
        ++attentes_;
        const int envois = envois_;
        sortie_.envoyer(couleur_du_jeu);
        EXPECT_LE(envois_ - envois, 1) << "one write per wait at most";
        ancien_.recevoir(flux_);
        flux_.clear();
        const std::string avec_modele = test::differences(nouveau_, sortie_.modele());
        const std::string avec_flux = test::differences(nouveau_, ancien_);
        EXPECT_EQ(avec_modele, "") << "wait " << attentes_;
        EXPECT_EQ(avec_flux, "") << "wait " << attentes_;
        if (!avec_modele.empty() || !avec_flux.empty()) {
            throw test::ScriptEpuise{}; // one report is enough
        }
    }

    Console* precedente_ = nullptr;
    SortieEcran sortie_;
    EmulateurTerminal nouveau_;
    EmulateurTerminal ancien_;
    std::string flux_;
    std::string erreurs_;
    int attribut_ = -1;
    bool colonne_zero_ = true;
    int envois_ = 0;
    std::mt19937 hasard_;
    int touches_restantes_;
    int fleche_attendue_ = 0;
    int attentes_ = 0;
};

TEST(SortieEcran, RandomTurnsOnEveryLevelLookAsBefore) {
    test::DossierJeu dossier;
    for (const char* nom : {"1g", "1d", "2g", "2d", "3g", "3d", "4g", "4d", "5g"}) {
        const std::string fichier = std::string("fichiers/niveaux/niveau") + nom + ".txt";
        SCOPED_TRACE(fichier);
        const unsigned graine = static_cast<unsigned>(nom[0] * 10 + nom[1]);
        std::srand(graine);
        ConsoleComparee ecran(graine, 150);
        auto plateau = std::make_unique<Plateau>();
        auto sacoche = std::make_unique<Sacoche>();
        int l = 0;
        int c = 0;
        ASSERT_EQ(charger_niveau(fichier, *plateau, l, c), 0);
        sPerso p{};
        copier_nom(p.nom, "Ayla");
        p.corps = p.intellect = p.esprit = p.pouvoir = 12;
        p.endurance = 400; // strong enough to live through the fights of a long walk
        p.habilete = 60;
        try {
            deroulement_jeu(*plateau, l, c, p, *sacoche, SERRURE_SANS_PORTE);
        } catch (const test::ScriptEpuise&) {
        } catch (const test::FinDuProcessus&) {
        }
        EXPECT_GE(ecran.attentes(), 150);
        EXPECT_EQ(ecran.erreurs(), "");
    }
}

} // namespace
} // namespace korva
