// Logins while passwords are guessed, measured on this machine: korva-serveur's lobbies, each on
// a pseudo-terminal of its own as sshd starts them, while players log in to their own accounts
// one after another; each login is timed from its password's Enter to its account's menu. First
// alone, then while 100 connections guess one account's password, then while they guess the
// passwords of 100 names, each as fast as the server answers (a guess on a connection of its own,
// hung up at the answer, so that no wait after a failure slows the next). It prints a Markdown
// table for doc/figures.md (`make bench-connexions`); its progress goes to the error stream.
#include "serveur/comptes.hpp"
#include "serveur/places.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
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

constexpr int DEVINEURS = 100;
constexpr int JOUEURS = 10;    // the real players' accounts, logged in to in turn
constexpr int CONNEXIONS = 40; // logins timed in each round
constexpr const char* CIBLE = "target";
// The guessers' pace is taken once they have all guessed this many times, on average.
constexpr int ESSAIS_AVANT = 2;
// A screen awaited longer than this is missing; the whole run never lasts longer than the other.
constexpr auto ATTENTE_MAX = 120s;
constexpr auto DUREE_MAX = 600s;
constexpr auto RELEVE = 100ms; // how often the places held and the memory are read
// The places of the pool of checks read, past any number a server would set.
constexpr int PLACES_LUES = 64;
const Horloge::time_point DEBUT = Horloge::now();
// The run's folder, the server's data in it: nothing of it is left behind, whatever the end.
const fs::path RACINE =
    fs::temp_directory_path() / ("korva-bench-connexions-" + std::to_string(::getpid()));

[[noreturn]] void echouer(const std::string& raison) {
    std::fprintf(stderr, "connexions_bench: %s\n", raison.c_str());
    std::error_code ignore;
    fs::remove_all(RACINE, ignore);
    std::exit(1);
}

// The texts each screen is known by, as the lobby writes them.
constexpr const char* ACCUEIL = "Ctrl-D goes back";
constexpr const char* NOM = "Account name:";
constexpr const char* MOT = "Password:";
constexpr const char* ENCORE = "again:";
constexpr const char* MENU = "change the password";
constexpr const char* REFUS = "Wrong account name";

// A lobby driven through its screens: each step types its keys once the text awaited has come.
struct Hall {
    pid_t pid = -1;
    int maitre = -1;
    std::vector<std::pair<std::string, std::string>> etapes; // text awaited, then keys typed
    std::size_t etape = 0;
    std::string vu;
    Horloge::time_point tape; // when the last keys were typed
};

Hall ouvrir(const std::string& configuration, std::vector<std::pair<std::string, std::string>> e) {
    winsize taille{50, 110, 0, 0};
    Hall h;
    h.pid = ::forkpty(&h.maitre, nullptr, nullptr, &taille);
    if (h.pid < 0) {
        echouer("forkpty: cannot open one more pseudo-terminal");
    }
    if (h.pid == 0) {
        ::setenv("TERM", "xterm-256color", 1);
        ::setenv("LANG", "C.UTF-8", 1);
        ::setenv("SSH_CONNECTION", "127.0.0.1 4000 127.0.0.1 22", 1);
        ::execl(KORVA_SERVEUR_BINAIRE, KORVA_SERVEUR_BINAIRE, "--config", configuration.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::fcntl(h.maitre, F_SETFL, ::fcntl(h.maitre, F_GETFL) | O_NONBLOCK);
    // No other lobby keeps it open: closed here, its terminal hangs up.
    ::fcntl(h.maitre, F_SETFD, FD_CLOEXEC);
    h.etapes = std::move(e);
    h.tape = Horloge::now();
    return h;
}

void fermer(Hall& h) {
    ::close(h.maitre); // the lobby hangs up as on a dropped connection
    h.maitre = -1;
}

// Reads what came; true once the lobby has taken its last step's keys and shown the text after.
bool avancer(Hall& h) {
    char tampon[65536];
    for (ssize_t lus; (lus = ::read(h.maitre, tampon, sizeof tampon)) > 0;) {
        h.vu.append(tampon, static_cast<std::size_t>(lus));
    }
    while (h.etape < h.etapes.size()) {
        const std::size_t trouve = h.vu.find(h.etapes[h.etape].first);
        if (trouve == std::string::npos) {
            return false;
        }
        h.vu.erase(0, trouve + h.etapes[h.etape].first.size());
        const std::string& touches = h.etapes[h.etape++].second;
        if (touches.empty()) {
            continue;
        }
        if (::write(h.maitre, touches.data(), touches.size()) !=
            static_cast<ssize_t>(touches.size())) {
            echouer("keys could not be typed");
        }
        h.tape = Horloge::now();
    }
    return true;
}

std::vector<std::pair<std::string, std::string>> connexion(const std::string& nom,
                                                           const std::string& mot) {
    return {{ACCUEIL, "1"}, {NOM, nom + "\r"}, {MOT, mot + "\r"}};
}

// The resident memory of every lobby still running, in megabytes.
double memoire_mo(const std::vector<Hall>& halls) {
    long pages = 0;
    for (const Hall& h : halls) {
        long taille = 0, residentes = 0;
        std::ifstream("/proc/" + std::to_string(h.pid) + "/statm") >> taille >> residentes;
        pages += residentes;
    }
    return static_cast<double>(pages) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1048576.0;
}

struct Tour {
    std::vector<double> connexions_ms;
    int essais = 0; // guesses answered while the logins were timed
    double secondes = 0;
    int places_max = 0;
    double memoire_max_mo = 0;
};

void verifier(const Hall& h) {
    if (Horloge::now() - DEBUT > DUREE_MAX) {
        echouer("the run took longer than its bound");
    }
    if (Horloge::now() - h.tape > ATTENTE_MAX) {
        echouer("a lobby's screen did not come: " + h.vu.substr(0, 200));
    }
}

// Times CONNEXIONS logins of the players, one after another, while `nombre` guessers (none or
// DEVINEURS) guess passwords, each guess on a connection of its own: all the target's, or each
// guesser a name of its own when `une_cible` is false.
Tour mesurer(const std::string& configuration, const std::string& donnees, int nombre,
             bool une_cible) {
    int essais = 0, essai = 0;
    const auto deviner = [&] {
        ++essai;
        return ouvrir(
            configuration,
            {{ACCUEIL, "1"},
             {NOM,
              (une_cible ? std::string(CIBLE) : "guesser" + std::to_string(essai % nombre)) + "\r"},
             {MOT, "guess" + std::to_string(essai) + "\r"},
             {REFUS, ""}});
    };
    std::vector<Hall> devineurs;
    for (int i = 0; i < nombre; ++i) {
        devineurs.push_back(deviner());
    }
    std::optional<Hall> joueur;
    Tour tour;
    bool pret = nombre == 0;
    Horloge::time_point debut = Horloge::now(), releve{};
    for (int n = 0; n < CONNEXIONS;) {
        if (!pret && essais >= ESSAIS_AVANT * nombre) {
            pret = true; // the guessers are at their pace
            debut = Horloge::now();
            essais = 0;
        }
        if (pret && !joueur) {
            const std::string nom = "player" + std::to_string(n % JOUEURS);
            joueur = ouvrir(configuration, connexion(nom, "secret-" + nom));
            joueur->etapes.emplace_back(MENU, "");
        }
        std::vector<pollfd> attente;
        for (const Hall& h : devineurs) {
            attente.push_back({h.maitre, POLLIN, 0});
        }
        if (joueur) {
            attente.push_back({joueur->maitre, POLLIN, 0});
        }
        ::poll(attente.data(), attente.size(), static_cast<int>(RELEVE.count()));
        for (Hall& h : devineurs) {
            verifier(h);
            if (avancer(h)) {
                ++essais;
                fermer(h);
                h = deviner();
            }
        }
        if (joueur) {
            verifier(*joueur);
            if (avancer(*joueur)) { // timed from the password's Enter, its last keys
                tour.connexions_ms.push_back(
                    std::chrono::duration<double, std::milli>(Horloge::now() - joueur->tape)
                        .count());
                fermer(*joueur);
                joueur.reset();
                ++n;
            }
        }
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        if (Horloge::now() - releve >= RELEVE) {
            releve = Horloge::now();
            tour.places_max =
                std::max(tour.places_max,
                         korva::serveur::places_tenues(
                             donnees + "/" + korva::serveur::PLACES_VERIFICATIONS, PLACES_LUES));
            tour.memoire_max_mo = std::max(tour.memoire_max_mo, memoire_mo(devineurs));
        }
    }
    tour.essais = essais;
    tour.secondes = std::chrono::duration<double>(Horloge::now() - debut).count();
    for (Hall& h : devineurs) {
        fermer(h);
    }
    while (::waitpid(-1, nullptr, 0) > 0) {
    }
    return tour;
}

double rang(std::vector<double> v, double part) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[static_cast<std::size_t>(part * static_cast<double>(v.size() - 1))];
}

// Registers the account `nom` through a lobby, as a player does.
void inscrire(const std::string& configuration, const std::string& nom, const std::string& mot) {
    Hall h = ouvrir(
        configuration,
        {{ACCUEIL, "2"}, {NOM, nom + "\r"}, {MOT, mot + "\r"}, {ENCORE, mot + "\r"}, {MENU, ""}});
    while (!avancer(h)) {
        pollfd attente{h.maitre, POLLIN, 0};
        ::poll(&attente, 1, 1000);
        if (Horloge::now() - h.tape > ATTENTE_MAX) {
            echouer("a registration did not come through: " + h.vu.substr(0, 200));
        }
    }
    fermer(h);
    ::waitpid(h.pid, nullptr, 0);
}

// A round's row; the guessers' columns are empty for the round without them.
std::string ligne(const std::string& quoi, const Tour& t, bool devineurs) {
    char texte[512];
    std::snprintf(texte, sizeof texte, "| %s | %.0f ms | %.0f ms | %zu |", quoi.c_str(),
                  rang(t.connexions_ms, 0.5), rang(t.connexions_ms, 0.99), t.connexions_ms.size());
    std::string rangee = texte;
    std::snprintf(texte, sizeof texte, " %.1f a second | %d | %.0f MB |\n", t.essais / t.secondes,
                  t.places_max, t.memoire_max_mo);
    return rangee + (devineurs ? texte : " | | |\n");
}

} // namespace

int main() {
    std::signal(SIGPIPE, SIG_IGN);
    const fs::path& racine = RACINE;
    const std::string donnees = (racine / "donnees").string();
    fs::create_directories(donnees);
    const std::string configuration = (racine / "serveur.conf").string();
    // The packaged settings, but for the registrations of one address.
    std::ofstream(configuration) << "data " << donnees << "\ngame " KORVA_BINAIRE "\nlog "
                                 << (racine / "journal.txt").string()
                                 << "\nregistrations-per-hour 1000\n";
    double charge = 0;
    std::ifstream("/proc/loadavg") >> charge;

    std::fprintf(stderr, "registering %d accounts\n", JOUEURS + 1);
    inscrire(configuration, CIBLE, "the-target's-own");
    for (int i = 0; i < JOUEURS; ++i) {
        const std::string nom = "player" + std::to_string(i);
        inscrire(configuration, nom, "secret-" + nom);
    }
    std::fprintf(stderr, "timing %d logins alone\n", CONNEXIONS);
    const Tour seules = mesurer(configuration, donnees, 0, true);
    std::fprintf(stderr, "timing %d logins under %d guessers of one account\n", CONNEXIONS,
                 DEVINEURS);
    const Tour devinees = mesurer(configuration, donnees, DEVINEURS, true);
    std::fprintf(stderr, "timing %d logins under %d guessers of names of their own\n", CONNEXIONS,
                 DEVINEURS);
    const Tour dispersees = mesurer(configuration, donnees, DEVINEURS, false);
    std::error_code ignore;
    fs::remove_all(racine, ignore);

    std::printf("korva-serveur's lobbies on pseudo-terminals of 110 by 50, with the packaged "
                "settings (password checks at once: 2, each Argon2id with libsodium's "
                "interactive costs); on %ld cores, the load average %.2f at the start (other "
                "builds share the machine). A login is timed from its password's Enter to its "
                "account's menu.\n\n",
                ::sysconf(_SC_NPROCESSORS_ONLN), charge);
    std::printf("| Logins | Median | 99th percentile | Timed | Guesses answered | Checks under "
                "way at once, at most | The guessers' lobbies' memory, at most |\n"
                "|---|---|---|---|---|---|---|\n");
    const std::string devineurs = "while " + std::to_string(DEVINEURS) + " connections guess ";
    std::fputs((ligne("alone, one after another", seules, false) +
                ligne(devineurs + "one account's password", devinees, true) +
                ligne(devineurs + "the passwords of as many names", dispersees, true))
                   .c_str(),
               stdout);
    std::printf("\nEach guesser hangs up at the answer and guesses again on a new connection, so "
                "that no wait after a failure slows it; the checks under way and the memory are "
                "read every %lld ms. The logins of one name take turns: the guessers of one "
                "account hold one place at most, and the players' logins take the other. Guessers "
                "of many names take every place, and a login waits its turn among them: "
                "`password-checks-at-once` trades memory (64 MiB a check) for that wait.\n",
                static_cast<long long>(RELEVE.count()));
    return 0;
}
