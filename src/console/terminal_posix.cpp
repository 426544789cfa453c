#include "console/emetteur_ecran.hpp"
#include "console/entree_terminal_posix.hpp"
#include "console/remise_terminal_posix.hpp"
#include "console/terminal.hpp"
#include "console/traduction_terminal.hpp"

#include <cerrno>
#include <cstdlib>
#include <ctime>
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

// The game's console on a POSIX terminal, or on plain streams when input is not a terminal
// (a script driving the game through a pipe). On a screen, the game draws on a model of it and
// each wait sends the terminal only what changed.
class ConsoleTerminal final : public Console {
public:
    ConsoleTerminal() : terminal_(remise::prendre(ecran_)), entree_(terminal_, ecran_) {}

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
            if (ecran_) {
                // Kept on the screen as the terminal shows it, which is no longer known.
                ecran_sortie_.ecrire(en_code_page(texte));
                ecran_sortie_.oublier();
            }
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
        if (taille_signalee_ || ::isatty(ECRAN) != 1) {
            return;
        }
        winsize taille{};
        for (int essai = 0; essai < ESSAIS_TAILLE; ++essai) {
            if (::ioctl(ECRAN, TIOCGWINSZ, &taille) != 0 || taille.ws_row == 0) {
                return; // a terminal that does not tell its size: nothing to say
            }
            if (taille.ws_row >= lignes && taille.ws_col >= colonnes) {
                return;
            }
            const timespec pas{0, PAS_TAILLE_NS};
            ::nanosleep(&pas, nullptr);
        }
        taille_signalee_ = true;
        const std::string avis = "KORVA needs a terminal of " + std::to_string(colonnes) +
                                 " columns by " + std::to_string(lignes) + " lines; this one has " +
                                 std::to_string(taille.ws_col) + " by " +
                                 std::to_string(taille.ws_row) + ".\n";
        ecrire_erreur(avis);
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
        vider_sortie();
        remise::passer_en(remise::Mode::Touches);
        const std::optional<int> touche = entree_.touche([this] { vider_sortie(); });
        if (!touche) {
            terminer(0); // nobody is left to answer
        }
        return *touche;
    }

    std::string lire_ligne() override {
        vider_sortie(true); // the terminal echoes the line in the game's colour
        remise::passer_en(remise::Mode::Ligne);
        // Never a control byte the terminal would obey.
        const auto montrer_tape = [this](const std::string& tape, bool attente) {
            if (ecran_) {
                ecran_sortie_.ecrire(en_code_page(tape));
            } else {
                for (const char octet : tape) {
                    if (octet == '\n' ||
                        (static_cast<unsigned char>(octet) >= 0x20 && octet != 0x7F)) {
                        sortie_ += octet;
                    }
                }
            }
            if (attente) {
                vider_sortie(true);
            }
        };
        LigneTapee ligne = entree_.ligne(montrer_tape);
        vider_sortie();
        if (!ligne.echo.empty()) {
            // What the terminal echoed belongs to the screen too; where it went exactly (line
            // editing, a terminal of another width) is not known: the next frame draws anew.
            ecran_sortie_.ecrire(en_code_page(ligne.echo));
            ecran_sortie_.oublier();
        }
        remise::passer_en(remise::Mode::Touches);
        if (!ligne.entiere && ligne.texte.empty()) {
            terminer(0);
        }
        if (!ligne.texte.empty() && ligne.texte.back() == '\r') {
            ligne.texte.pop_back();
        }
        colonne_zero_ = true;
        return ligne.texte;
    }

    void vider_entree() override { entree_.vider(); }

    void dormir(int millisecondes) override {
        vider_sortie();
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
    // Sends what is waiting in one write; on a screen, only what changed since the last time.
    void vider_sortie(bool couleur_du_jeu = false) {
        if (ecran_) {
            if (remise::repeinte_demandee()) {
                ecran_sortie_.oublier();
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
    SortieEcran ecran_sortie_{
        [](std::string_view trame) { remise::ecrire_tout(ECRAN, trame.data(), trame.size()); }};
    std::string sortie_;
    int attribut_ = -1;
    bool colonne_zero_ = true;
    bool taille_signalee_ = false;
    // Reports shown on the same screen move its cursor too.
    bool erreurs_a_l_ecran_ = ::isatty(ERREURS) == 1 && ::isatty(ECRAN) == 1;
};

} // namespace

std::unique_ptr<Console> creer_console_terminal() {
    return std::make_unique<ConsoleTerminal>();
}

} // namespace korva
