// The balance tool: heroes of every class created by the game's own dice play the shipped
// level files with stated policies, through the game's own fights, bag, potions, armor, swords,
// parchments and gold, so its figures follow the rules as they are.
//
//     korva_equilibre [--heros N]              the table, N heroes per class and policy
//     korva_equilibre --script CLASS [SEED]    the keys of one careful game that wins, for the
//                                              first seed from 1 whose hero wins, or for SEED
//     korva_equilibre --graines [CLASS]        the seeds 1 to 1000 whose careful hero wins
//
// Each may begin with --racine DIR, the folder that holds the game's `fichiers` (by default the
// repository's; parchments are read there), and --niveaux DIR, another folder of level files
// (by default DIR/fichiers/niveaux).

#include "partie_simulee.hpp"

#include "characters/hasard.hpp"
#include "files/enregistrement.hpp"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace korva {
namespace {

constexpr int HEROS_PAR_DEFAUT = 20000;
constexpr int CLASSES = 4;
constexpr std::array<const char*, CLASSES> NOMS_CLASSES{"warrior", "magician", "priest", "crafty"};
constexpr unsigned GRAINES_LISTEES = 1000;
constexpr unsigned ECART_CLASSES = 1000003; // heroes of different classes never share a seed

struct Bilan {
    int parties = 0;
    int victoires = 0;
    long long score_victoires = 0;
    std::array<int, NIVEAUX_DU_DONJON + 1> morts{};
};

int usage() {
    std::fprintf(stderr,
                 "usage: korva_equilibre [--racine DIR] [--niveaux DIR] [--heros N]\n"
                 "       korva_equilibre [--racine DIR] [--niveaux DIR] --script CLASS [SEED]\n"
                 "       korva_equilibre [--racine DIR] [--niveaux DIR] --graines [CLASS]\n");
    return 2;
}

double pour_cent(int part, int tout) {
    return tout == 0 ? 0.0 : 100.0 * part / tout;
}

void tableau(const Donjon& donjon, int heros) {
    ConsoleMuette console;
    const auto debut = std::chrono::steady_clock::now();
    std::printf("Balance of the shipped dungeon: %d heroes per class and policy\n\n", heros);
    std::printf("| Policy | Class | Wins | Fights on the way | Winners' mean score | Deaths on "
                "level 1 / 2 / 3 / 4 / 5 |\n|---|---|---|---|---|---|\n");
    for (const Politique politique : POLITIQUES) {
        const std::optional<Plan> plan = planifier(donjon, politique);
        if (!plan) {
            std::printf("| %s | no way through the dungeon |\n", nom_politique(politique));
            continue;
        }
        for (int classe = 0; classe < CLASSES; ++classe) {
            Bilan bilan;
            for (int h = 0; h < heros; ++h) {
                const unsigned graine =
                    static_cast<unsigned>(classe) * ECART_CLASSES + static_cast<unsigned>(h) + 1;
                const Issue issue = jouer_partie(donjon, *plan, boit_avant_combat(politique),
                                                 classe, graine, console);
                ++bilan.parties;
                if (issue.gagne) {
                    ++bilan.victoires;
                    bilan.score_victoires += issue.score;
                } else {
                    ++bilan.morts[static_cast<std::size_t>(issue.niveau_de_la_mort)];
                }
            }
            std::printf("| %s | %s | %.1f%% | %d | %.0f | ", nom_politique(politique),
                        NOMS_CLASSES[static_cast<std::size_t>(classe)],
                        pour_cent(bilan.victoires, bilan.parties), plan->combats,
                        bilan.victoires
                            ? static_cast<double>(bilan.score_victoires) / bilan.victoires
                            : 0.0);
            for (int n = 1; n <= NIVEAUX_DU_DONJON; ++n) {
                std::printf("%.1f%%%s",
                            pour_cent(bilan.morts[static_cast<std::size_t>(n)], bilan.parties),
                            n < NIVEAUX_DU_DONJON ? " / " : " |\n");
            }
        }
    }
    const auto duree = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut);
    std::printf("\n(%.1f s)\n", duree.count());
}

// What the turn loop reads, one a line, in the words of a recording: "key CODE", an arrow as
// "up", "down", "left" or "right", "pause" (any key), "line TEXT" (a line typed and ended with
// Enter). Seed 0: the first from 1 that wins.
int script(const Donjon& donjon, int classe, unsigned graine) {
    const std::optional<Plan> plan = planifier(donjon, Politique::prudent);
    if (!plan) {
        std::fprintf(stderr, "no way through the dungeon\n");
        return 1;
    }
    ConsoleMuette console;
    for (unsigned essai = 1; graine == 0 && essai <= GRAINES_LISTEES; ++essai) {
        if (jouer_partie(donjon, *plan, true, classe, essai, console).gagne) {
            graine = essai;
        }
    }
    if (graine == 0) {
        std::fprintf(stderr, "no careful %s wins with a seed from 1 to %u\n",
                     NOMS_CLASSES[static_cast<std::size_t>(classe)], GRAINES_LISTEES);
        return 1;
    }
    std::vector<Lecture> journal;
    const Issue issue = jouer_partie(donjon, *plan, true, classe, graine, console, &journal);
    if (!issue.gagne) {
        std::fprintf(stderr, "the careful %s of seed %u dies on level %d\n",
                     NOMS_CLASSES[static_cast<std::size_t>(classe)], graine,
                     issue.niveau_de_la_mort);
        return 1;
    }
    std::printf("# seed %u, class %d, careful, score %d, %zu reads\n", graine, classe, issue.score,
                journal.size());
    // As a recording writes them, an arrow's prefix code and its own as one.
    for (std::size_t i = 0; i < journal.size(); ++i) {
        const Lecture& lecture = journal[i];
        Evenement evenement{Evenement::Sorte::touche, lecture.code, {}};
        if (lecture.sorte == Lecture::Sorte::pause) {
            evenement = {Evenement::Sorte::pause, 0, {}};
        } else if (lecture.sorte == Lecture::Sorte::ligne) {
            evenement = {Evenement::Sorte::ligne, 0, lecture.texte};
        } else if (lecture.code == TOUCHE_PREFIXE && i + 1 < journal.size()) {
            evenement = {Evenement::Sorte::fleche, journal[++i].code, {}};
        }
        std::fputs(ligne_evenement(evenement).c_str(), stdout);
    }
    // The victory screen waits for one key.
    std::fputs(ligne_evenement({Evenement::Sorte::pause, 0, {}}).c_str(), stdout);
    return 0;
}

int graines(const Donjon& donjon, int classe) {
    const std::optional<Plan> plan = planifier(donjon, Politique::prudent);
    if (!plan) {
        return 1;
    }
    ConsoleMuette console;
    std::printf("Seeds 1 to %u whose careful %s wins:", GRAINES_LISTEES,
                NOMS_CLASSES[static_cast<std::size_t>(classe)]);
    for (unsigned graine = 1; graine <= GRAINES_LISTEES; ++graine) {
        if (jouer_partie(donjon, *plan, true, classe, graine, console).gagne) {
            std::printf(" %u", graine);
        }
    }
    std::printf("\n");
    return 0;
}

int classe_de(const char* texte) {
    const int classe = std::atoi(texte);
    return classe >= 0 && classe < CLASSES ? classe : -1;
}

int principal(int argc, char** argv) {
    int heros = HEROS_PAR_DEFAUT;
    std::string racine = KORVA_RACINE;
    std::vector<std::string> mots(argv + 1, argv + argc);
    std::string niveaux;
    for (std::size_t k = 0; k + 1 < mots.size();) {
        if (mots[k] == "--racine" || mots[k] == "--niveaux") {
            // Relative to the folder the tool was started in, which it leaves below.
            (mots[k] == "--racine" ? racine : niveaux) =
                std::filesystem::absolute(mots[k + 1]).string();
            mots.erase(mots.begin() + static_cast<long>(k),
                       mots.begin() + static_cast<long>(k) + 2);
        } else {
            ++k;
        }
    }
    // Parchments are read from the working directory, as the game does.
    std::error_code erreur;
    std::filesystem::current_path(racine, erreur);
    if (erreur) {
        std::fprintf(stderr, "%s: %s\n", racine.c_str(), erreur.message().c_str());
        return 1;
    }
    const std::optional<Donjon> donjon =
        lire_donjon(niveaux.empty() ? "fichiers/niveaux" : niveaux);
    if (!donjon) {
        return 1;
    }
    if ((mots.size() == 2 || mots.size() == 3) && mots[0] == "--script") {
        const int classe = classe_de(mots[1].c_str());
        const unsigned long graine = mots.size() == 3 ? std::stoul(mots[2]) : 0;
        return classe < 0 || (mots.size() == 3 && graine == 0)
                   ? usage()
                   : script(*donjon, classe, static_cast<unsigned>(graine));
    }
    if (!mots.empty() && mots[0] == "--graines" && mots.size() <= 2) {
        const int classe = mots.size() == 2 ? classe_de(mots[1].c_str()) : 0;
        return classe < 0 ? usage() : graines(*donjon, classe);
    }
    if (mots.size() == 2 && mots[0] == "--heros" && std::atoi(mots[1].c_str()) > 0) {
        heros = std::atoi(mots[1].c_str());
    } else if (!mots.empty()) {
        return usage();
    }
    tableau(*donjon, heros);
    return 0;
}

} // namespace
} // namespace korva

int main(int argc, char** argv) {
    // The game's own dice, which draw the same numbers on every system: the seeds and figures
    // found here hold wherever the tool runs, and in the tests.
    korva::installer_hasard(korva::hasard_portable());
    return korva::principal(argc, argv);
}
