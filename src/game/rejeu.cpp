#include "game/rejeu.hpp"

#include "characters/hasard.hpp"
#include "console/affichage.hpp"
#include "console/console.hpp"
#include "files/fichier_sur.hpp"
#include "files/sauvegarde.hpp"
#include "game/enregistreur.hpp"
#include "game/jeu.hpp"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <memory>
#include <utility>

namespace korva {

namespace {

constexpr const char* TITRE_REJEU = "KORVA replay";
constexpr const char* TITRE_REJEU_EN_PAUSE = "KORVA replay (paused)";
// While paused, the keyboard is looked at this often.
constexpr int ATTENTE_EN_PAUSE_MS = 1000;

// The keys that steer a replay.
constexpr int TOUCHE_PAUSE = ' ';
constexpr int TOUCHE_PLUS_VITE = '+';
constexpr int TOUCHE_MOINS_VITE = '-';
constexpr int TOUCHE_UN_PAS = '.';
constexpr int TOUCHE_QUITTER = 'q';
// A game watched live that ends says so this long, then the watch ends.
constexpr int FIN_SUIVIE_MS = 3000;
constexpr const char* FIN_DE_LA_PARTIE_SUIVIE = "\n\nThe game you watched has ended.\n";

using Sorte = Evenement::Sorte;

// However the replay ends, nothing of the game it showed stays on the shell's screen: that game
// said its last words when it was played.
[[noreturn]] void terminer_sur(Console& console_dessous, int statut) {
    console_dessous.effacer();
    console_dessous.terminer(statut);
    std::abort(); // a console that comes back from ending the process is broken
}

// The game's console during a replay: what the game writes goes to the console below, and what
// it reads comes from the recording, at the replay's pace.
class ConsoleRejeu final : public Console {
public:
    ConsoleRejeu(Console& dessous, const std::vector<Evenement>& evenements, int pas,
                 PartieSuivie* suivie)
        : dessous_(dessous),
          evenements_(evenements.begin(), evenements.end()), pilotage_{pas, false},
          suivie_(suivie) {}

    // The next event, which must be of that kind.
    const Evenement& prendre(Sorte sorte) {
        attendre_la_suite();
        if (suivant_ == evenements_.size()) {
            fin_de_l_enregistrement();
        }
        const Evenement& e = evenements_[suivant_];
        if (e.sorte != sorte) {
            dessous_.ecrire_erreur("\nThe recorded game and this game part ways here: "
                                   "the recording cannot be shown any further.\n");
            dessous_.pause();
            terminer_sur(dessous_, 1);
        }
        ++suivant_;
        return e;
    }
    bool suivant_est(Sorte sorte) {
        attendre_la_suite();
        return suivant_ < evenements_.size() && evenements_[suivant_].sorte == sorte;
    }

    void ecrire(std::string_view octets) override {
        dessous_.ecrire(octets);
        if (!octets.empty()) {
            colonne_zero_ = octets.back() == '\n';
        }
    }
    void ecrire_nom(std::string_view nom) override {
        dessous_.ecrire_nom(nom);
        if (!nom.empty()) {
            colonne_zero_ = nom.back() == '\n';
        }
    }
    void ecrire_erreur(std::string_view texte) override {
        dessous_.ecrire_erreur(texte);
        if (!texte.empty()) {
            colonne_zero_ = texte.back() == '\n';
        }
    }
    void effacer() override {
        dessous_.effacer();
        colonne_zero_ = true;
    }
    void pause() override {
        if (!colonne_zero_) {
            ecrire("\n");
        }
        ecrire(INVITE_DE_PAUSE);
        attendre(pilotage_.pas);
        interrompue_si("pause");
        prendre(Sorte::pause);
        ecrire("\n");
    }
    void redimensionner(int lignes, int colonnes) override {
        dessous_.redimensionner(lignes, colonnes);
    }
    void titre(std::string_view texte) override { dessous_.titre(texte); }
    void couleur(int attribut) override { dessous_.couleur(attribut); }
    int lire_touche() override {
        if (fleche_ != 0) {
            attendre(0); // the arrow's own code, the same key press
            return std::exchange(fleche_, 0);
        }
        attendre(pilotage_.pas);
        interrompue_si("key");
        if (suivant_est(Sorte::fleche)) {
            fleche_ = prendre(Sorte::fleche).nombre;
            return TOUCHE_PREFIXE;
        }
        return prendre(Sorte::touche).nombre;
    }
    std::string lire_ligne() override {
        attendre(pilotage_.pas);
        interrompue_si("line");
        const std::string ligne = prendre(Sorte::ligne).texte;
        ecrire_nom(ligne + "\n"); // as the terminal showed it being typed
        return ligne;
    }
    void vider_entree() override {}
    void dormir(int millisecondes) override {
        attendre(
            static_cast<int>(static_cast<long long>(millisecondes) * pilotage_.pas / PAS_REJEU_MS));
        interrompue_si("sleep");
    }
    [[noreturn]] void terminer(int) override {
        if (suivie_ != nullptr) {
            finir(FIN_DE_LA_PARTIE_SUIVIE);
        }
        terminer_sur(dessous_, 0);
    }

private:
    // A game watched live: its next event once the game has written it.
    void attendre_la_suite() {
        while (suivant_ == evenements_.size() && suivie_ != nullptr &&
               suivie_->attendre(dessous_, evenements_)) {
        }
    }

    // The recording noted an interruption at this kind of wait: the game meets it here again.
    void interrompue_si(const char* attente) {
        if ((suivant_est(Sorte::ctrl_c) || suivant_est(Sorte::perdu)) &&
            evenements_[suivant_].texte == attente) {
            const Evenement& e = prendre(evenements_[suivant_].sorte);
            throw PartieInterrompue{e.sorte == Sorte::ctrl_c ? Interruption::ctrl_c
                                                             : Interruption::terminal_perdu,
                                    e.nombre};
        }
    }

    // A recording cut short (the game killed outright) is shown up to where it stops.
    [[noreturn]] void fin_de_l_enregistrement() { finir("\n\nThe recording stops here.\n"); }

public:
    // The replay's end says so; a game watched live then ends by itself, since its watcher may
    // have no key to press (a page that only watches).
    [[noreturn]] void finir(const char* message) {
        dessous_.ecrire(message);
        if (suivie_ != nullptr) {
            dessous_.dormir(FIN_SUIVIE_MS);
        } else {
            dessous_.pause();
        }
        terminer_sur(dessous_, 0);
    }

private:
    // Waits `millisecondes` before the next answer, steered by the keyboard meanwhile.
    void attendre(int millisecondes) {
        if (suivie_ != nullptr) {
            return; // the game's own pace: its events come as it plays
        }
        if (pilotage_.pas == 0) {
            dessous_.touche_dans(0); // straight through: a look at the keyboard, no wait
            return;
        }
        const auto fin =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(millisecondes);
        for (;;) {
            const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   fin - std::chrono::steady_clock::now())
                                   .count();
            if (!pilotage_.en_pause && reste <= 0) {
                return;
            }
            const std::optional<int> touche = dessous_.touche_dans(
                pilotage_.en_pause ? ATTENTE_EN_PAUSE_MS : static_cast<int>(reste));
            if (!touche) {
                continue;
            }
            const bool en_pause = pilotage_.en_pause;
            const Ordre ordre = piloter(pilotage_, *touche);
            if (en_pause != pilotage_.en_pause) {
                dessous_.titre(pilotage_.en_pause ? TITRE_REJEU_EN_PAUSE : TITRE_REJEU);
            }
            if (ordre == Ordre::quitter) {
                terminer_sur(dessous_, 0);
            }
            if (ordre == Ordre::suivant) {
                return;
            }
        }
    }

    Console& dessous_;
    std::deque<Evenement> evenements_; // grows as a followed game plays on
    std::size_t suivant_ = 0;
    Pilotage pilotage_;
    PartieSuivie* suivie_;
    bool colonne_zero_ = true;
    int fleche_ = 0; // an arrow's own code, read after its prefix
};

bool lire_depart(const EnTeteEnregistrement& en_tete, PartieSauvee& depart, std::string& erreur) {
    return lire_sauvegarde(en_tete.depart, en_tete.nom, depart, erreur);
}

} // namespace

Ordre piloter(Pilotage& pilotage, int touche) {
    switch (touche) {
    case TOUCHE_PAUSE:
        pilotage.en_pause = !pilotage.en_pause;
        return pilotage.en_pause ? Ordre::rien : Ordre::suivant;
    case TOUCHE_PLUS_VITE:
        pilotage.pas = std::max(PAS_REJEU_MIN_MS, pilotage.pas / 2);
        return Ordre::rien;
    case TOUCHE_MOINS_VITE:
        pilotage.pas = std::min(PAS_REJEU_MAX_MS, pilotage.pas * 2);
        return Ordre::rien;
    case TOUCHE_UN_PAS:
        return pilotage.en_pause ? Ordre::suivant : Ordre::rien;
    case TOUCHE_QUITTER:
        return Ordre::quitter;
    default:
        return Ordre::rien;
    }
}

bool enregistrement_jouable(const std::string& chemin, Enregistrement& enregistrement,
                            std::string& raison) {
    std::string texte;
    int numero_erreur = 0;
    if (!lire_fichier(chemin, texte, numero_erreur)) {
        raison = chemin + ": " + raison_fichier(numero_erreur);
        return false;
    }
    return enregistrement_jouable(chemin, texte, enregistrement, raison);
}

bool enregistrement_jouable(const std::string& chemin, std::string_view texte,
                            Enregistrement& enregistrement, std::string& raison) {
    std::string erreur;
    auto depart = std::make_unique<PartieSauvee>();
    if (!lire_enregistrement(texte, enregistrement, erreur) ||
        !lire_depart(enregistrement.en_tete, *depart, erreur)) {
        raison = chemin + ": the recording is damaged: " + erreur;
        return false;
    }
    if (enregistrement.en_tete.version != VERSION_JEU) {
        raison = chemin + ": the recording was made by KORVA " + enregistrement.en_tete.version +
                 ", and this is KORVA " + VERSION_JEU;
        return false;
    }
    if (enregistrement.en_tete.empreinte != empreinte_fichiers(fichiers_joues())) {
        raison = chemin + ": the recording was made with other level or parchment files than "
                          "those installed";
        return false;
    }
    return true;
}

void rejouer(const Enregistrement& enregistrement, int pas, PartieSuivie* suivie) {
    auto depart = std::make_unique<PartieSauvee>();
    std::string erreur;
    lire_depart(enregistrement.en_tete, *depart, erreur); // checked when the recording was read
    ConsoleRejeu rejeu(console(), enregistrement.evenements, pas, suivie);
    // Put back as they were should the replay end by unwinding (as under a test's console).
    struct Retour {
        Console* console;
        Hasard hasard;
        ~Retour() {
            installer_console(console);
            installer_hasard(std::move(hasard));
        }
    } const retour{
        installer_console(&rejeu),
        installer_hasard({[](unsigned) {}, [&rejeu] { return rejeu.prendre(Sorte::de).nombre; }})};
    Temoin temoin;
    temoin.sauvegarde_rejouee = [&rejeu] {
        while (rejeu.suivant_est(Sorte::rapport)) {
            rejeu.ecrire_erreur(rejeu.prendre(Sorte::rapport).texte);
        }
        return rejeu.prendre(Sorte::sauvegarde).nombre;
    };
    Color(BLANC, NOIR);
    rejeu.redimensionner(CONSOLE_LIGNES, CONSOLE_COLONNES);
    rejeu.titre(TITRE_REJEU);
    deroulement_jeu(depart->plateau, depart->l, depart->c, depart->perso, depart->sacoche,
                    enregistrement.en_tete.serrure, enregistrement.en_tete.nouveau, &temoin);
    rejeu.terminer(0);
}

} // namespace korva
