#include "console/emetteur_ecran.hpp"
#include "console/entree_terminal_posix.hpp"
#include "console/remise_terminal_posix.hpp"
#include "console/terminal.hpp"
#include "console/terminfo_posix.hpp"
#include "console/traduction_terminal.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace korva {

namespace {

constexpr int ENTREE = STDIN_FILENO;
constexpr int ECRAN = STDOUT_FILENO;
constexpr int ERREURS = STDERR_FILENO;

// A terminal that honours the resize request does so within this (checked in small steps).
constexpr int ESSAIS_TAILLE = 10;
constexpr long PAS_TAILLE_NS = 20'000'000;

constexpr const char* PAS_UN_TERMINAL =
    "korva: KORVA is played on a terminal: its input and output must be one";

// The terminal's size, or nothing when it does not tell.
std::optional<winsize> taille_terminal() {
    winsize taille{};
    if (::ioctl(ECRAN, TIOCGWINSZ, &taille) != 0 || taille.ws_row == 0 || taille.ws_col == 0) {
        return std::nullopt;
    }
    return taille;
}

bool assez_grand(const std::optional<winsize>& taille, const DescriptionTerminal& d) {
    return !taille || (taille->ws_row >= d.lignes && taille->ws_col >= d.colonnes);
}

// What the terminal shows in place of the game while it is too small for it; short lines, so
// that even a narrow one shows them whole. Ctrl-C quits, but in a game it asks the save
// question, once the terminal is large enough to show it.
std::string avis_taille(const DescriptionTerminal& d, const winsize& taille, bool en_partie) {
    return (d.couleurs ? d.origine : "") + d.sortir_traces + d.effacer_ecran +
           "KORVA needs a terminal of at least\r\n" + std::to_string(d.colonnes) + " columns by " +
           std::to_string(d.lignes) + " lines.\r\nThis one has " + std::to_string(taille.ws_col) +
           " columns by " + std::to_string(taille.ws_row) +
           " lines.\r\n\r\nMake the window larger to play on" +
           (en_partie
                ? ".\r\nCtrl-C asks whether to save the\r\ngame once the window is that large."
                : ",\r\nor press Ctrl-C to quit.");
}

// The game's console on a POSIX terminal. The game draws on a model of the screen and each
// wait sends the terminal only what changed, in the strings its description gives.
class ConsoleTerminal final : public Console {
public:
    explicit ConsoleTerminal(DescriptionTerminal d)
        : d_(std::make_shared<const DescriptionTerminal>(std::move(d))),
          ecran_sortie_(
              [](std::string_view trame) {
                  remise::ecrire_tout(ECRAN, trame.data(), trame.size());
              },
              d_) {
        remise::prendre(*d_, true);
    }

    ~ConsoleTerminal() override {
        vider_sortie();
        remise::rendre();
    }

    ConsoleTerminal(const ConsoleTerminal&) = delete;
    ConsoleTerminal& operator=(const ConsoleTerminal&) = delete;

    void ecrire(std::string_view octets) override {
        ecran_sortie_.ecrire(octets); // turned into glyphs when the frame is sent
        for (const char octet : octets) {
            const auto o = static_cast<unsigned char>(octet);
            if (o == '\n' || o == '\t') {
                derniers_mots_ += octet; // a line's end and its tabs stay as the game wrote them
            } else if (o >= 0x20) {
                hors_traces(derniers_mots_, o);
            }
        }
        if (!octets.empty()) {
            colonne_zero_ = octets.back() == '\n' || octets.back() == '\r';
        }
    }

    void ecrire_nom(std::string_view nom) override {
        ecran_sortie_.ecrire_nom(nom);
        derniers_mots_ += nom_montre(nom, d_->utf8);
        if (!nom.empty()) {
            colonne_zero_ = nom.back() == '\n';
        }
    }

    void ecrire_erreur(std::string_view texte) override {
        // A report starts on a line of its own, after what the screen already shows (even a
        // blank that ends the game's last words), in the game's colour.
        if (!texte.empty() && ecran_sortie_.modele().colonne() != 0) {
            ecrire("\n");
        }
        vider_sortie(true);
        // A terminal that shows no UTF-8 gets none; a file gets the report as it stands.
        const std::string rapport =
            erreurs_a_l_ecran_ ? nom_montre(texte, d_->utf8) : std::string(texte);
        remise::ecrire_tout(ERREURS, rapport.data(), rapport.size());
        if (!texte.empty() && erreurs_a_l_ecran_) {
            // Kept on the screen as the terminal shows it, which is no longer known.
            ecrire_nom(texte);
            ecran_sortie_.oublier();
        }
    }

    void effacer() override {
        ecran_sortie_.effacer();
        colonne_zero_ = true;
        derniers_mots_.clear();
    }

    void pause() override {
        std::string mots = derniers_mots_;
        if (!colonne_zero_) {
            ecrire("\n");
            mots += '\n';
        }
        ecrire(INVITE_DE_PAUSE);
        // An arrow is one key press even though it reads as two codes.
        if (lire_touche() == TOUCHE_PREFIXE) {
            lire_touche();
        }
        ecrire("\n");
        derniers_mots_ = mots; // the prompt is no part of what the game says
    }

    void redimensionner(int lignes, int colonnes) override {
        sortie_ += remise::noter_taille(lignes, colonnes);
        vider_sortie();
        ecran_sortie_.oublier(); // a terminal may move its text about when its size changes
        // Time for a terminal that honours the request, rather than a notice that flashes by.
        for (int essai = 0; essai < ESSAIS_TAILLE && !assez_grand(taille_terminal(), *d_);
             ++essai) {
            const timespec pas{0, PAS_TAILLE_NS};
            ::nanosleep(&pas, nullptr);
        }
    }

    void titre(std::string_view texte) override {
        std::string titre;
        for (const char octet : texte) {
            const auto o = static_cast<unsigned char>(octet);
            // Control bytes would end the sequence early.
            if (o >= 0x20) {
                hors_traces(titre, o);
            }
        }
        sortie_ += remise::noter_titre(titre);
    }

    void couleur(int attribut) override {
        attribut &= 0xFF;
        if (attribut == attribut_) {
            return; // the board sets a colour before every cell: most change nothing
        }
        attribut_ = attribut;
        ecran_sortie_.couleur(attribut);
        if (d_->couleurs) {
            remise::noter_couleur(ecran_sortie_.emetteur().sequence_couleur(attribut));
        }
    }

    int lire_touche() override {
        montrer();
        const std::optional<int> touche = entree_.touche(montrer_);
        if (!touche) {
            fin_entree(); // nobody is left to answer
        }
        derniers_mots_.clear();
        return *touche;
    }

    std::optional<int> touche_dans(int millisecondes) override {
        return touche_ou_signe(millisecondes, -1);
    }

    std::optional<int> touche_ou_signe(int millisecondes, int signe) override {
        montrer();
        const std::optional<int> touche = entree_.touche_dans(millisecondes, montrer_, signe);
        if (!touche && entree_.fini()) {
            fin_entree();
        }
        return touche;
    }

    std::string lire_ligne() override {
        // Edited here, in single-key mode, so that the line typed so far is part of the
        // screen: drawn again after a stop or a resize like the rest of it.
        const auto echo = [this](std::string_view texte) { ecran_sortie_.ecrire_nom(texte); };
        std::optional<std::string> ligne = entree_.ligne_editee(echo, montrer_);
        if (!ligne) {
            if (entree_.fini() || !gardee_) {
                fin_entree();
            }
            ecran_sortie_.ecrire("\n"); // Ctrl-D in a game: an empty line
            ligne = "";
        }
        colonne_zero_ = true;
        derniers_mots_.clear();
        return *ligne;
    }

    void vider_entree() override { entree_.vider(); }

    void dormir(int millisecondes) override {
        montrer();
        timespec reste{millisecondes / 1000, static_cast<long>(millisecondes % 1000) * 1'000'000};
        while (::nanosleep(&reste, &reste) != 0 && errno == EINTR) {
            interrompre();
        }
    }

    [[noreturn]] void terminer(int statut) override {
        vider_sortie();
        remise::rendre();
        const int signal = remise::signal_de_fin(statut);
        if (signal != 0) {
            // Ended as the signal would have, so that whoever started the game sees it.
            std::signal(signal, SIG_DFL);
            sigset_t un;
            sigemptyset(&un);
            sigaddset(&un, signal);
            ::sigprocmask(SIG_UNBLOCK, &un, nullptr);
            std::raise(signal);
        } else if (remise::etat.perdu == 0) {
            dire_les_derniers_mots();
        }
        std::exit(statut);
    }

    void garder_partie(bool gardee) override {
        gardee_ = gardee;
        remise::garder(gardee);
    }

private:
    // Before each wait, and whenever the screen was disturbed during one: what interrupts a
    // kept game stops the wait; while the terminal is smaller than the game's screen, a notice
    // takes its place, kept up to date, and keys typed meanwhile are dropped; then the game's
    // screen comes back whole.
    void montrer() {
        interrompre();
        for (auto taille = taille_terminal(); !assez_grand(taille, *d_);
             taille = taille_terminal()) {
            // What the game asked of the terminal itself (its title) goes out first. The resize
            // that ends the wait asks for the game's screen to be drawn anew.
            const std::string avis = sortie_ + avis_taille(*d_, *taille, gardee_);
            sortie_.clear();
            remise::ecrire_tout(ECRAN, avis.data(), avis.size());
            if (!entree_.attendre_reveil()) {
                fin_entree();
            }
            interrompre();
        }
        vider_sortie();
    }

    void interrompre() {
        if (const std::optional<PartieInterrompue> raison = remise::interruption()) {
            throw *raison;
        }
    }

    // The input has ended (closed, or the terminal hung up): a kept game is saved first.
    [[noreturn]] void fin_entree() {
        if (gardee_) {
            remise::perdre_terminal();
            interrompre();
        }
        terminer(0);
    }

    // Appends a glyph as the terminal shows it outside the line-drawing set, which the title
    // and the shell's screen lack.
    void hors_traces(std::string& texte, unsigned char o) const {
        if (d_->glyphes[o].trace) {
            texte += ascii_cp437(o);
        } else {
            texte += d_->glyphes[o].texte;
        }
    }

    // The shell's screen is back (on a terminal that has no other, the game's is cleared): what
    // the game said last, written there, where it stays.
    void dire_les_derniers_mots() {
        // The shell's own modes are back: a line feed may or may not return to the first column.
        const bool ajoute_retour =
            (remise::etat.origine.c_oflag & (OPOST | ONLCR)) == (OPOST | ONLCR);
        const std::string texte = (d_->rendre_ecran.empty() ? d_->effacer_ecran : "") +
                                  derniers_mots(derniers_mots_, ajoute_retour ? "\n" : "\r\n");
        remise::ecrire_tout(ECRAN, texte.data(), texte.size());
    }

    // Sends what is waiting in one write, only what changed since the last time, and nothing
    // of the game while the terminal is too small for it.
    void vider_sortie(bool couleur_du_jeu = false) {
        if (remise::repeinte_demandee()) {
            ecran_sortie_.oublier();
        }
        if (!assez_grand(taille_terminal(), *d_)) {
            // The game's screen waits for a terminal large enough; what the game asks of
            // the terminal itself (its size, its title) does not.
            remise::ecrire_tout(ECRAN, sortie_.data(), sortie_.size());
            sortie_.clear();
            return;
        }
        ecran_sortie_.commande(sortie_);
        sortie_.clear();
        ecran_sortie_.envoyer(couleur_du_jeu);
    }

    std::shared_ptr<const DescriptionTerminal> d_;
    EntreeTerminal entree_;
    const EntreeTerminal::Redessiner montrer_ = [this] { montrer(); };
    SortieEcran ecran_sortie_;
    std::string sortie_;
    int attribut_ = -1;
    bool colonne_zero_ = true;
    bool gardee_ = false;
    // What the game said since it last cleared the screen or read a key or a line, as the
    // terminal shows it outside the line-drawing set.
    std::string derniers_mots_;
    // Reports shown on the same screen move its cursor too.
    bool erreurs_a_l_ecran_ = ::isatty(ERREURS) == 1;
};

} // namespace

std::unique_ptr<Console> creer_console_terminal(std::string& raison, int lignes, int colonnes) {
    if (::isatty(ENTREE) != 1 || ::isatty(ECRAN) != 1) {
        raison = PAS_UN_TERMINAL;
        return nullptr;
    }
    std::optional<DescriptionTerminal> description = decrire_ce_terminal(raison, lignes, colonnes);
    if (!description) {
        return nullptr;
    }
    return std::make_unique<ConsoleTerminal>(std::move(*description));
}

} // namespace korva
