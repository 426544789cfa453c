// What the terminal receives while the hero walks: the real turn loop, drawing into the same
// screen model and frame writer as the POSIX terminal console, whose writes are counted here
// instead of reaching a terminal.
//
//     build/korva_bench
//
// Counters, per walk: bytes for an arrow key's step (median and worst), bytes for the turn
// that only reads the arrow's prefix code, and writes per turn (the most in any one turn).

#include "console/affichage.hpp"
#include "console/emetteur_ecran.hpp"
#include "console/terminfo_posix.hpp"
#include "console/traduction_terminal.hpp"
#include "dungeon/deplacement.hpp"
#include "files/niveaux.hpp"
#include "game/jeu.hpp"
#include "recherche_niveau.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace korva {
namespace {

constexpr int PAS_PAR_MARCHE = 40;
constexpr int TOUCHE_OUI = 'y';
constexpr std::string_view EFFACER_ECRAN = "\x1b[H\x1b[2J";

struct FinDeMarche {};

// The terminal measured: an xterm under a UTF-8 locale, as terminfo describes it.
Description xterm() {
    std::string raison;
    const auto d = decrire_terminal("xterm-256color", true, true, raison);
    if (!d) {
        throw std::runtime_error(raison);
    }
    return std::make_shared<const DescriptionTerminal>(*d);
}

// A console for the walk: keys from a list, pauses answered at once, and every wait sends the
// frame as the terminal console does.
class ConsoleMesuree final : public Console {
public:
    ConsoleMesuree()
        : sortie_(
              [this](std::string_view trame) {
                  ++ecritures_tour_;
                  octets_tour_ += trame.size();
              },
              xterm()) {
        precedente_ = installer_console(this);
    }
    ~ConsoleMesuree() override { installer_console(precedente_); }
    ConsoleMesuree(const ConsoleMesuree&) = delete;
    ConsoleMesuree& operator=(const ConsoleMesuree&) = delete;

    void ecrire(std::string_view octets) override {
        sortie_.ecrire(octets);
        for (const char octet : octets) {
            redessin_tour_ += glyphe_utf8(static_cast<unsigned char>(octet)).size();
        }
        if (!octets.empty()) {
            colonne_zero_ = octets.back() == '\n';
        }
    }
    void ecrire_nom(std::string_view nom) override { sortie_.ecrire_nom(nom); }
    void ecrire_erreur(std::string_view) override { sortie_.oublier(); }
    void effacer() override {
        sortie_.effacer();
        redessin_tour_ += EFFACER_ECRAN.size();
        colonne_zero_ = true;
    }
    void pause() override {
        if (!colonne_zero_) {
            ecrire("\n");
        }
        ecrire(INVITE_DE_PAUSE);
        attendre();
        ecrire("\n");
    }
    void redimensionner(int, int) override {}
    void titre(std::string_view) override {}
    void couleur(int attribut) override {
        sortie_.couleur(attribut);
        if (attribut != attribut_) {
            attribut_ = attribut;
            redessin_tour_ += sortie_.emetteur().sequence_couleur(attribut).size();
        }
    }
    int lire_touche() override {
        attendre();
        // The turn that read the previous key ends here.
        if (precedente_touche_ == TOUCHE_PREFIXE) {
            prefixes_.push_back(octets_tour_);
        } else if (precedente_touche_ == TOUCHE_OUI && !pas_.empty()) {
            pas_.back() += octets_tour_; // the door's answer belongs to the arrow's step
            redessins_.back() += redessin_tour_;
        } else if (precedente_touche_ != 0) {
            pas_.push_back(octets_tour_);
            redessins_.push_back(redessin_tour_);
        }
        ecritures_max_ = std::max(ecritures_max_, ecritures_tour_);
        octets_tour_ = 0;
        redessin_tour_ = 0;
        ecritures_tour_ = 0;
        if (touches_.empty()) {
            throw FinDeMarche{};
        }
        precedente_touche_ = touches_.front();
        touches_.pop_front();
        return precedente_touche_;
    }
    std::string lire_ligne() override { throw std::logic_error("no typed line on a walk"); }
    void vider_entree() override {}
    void dormir(int) override { attendre(); }
    [[noreturn]] void terminer(int) override { throw FinDeMarche{}; }

    void jouer(std::deque<int> touches) {
        touches_ = std::move(touches);
        precedente_touche_ = 0;
    }

    std::vector<std::size_t> pas_;
    std::vector<std::size_t> prefixes_;
    // What the whole redraws of the same steps cost, as the console sent them before.
    std::vector<std::size_t> redessins_;
    int ecritures_max_ = 0;

private:
    // What the terminal console does before it waits: one frame.
    void attendre() { sortie_.envoyer(); }

    Console* precedente_ = nullptr;
    SortieEcran sortie_;
    std::size_t octets_tour_ = 0;
    std::size_t redessin_tour_ = 0;
    int attribut_ = ATTRIBUT_DEFAUT;
    int ecritures_tour_ = 0;
    int precedente_touche_ = 0;
    bool colonne_zero_ = true;
    std::deque<int> touches_;
};

struct Partie {
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    std::unique_ptr<Sacoche> sacoche = std::make_unique<Sacoche>();
    int l = 0;
    int c = 0;
    sPerso p{};
};

Partie charger(int niveau) {
    Partie partie;
    const std::string fichier =
        std::string(KORVA_FICHIERS_SOURCE) + "/niveaux/niveau" + std::to_string(niveau) + "g.txt";
    if (charger_niveau(fichier, *partie.plateau, partie.l, partie.c) != 0) {
        throw std::runtime_error("cannot read " + fichier);
    }
    (*partie.sacoche)[0].nbObjet = 0;
    copier_nom(partie.p.nom, "Ayla");
    partie.p.corps = partie.p.intellect = partie.p.esprit = partie.p.pouvoir = 12;
    partie.p.endurance = 400; // no fight on the way may end the walk
    partie.p.habilete = 60;
    return partie;
}

// The keys of a walk of the level: its first steps towards the way forward, each arrow after
// its prefix code, 'y' at the closed doors; the walk stops before a locked door.
std::deque<int> touches_de_la_marche(const Partie& partie) {
    const Carte carte(*partie.plateau, partie.l, partie.c);
    const auto etapes = traversee(carte, carte.heros(), false);
    if (!etapes) {
        throw std::runtime_error("no way through the level");
    }
    std::deque<int> touches;
    const std::size_t pas = std::min<std::size_t>(etapes->size() - 1, PAS_PAR_MARCHE);
    for (std::size_t i = 0; i < pas; ++i) {
        const Etape& etape = (*etapes)[i];
        if (etape.typeCase == PORTE_CLE) {
            break;
        }
        touches.push_back(TOUCHE_PREFIXE);
        touches.push_back(etape.fleche);
        if (etape.typeCase == PORTE_FERMEE) {
            touches.push_back(TOUCHE_OUI);
        }
    }
    return touches;
}

std::size_t mediane(std::vector<std::size_t> valeurs) {
    if (valeurs.empty()) {
        return 0;
    }
    std::sort(valeurs.begin(), valeurs.end());
    return valeurs[valeurs.size() / 2];
}

// The whole walk through the real turn loop, the first frame (a full redraw) left out.
void marche(benchmark::State& etat, int niveau) {
    const Partie depart = charger(niveau);
    const std::deque<int> touches = touches_de_la_marche(depart);
    ConsoleMesuree console;
    for (auto _ : etat) {
        etat.PauseTiming();
        Partie partie = charger(niveau);
        std::srand(1);
        console.pas_.clear();
        console.prefixes_.clear();
        console.redessins_.clear();
        console.ecritures_max_ = 0;
        console.jouer(touches);
        etat.ResumeTiming();
        try {
            deroulement_jeu(*partie.plateau, partie.l, partie.c, partie.p, *partie.sacoche,
                            SERRURE_SANS_PORTE);
        } catch (const FinDeMarche&) {
        }
    }
    const auto pire = console.pas_.empty()
                          ? std::size_t{0}
                          : *std::max_element(console.pas_.begin(), console.pas_.end());
    etat.counters["steps"] = static_cast<double>(console.pas_.size());
    etat.counters["step_bytes_median"] = static_cast<double>(mediane(console.pas_));
    etat.counters["step_bytes_worst"] = static_cast<double>(pire);
    etat.counters["prefix_turn_bytes_worst"] =
        static_cast<double>(console.prefixes_.empty() ? 0
                                                      : *std::max_element(console.prefixes_.begin(),
                                                                          console.prefixes_.end()));
    etat.counters["full_redraw_step_bytes_median"] =
        static_cast<double>(mediane(console.redessins_));
    etat.counters["writes_per_turn_max"] = static_cast<double>(console.ecritures_max_);
}

// A console that only draws into a screen model: for frames built outside the turn loop.
class ConsoleModele final : public Console {
public:
    explicit ConsoleModele(EcranModele& modele) : modele_(modele) {
        precedente_ = installer_console(this);
    }
    ~ConsoleModele() override { installer_console(precedente_); }
    ConsoleModele(const ConsoleModele&) = delete;
    ConsoleModele& operator=(const ConsoleModele&) = delete;

    void ecrire(std::string_view octets) override { modele_.ecrire(octets); }
    void ecrire_nom(std::string_view nom) override { modele_.ecrire_nom(nom); }
    void ecrire_erreur(std::string_view) override {}
    void effacer() override { modele_.effacer(); }
    void pause() override {}
    void redimensionner(int, int) override {}
    void titre(std::string_view) override {}
    void couleur(int attribut) override { modele_.couleur(attribut); }
    int lire_touche() override { return TOUCHE_OUI; }
    std::string lire_ligne() override { return "0"; }
    void vider_entree() override {}
    void dormir(int) override {}
    [[noreturn]] void terminer(int) override { throw FinDeMarche{}; }

private:
    EcranModele& modele_;
    Console* precedente_ = nullptr;
};

void dessiner(EcranModele& modele, const Partie& partie) {
    const ConsoleModele vers(modele);
    modele.effacer();
    affichage_plateau(*partie.plateau, partie.l, partie.c, partie.p);
}

// The time to compute one step's differences: the frames before and after the walk's first
// step, in turn, each compared with what the terminal shows (the other one).
void diff_d_un_pas(benchmark::State& etat, int niveau) {
    Partie partie = charger(niveau);
    const std::deque<int> touches = touches_de_la_marche(partie);
    EcranModele avant;
    EcranModele apres;
    dessiner(avant, partie);
    uneSerrure serrure = SERRURE_SANS_PORTE;
    {
        EcranModele brouillon;
        const ConsoleModele vers(brouillon);
        const int a = touches.at(1);
        if (calcul_deplacement(*partie.plateau, partie.l, partie.c, a, partie.p, *partie.sacoche,
                               serrure) == PAS_LIBRE) {
            deplacement(*partie.plateau, partie.l, partie.c, a);
        }
    }
    dessiner(apres, partie);
    EmetteurEcran emetteur(xterm());
    std::string trame;
    emetteur.emettre(avant, trame); // the first frame, drawn whole
    std::size_t octets = 0;
    bool pair = false;
    for (auto _ : etat) {
        trame.clear();
        emetteur.emettre(pair ? avant : apres, trame);
        pair = !pair;
        octets += trame.size();
        benchmark::DoNotOptimize(trame.data());
    }
    etat.counters["step_bytes"] =
        benchmark::Counter(static_cast<double>(octets), benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(marche, level1, 1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(marche, level5, 5)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(diff_d_un_pas, level1, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(diff_d_un_pas, level5, 5)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace korva

BENCHMARK_MAIN();
