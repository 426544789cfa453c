// The server's load, measured on this machine: 200 games of KORVA at once, each on a
// pseudo-terminal of its own as an ssh connection gives it, then 200 watchers of one of them
// (`korva --replay FILE --follow`, as the lobby runs them). It measures the memory of each
// process, the CPU they all use while every one waits for a key (none should spin), and the time
// from a key to the screen it brings, for the player and for every watcher. It prints a Markdown
// table for doc/figures.md (`make bench-serveur`); its progress goes to the error stream.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Horloge = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int PARTIES = 200;
constexpr int SPECTATEURS = 200;
constexpr int TOURS_JOUEURS = 4;        // keys measured on each game, help shown then left
constexpr int TOUCHES_SPECTATEURS = 20; // keys of the watched game, each timed on every watcher
// No output from any program for this long: every one waits for a key. Once a timed screen has
// begun to come, the rest of it comes within the shorter time.
constexpr auto CALME = 500ms;
constexpr auto CALME_APRES_ECRAN = 100ms;
// A screen awaited longer than this is missing; the whole run never lasts longer than the other.
constexpr auto ATTENTE_MAX = 10s;
constexpr auto DUREE_MAX = 600s;
constexpr auto FENETRE_CPU = 10s;
const Horloge::time_point DEBUT = Horloge::now();

[[noreturn]] void echouer(const std::string& raison) {
    std::fprintf(stderr, "serveur_bench: %s\n", raison.c_str());
    std::exit(1);
}

void verifier_duree() {
    if (Horloge::now() - DEBUT > DUREE_MAX) {
        echouer("the run took longer than its bound");
    }
}

struct Programme {
    pid_t pid;
    int maitre;
};

Programme lancer(const std::vector<std::string>& commande, const fs::path& dossier) {
    winsize taille{50, 110, 0, 0};
    int maitre = -1;
    const pid_t pid = ::forkpty(&maitre, nullptr, nullptr, &taille);
    if (pid < 0) {
        echouer("forkpty: cannot open one more pseudo-terminal");
    }
    if (pid == 0) {
        std::vector<char*> arguments;
        for (const std::string& a : commande) {
            arguments.push_back(const_cast<char*>(a.c_str()));
        }
        arguments.push_back(nullptr);
        ::setenv("TERM", "xterm-256color", 1);
        ::setenv("LANG", "C.UTF-8", 1);
        if (::chdir(dossier.c_str()) == 0) {
            ::execv(arguments[0], arguments.data());
        }
        ::_exit(127);
    }
    ::fcntl(maitre, F_SETFL, ::fcntl(maitre, F_GETFL) | O_NONBLOCK);
    return {pid, maitre};
}

// Takes what the program wrote; false when it wrote nothing.
bool vider(int maitre) {
    char tampon[65536];
    bool lu = false;
    while (::read(maitre, tampon, sizeof tampon) > 0) {
        lu = true;
    }
    return lu;
}

// Reads every program's screen until none has written for `calme`.
void attendre_calme(const std::vector<Programme>& programmes,
                    std::chrono::milliseconds calme = CALME) {
    std::vector<pollfd> attente;
    for (const Programme& p : programmes) {
        attente.push_back({p.maitre, POLLIN, 0});
    }
    for (;;) {
        verifier_duree();
        const int prets = ::poll(attente.data(), attente.size(), static_cast<int>(calme.count()));
        if (prets == 0) {
            return;
        }
        for (pollfd& a : attente) {
            if (a.revents != 0 && !vider(a.fd) && (a.revents & POLLHUP) != 0) {
                echouer("a program ended before its time");
            }
        }
    }
}

void taper(const Programme& p, const std::string& touches) {
    if (::write(p.maitre, touches.data(), touches.size()) != static_cast<ssize_t>(touches.size())) {
        echouer("a key could not be typed");
    }
}

// Types `touches` into `joueur` and waits for the first bytes of its screen on each of `ecrans`;
// the milliseconds each took are added to `temps`, in the order of `ecrans`.
void chronometrer(const Programme& joueur, const std::string& touches,
                  const std::vector<Programme>& ecrans, std::vector<double>& temps) {
    std::vector<pollfd> attente;
    for (const Programme& p : ecrans) {
        vider(p.maitre);
        attente.push_back({p.maitre, POLLIN, 0});
    }
    const Horloge::time_point tape = Horloge::now();
    taper(joueur, touches);
    std::vector<double> vus(ecrans.size(), -1);
    for (std::size_t restants = ecrans.size(); restants > 0;) {
        if (Horloge::now() - tape > ATTENTE_MAX ||
            ::poll(attente.data(), attente.size(), 1000) < 0) {
            echouer("a screen did not come");
        }
        const double ms = std::chrono::duration<double, std::milli>(Horloge::now() - tape).count();
        for (std::size_t i = 0; i < attente.size(); ++i) {
            if (attente[i].revents != 0 && vus[i] < 0) {
                vus[i] = ms;
                --restants;
                attente[i].fd = -1; // read whole once every screen has come
            }
        }
    }
    temps.insert(temps.end(), vus.begin(), vus.end());
    attendre_calme(ecrans, CALME_APRES_ECRAN);
}

// A field of /proc/PID/smaps_rollup, in kilobytes.
long memoire_ko(pid_t pid, const std::string& champ) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string ligne; std::getline(f, ligne);) {
        if (ligne.starts_with(champ + ":")) {
            return std::atol(ligne.c_str() + champ.size() + 1);
        }
    }
    return 0;
}

// The CPU time the processes used so far, in clock ticks (user and system).
long long ticks(const std::vector<Programme>& programmes) {
    long long total = 0;
    for (const Programme& p : programmes) {
        std::ifstream f("/proc/" + std::to_string(p.pid) + "/stat");
        std::string texte((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        std::istringstream apres(texte.substr(texte.rfind(')') + 2));
        std::string champ;
        long long utime = 0, stime = 0;
        for (int n = 3; n <= 15 && apres >> champ; ++n) {
            utime = n == 14 ? std::atoll(champ.c_str()) : utime;
            stime = n == 15 ? std::atoll(champ.c_str()) : stime;
        }
        total += utime + stime;
    }
    return total;
}

// The share of one core the processes used, all together, over FENETRE_CPU while they wait.
double cpu_au_repos(const std::vector<Programme>& programmes) {
    const long long avant = ticks(programmes);
    std::vector<Programme> tous = programmes;
    const Horloge::time_point fin = Horloge::now() + FENETRE_CPU;
    while (Horloge::now() < fin) {
        attendre_calme(tous); // their screens are read, should they write anything
    }
    const double secondes = static_cast<double>(ticks(programmes) - avant) / ::sysconf(_SC_CLK_TCK);
    return 100.0 * secondes / std::chrono::duration<double>(FENETRE_CPU).count();
}

double rang(std::vector<double> v, double part) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[static_cast<std::size_t>(part * static_cast<double>(v.size() - 1))];
}

std::string memoire(const std::vector<Programme>& programmes, const std::string& champ) {
    std::vector<double> ko;
    for (const Programme& p : programmes) {
        ko.push_back(static_cast<double>(memoire_ko(p.pid, champ)));
    }
    char texte[64];
    std::snprintf(texte, sizeof texte, "%.1f MB (at most %.1f)", rang(ko, 0.5) / 1024,
                  rang(ko, 1.0) / 1024);
    return texte;
}

std::string ms(double valeur) {
    char texte[32];
    std::snprintf(texte, sizeof texte, "%.1f ms", valeur);
    return texte;
}

void arreter(const std::vector<Programme>& programmes) {
    for (const Programme& p : programmes) {
        ::kill(p.pid, SIGKILL);
        ::close(p.maitre);
    }
    for (const Programme& p : programmes) {
        ::waitpid(p.pid, nullptr, 0);
    }
}

} // namespace

int main() {
    std::signal(SIGPIPE, SIG_IGN);
    const fs::path racine =
        fs::temp_directory_path() / ("korva-bench-" + std::to_string(::getpid()));
    fs::create_directories(racine);
    fs::copy(KORVA_FICHIERS_SOURCE, racine / "donnees", fs::copy_options::recursive);
    std::ofstream(racine / "registre.txt") << "0\n";
    double charge = 0;
    std::ifstream("/proc/loadavg") >> charge;
    int inotify = 0;
    std::ifstream("/proc/sys/fs/inotify/max_user_instances") >> inotify;

    // Each game in a folder laid out as a server's account: links to the data, the registry
    // shared.
    std::fprintf(stderr, "starting %d games\n", PARTIES);
    std::vector<Programme> parties;
    for (int i = 0; i < PARTIES; ++i) {
        const fs::path fichiers = racine / std::to_string(i) / "fichiers";
        fs::create_directories(fichiers / "personnages");
        for (const char* donnee : {"niveaux", "presentation", "parchemins"}) {
            fs::create_directory_symlink(racine / "donnees" / donnee, fichiers / donnee);
        }
        fs::create_symlink(racine / "registre.txt", fichiers / "personnages/joueurs.txt");
        parties.push_back(lancer({KORVA_BINAIRE}, fichiers.parent_path()));
    }
    // The title, the menu, a new hero and its class, its sheet: then the board.
    for (const std::string touches : {"", " ", "1", "#", " "}) {
        attendre_calme(parties);
        for (int i = 0; i < PARTIES; ++i) {
            taper(parties[i], touches == "#" ? "Hero" + std::to_string(i) + "\r1\r" : touches);
        }
    }
    attendre_calme(parties);
    std::fprintf(stderr, "measuring the games at rest\n");
    const double cpu_parties = cpu_au_repos(parties);
    std::vector<double> joueurs;
    for (int tour = 0; tour < TOURS_JOUEURS; ++tour) {
        for (const Programme& p : parties) {
            chronometrer(p, tour % 2 == 0 ? "h" : " ", {p}, joueurs);
        }
    }

    std::fprintf(stderr, "starting %d watchers of one game\n", SPECTATEURS);
    const fs::path suivi = racine / "0/fichiers/enregistrements";
    const fs::directory_iterator enregistrement(suivi);
    if (enregistrement == fs::directory_iterator()) {
        echouer("the first game has no recording");
    }
    std::vector<Programme> spectateurs;
    for (int i = 0; i < SPECTATEURS; ++i) {
        spectateurs.push_back(
            lancer({KORVA_BINAIRE, "--replay", enregistrement->path().string(), "--follow"},
                   racine / "0"));
    }
    attendre_calme(spectateurs);
    const double cpu_spectateurs = cpu_au_repos(spectateurs);
    std::vector<double> joueur_suivi, vus;
    for (int n = 0; n < TOUCHES_SPECTATEURS; ++n) {
        std::vector<double> temps;
        std::vector<Programme> ecrans{parties[0]};
        ecrans.insert(ecrans.end(), spectateurs.begin(), spectateurs.end());
        chronometrer(parties[0], n % 2 == 0 ? "h" : " ", ecrans, temps);
        joueur_suivi.push_back(temps[0]);
        vus.insert(vus.end(), temps.begin() + 1, temps.end());
    }
    const std::string memoire_parties = memoire(parties, "Rss"),
                      pss_parties = memoire(parties, "Pss");
    const std::string memoire_spectateurs = memoire(spectateurs, "Rss"),
                      pss_spectateurs = memoire(spectateurs, "Pss");
    arreter(spectateurs);
    arreter(parties);
    std::error_code ignore;
    fs::remove_all(racine, ignore);

    std::printf("%d games of `korva` at once, each on a pseudo-terminal of 110 by 50 "
                "(xterm-256color) and at its board, then %d `korva --replay FILE --follow` "
                "watching the first; on %ld cores, the load average %.2f at the start (other "
                "builds share the machine).\n\n",
                PARTIES, SPECTATEURS, ::sysconf(_SC_NPROCESSORS_ONLN), charge);
    std::printf("| | A game (its player) | A watcher |\n|---|---|---|\n");
    std::printf("| Memory per process, resident, median | %s | %s |\n", memoire_parties.c_str(),
                memoire_spectateurs.c_str());
    std::printf("| Memory per process, its share of pages shared, median | %s | %s |\n",
                pss_parties.c_str(), pss_spectateurs.c_str());
    std::printf("| CPU of all %d while each waits, over %.0f s | %.2f%% of a core | %.2f%% of a "
                "core |\n",
                PARTIES, std::chrono::duration<double>(FENETRE_CPU).count(), cpu_parties,
                cpu_spectateurs);
    std::printf("| Key to screen, median | %s | %s |\n", ms(rang(joueurs, 0.5)).c_str(),
                ms(rang(vus, 0.5)).c_str());
    std::printf("| Key to screen, 99th percentile | %s | %s |\n", ms(rang(joueurs, 0.99)).c_str(),
                ms(rang(vus, 0.99)).c_str());
    std::printf("| Keys timed | %zu, %d on each game | %d, each on all %d watchers |\n\n",
                joueurs.size(), TOURS_JOUEURS, TOUCHES_SPECTATEURS, SPECTATEURS);
    std::printf("The watched game's own player, while %d watch: key to screen %s at the median, "
                "%s at the 99th percentile. A key is `h` (the help screen) or the key that "
                "leaves it, each a whole screen. Watchers wake through inotify, %d instances "
                "per user here: those past the limit look at the recording every 50 ms.\n",
                SPECTATEURS, ms(rang(joueur_suivi, 0.5)).c_str(),
                ms(rang(joueur_suivi, 0.99)).c_str(), inotify);
    return 0;
}
