#include "console/emetteur_ecran.hpp"
#include "console/entree_terminal_posix.hpp"
#include "console/remise_terminal_posix.hpp"
#include "console/terminal.hpp"
#include "console/traduction_terminal.hpp"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <sys/ioctl.h>
#include <unistd.h>

namespace korva {

namespace {

constexpr int ECRAN = STDOUT_FILENO;
constexpr int ERREURS = STDERR_FILENO;

// A terminal that honours the resize request does so within this (checked in small steps).
constexpr int ESSAIS_TAILLE = 10;
constexpr long PAS_TAILLE_NS = 20'000'000;

constexpr std::string_view INVITE_PAUSE = "Press any key to continue . . . ";
constexpr std::string_view EFFACER = "\x1b[H\x1b[2J";

// The terminal's size, or nothing when it does not tell.
std::optional<winsize> taille_terminal() {
    winsize taille{};
    if (::ioctl(ECRAN, TIOCGWINSZ, &taille) != 0 || taille.ws_row == 0 || taille.ws_col == 0) {
        return std::nullopt;
    }
    return taille;
}

bool assez_grand(const std::optional<winsize>& taille) {
    return !taille || (taille->ws_row >= CONSOLE_LIGNES && taille->ws_col >= CONSOLE_COLONNES);
}

// What the terminal shows in place of the game while it is too small for it; short lines, so
// that even a narrow one shows them whole.
std::string avis_taille(const winsize& taille) {
    return "\x1b[m" + std::string(EFFACER) + "KORVA needs a terminal of at least\r\n" +
           std::to_string(CONSOLE_COLONNES) + " columns by " + std::to_string(CONSOLE_LIGNES) +
           " lines.\r\nThis one has " + std::to_string(taille.ws_col) + " columns by " +
           std::to_string(taille.ws_row) +
           " lines.\r\n\r\nMake the window larger to play on,\r\nor press Ctrl-C to quit.";
}

// The game's console on a POSIX terminal, or on plain streams when its output is not a
// terminal (a log, a script reading the game). On a screen, the game draws on a model of it
// and each wait sends the terminal only what changed.
class ConsoleTerminal final : public Console {
public:
    ConsoleTerminal() : terminal_(remise::prendre(ecran_)), entree_(terminal_) {}

    ~ConsoleTerminal() override {
        vider_sortie();
        remise::rendre();
    }

    ConsoleTerminal(const ConsoleTerminal&) = delete;
    ConsoleTerminal& operator=(const ConsoleTerminal&) = delete;

    void ecrire(std::string_view octets) override {
        if (ecran_) {
            ecran_sortie_.ecrire(octets); // turned into glyphs when the frame is sent
        } else {
            for (const char octet : octets) {
                sortie_ += glyphe_utf8(static_cast<unsigned char>(octet));
            }
        }
        if (!octets.empty()) {
            colonne_zero_ = octets.back() == '\n' || octets.back() == '\r';
        }
    }

    void ecrire_erreur(std::string_view texte) override {
        // The report comes after what the screen already shows, in the game's colour.
        vider_sortie(true);
        remise::ecrire_tout(ERREURS, texte.data(), texte.size());
        if (!texte.empty() && erreurs_a_l_ecran_) {
            colonne_zero_ = texte.back() == '\n';
            // Kept on the screen as the terminal shows it, which is no longer known.
            ecran_sortie_.ecrire(en_code_page(texte));
            ecran_sortie_.oublier();
        }
    }

    void effacer() override {
        if (ecran_) {
            ecran_sortie_.effacer();
        } else {
            sortie_ += EFFACER;
        }
        colonne_zero_ = true;
    }

    void pause() override {
        if (!colonne_zero_) {
            ecrire("\n");
        }
        ecrire(INVITE_PAUSE);
        // An arrow is one key press even though it reads as two codes.
        if (lire_touche() == TOUCHE_PREFIXE) {
            lire_touche();
        }
        ecrire("\n");
    }

    void redimensionner(int lignes, int colonnes) override {
        sortie_ += "\x1b[8;" + std::to_string(lignes) + ";" + std::to_string(colonnes) + "t";
        vider_sortie();
        ecran_sortie_.oublier(); // a terminal may move its text about when its size changes
        // Time for a terminal that honours the request, rather than a notice that flashes by.
        for (int essai = 0; ecran_ && essai < ESSAIS_TAILLE && !assez_grand(taille_terminal());
             ++essai) {
            const timespec pas{0, PAS_TAILLE_NS};
            ::nanosleep(&pas, nullptr);
        }
    }

    void titre(std::string_view texte) override {
        std::string titre;
        for (const char octet : texte) {
            // Control bytes would end the sequence early.
            if (static_cast<unsigned char>(octet) >= 0x20) {
                titre += glyphe_utf8(static_cast<unsigned char>(octet));
            }
        }
        sortie_ += remise::noter_titre("\x1b]0;" + titre + "\x07");
    }

    void couleur(int attribut) override {
        attribut &= 0xFF;
        if (attribut == attribut_) {
            return; // the board sets a colour before every cell: most change nothing
        }
        attribut_ = attribut;
        if (ecran_) {
            ecran_sortie_.couleur(attribut);
        } else {
            sortie_ += sequence_couleur(attribut);
        }
        remise::noter_couleur(attribut);
    }

    int lire_touche() override {
        remise::passer_en(remise::Mode::Touches);
        montrer();
        const std::optional<int> touche = entree_.touche(montrer_);
        if (!touche) {
            terminer(0); // nobody is left to answer
        }
        return *touche;
    }

    std::string lire_ligne() override {
        std::optional<std::string> ligne;
        if (ecran_) {
            // Edited here, in single-key mode, so that the line typed so far is part of the
            // screen: drawn again after a stop or a resize like the rest of it.
            remise::passer_en(remise::Mode::Touches);
            const auto echo = [this](std::string_view octets) {
                if (terminal_) {
                    ecran_sortie_.ecrire(octets);
                }
            };
            ligne = entree_.ligne_editee(echo, montrer_);
        } else {
            ligne = ligne_entiere();
        }
        if (!ligne) {
            terminer(0);
        }
        if (!ligne->empty() && ligne->back() == '\r') {
            ligne->pop_back();
        }
        colonne_zero_ = true;
        return *ligne;
    }

    void vider_entree() override { entree_.vider(); }

    void dormir(int millisecondes) override {
        montrer();
        timespec reste{millisecondes / 1000, static_cast<long>(millisecondes % 1000) * 1'000'000};
        while (::nanosleep(&reste, &reste) != 0 && errno == EINTR) {
        }
    }

    [[noreturn]] void terminer(int statut) override {
        vider_sortie();
        remise::rendre();
        std::exit(statut);
    }

private:
    // Before each wait, and whenever the screen was disturbed during one: while the terminal is
    // smaller than the game's screen, a notice takes its place, kept up to date, and keys
    // typed meanwhile are dropped; then the game's screen comes back whole.
    void montrer() {
        for (auto taille = taille_terminal(); ecran_ && !assez_grand(taille);
             taille = taille_terminal()) {
            // What the game asked of the terminal itself (its title) goes out first. The resize
            // that ends the wait asks for the game's screen to be drawn anew.
            const std::string avis = sortie_ + avis_taille(*taille);
            sortie_.clear();
            remise::ecrire_tout(ECRAN, avis.data(), avis.size());
            if (!entree_.attendre_reveil()) {
                terminer(0);
            }
        }
        vider_sortie();
    }

    // A whole line from a script or from a terminal that edits it; the bytes read ahead in
    // single-key mode were never echoed by the terminal, they are written out here.
    std::optional<std::string> ligne_entiere() {
        vider_sortie(true);
        remise::passer_en(remise::Mode::Ligne);
        const auto montrer_tape = [this](const std::string& tape, bool attente) {
            for (const char octet : tape) {
                if (octet == '\n' || (static_cast<unsigned char>(octet) >= 0x20 && octet != 0x7F)) {
                    sortie_ += octet;
                }
            }
            if (attente) {
                vider_sortie(true);
            }
        };
        const LigneTapee ligne = entree_.ligne(montrer_tape);
        vider_sortie();
        remise::passer_en(remise::Mode::Touches);
        if (!ligne.entiere && ligne.texte.empty()) {
            return std::nullopt;
        }
        return ligne.texte;
    }

    // Sends what is waiting in one write; on a screen, only what changed since the last time,
    // and nothing of the game while the terminal is too small for it.
    void vider_sortie(bool couleur_du_jeu = false) {
        if (ecran_) {
            if (remise::repeinte_demandee()) {
                ecran_sortie_.oublier();
            }
            if (!assez_grand(taille_terminal())) {
                // The game's screen waits for a terminal large enough; what the game asks of
                // the terminal itself (its size, its title) does not.
                remise::ecrire_tout(ECRAN, sortie_.data(), sortie_.size());
                sortie_.clear();
                return;
            }
            ecran_sortie_.commande(sortie_);
            sortie_.clear();
            ecran_sortie_.envoyer(couleur_du_jeu);
            return;
        }
        if (sortie_.empty()) {
            return;
        }
        remise::ecrire_tout(ECRAN, sortie_.data(), sortie_.size());
        sortie_.clear();
    }

    // Standard output is a terminal: it is sent screen differences rather than the plain text
    // a log or a script reading the game wants.
    bool ecran_ = ::isatty(ECRAN) == 1;
    bool terminal_;
    EntreeTerminal entree_;
    const EntreeTerminal::Redessiner montrer_ = [this] { montrer(); };
    SortieEcran ecran_sortie_{
        [](std::string_view trame) { remise::ecrire_tout(ECRAN, trame.data(), trame.size()); }};
    std::string sortie_;
    int attribut_ = -1;
    bool colonne_zero_ = true;
    // Reports shown on the same screen move its cursor too.
    bool erreurs_a_l_ecran_ = ::isatty(ERREURS) == 1 && ::isatty(ECRAN) == 1;
};

} // namespace

std::unique_ptr<Console> creer_console_terminal() {
    return std::make_unique<ConsoleTerminal>();
}

} // namespace korva
