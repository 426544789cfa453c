// A thousand players at once, measured as they play (`make bench-charge`): the same lobby and
// game reached four ways (the lobby on pseudo-terminals as sshd hands them over, the real sshd on
// 127.0.0.1, korva-web's WebSockets, and the web terminal bridge wetty for comparison), for N
// players of each, N = 100, 250, 500 and 1,000 by default; then games watched through korva-web.
// It prints Markdown for doc/figures.md; its progress goes to the error stream.
//
//     build/korva_bench_charge [BRIDGE_NPM_FOLDER [N...]]
//
// A guardian process stays above the benchmark and, however the benchmark ends, ends every
// process it left (as their subreaper, it inherits them all), removes its files, and takes the
// system account of the sshd part away.
#include "rapport.hpp"
#include "serveur.hpp"
#include "sshd.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::charge {

namespace {

using namespace std::chrono_literals;

fs::path dossier_du_banc(pid_t pid) {
    return fs::temp_directory_path() / ("korva-bench-charge-" + std::to_string(pid));
}

// Player i's own loopback address, for way in `voie`.
std::string adresse(int voie, int i) {
    return "127.1" + std::to_string(voie) + "." + std::to_string(i / 250) + "." +
           std::to_string(1 + i % 250);
}

std::vector<std::string> environnement_terminal(const std::string& adresse_client) {
    return {"SSH_CONNECTION=" + adresse_client + " 4000 127.0.0.1 22", "TERM=xterm-256color",
            "LANG=C.UTF-8"};
}

// A data folder and a lobby's configuration of the way's own: accounts made, nothing played.
fs::path preparer_hall(const fs::path& dossier, const std::string& nom, int comptes) {
    const fs::path donnees = dossier / (nom + "-donnees");
    ecrire_comptes(donnees, comptes);
    const fs::path configuration = dossier / (nom + "-hall.conf");
    ecrire_configuration(configuration, donnees, KORVA_BINAIRE, dossier / "jeu");
    return configuration;
}

ResultatVoie non_mesuree(const std::string& nom, const std::string& raison) {
    ResultatVoie r;
    r.nom = nom;
    r.raison = raison;
    return r;
}

int banc(const fs::path& pont, std::vector<int> paliers) {
    const double charge = charge_moyenne();
    const fs::path dossier = dossier_du_banc(::getpid());
    fs::create_directories(dossier);
    ecrire_donnees_du_jeu(dossier / "jeu");
    const int comptes = paliers.back() + CONNEXIONS_A_LA_FOIS;
    asio::io_context io;
    std::vector<ResultatVoie> voies;
    std::vector<ResultatRegards> regards;
    std::string raison_regards;

    const std::string nom_web = "korva-web's WebSockets";
    {
        const fs::path hall = preparer_hall(dossier, "web", comptes);
        const Service w = demarrer_korva_web(dossier, hall);
        if (w.pid < 0) {
            voies.push_back(non_mesuree(nom_web, w.raison));
            raison_regards = w.raison;
        } else {
            Voie v{nom_web,
                   [&](int i) { return lien_web(io, w.port, "/play", adresse(0, i), ORIGINE); },
                   {w.pid}};
            voies.push_back(mesurer_voie(io, v, paliers, Horloge::now() + 9min));
            regards = mesurer_regards(io, w.port, w.pid, paliers.back(), Horloge::now() + 5min);
            arreter(w.pid, 30);
        }
    }
    const std::string nom_pont = "wetty, the web terminal bridge, beside it";
    {
        const fs::path hall = preparer_hall(dossier, "pont", comptes);
        const Service p = demarrer_pont(pont, dossier, hall);
        if (p.pid < 0) {
            voies.push_back(non_mesuree(nom_pont, p.raison));
        } else {
            Voie v{nom_pont, [&](int i) { return lien_pont(io, p.port, adresse(1, i)); }, {p.pid}};
            voies.push_back(mesurer_voie(io, v, paliers, Horloge::now() + 9min));
            arreter(p.pid, 30);
        }
    }
    {
        const fs::path hall = preparer_hall(dossier, "hall", comptes);
        Voie v{"The lobby on pseudo-terminals, as sshd hands them over",
               [&](int i) {
                   return lien_terminal(io, {KORVA_SERVEUR_BINAIRE, "--config", hall.string()},
                                        environnement_terminal(adresse(2, i)));
               },
               {},
               true};
        voies.push_back(mesurer_voie(io, v, paliers, Horloge::now() + 9min));
    }
    const std::string nom_ssh = "The real sshd on 127.0.0.1, an ssh client for each player";
    {
        const Sshd s = demarrer_sshd(comptes, 2 * comptes, dossier / "ssh");
        if (s.pid < 0) {
            voies.push_back(non_mesuree(nom_ssh, s.raison));
        } else {
            Voie v{nom_ssh,
                   [&](int i) {
                       return lien_terminal(io, client_ssh(s, adresse(3, i)),
                                            {"TERM=xterm-256color", "LANG=C.UTF-8"});
                   },
                   {s.pid},
                   false,
                   true};
            voies.push_back(mesurer_voie(io, v, paliers, Horloge::now() + 14min));
            arreter(s.pid, 30);
        }
    }

    std::printf(
        "N players at once through each way in, on %ld cores shared with other developers' "
        "builds and tests (the load average was %.2f at the start, and is given before each N: "
        "these figures are noisy). Every player logs in to an account made beforehand (one "
        "password hashed once with Argon2id at the lobby's costs; a login still checks it, two "
        "at a time, as packaged), makes a hero and plays in open loop: a key at a random moment, "
        "evenly 0.5 to 1.5 s after its last one (one a second on average), sent when due whether "
        "the last was answered or not. Of the keys, 85%% are steps in a room of the benchmark's "
        "own level, where walking never ends the game, 7.5%% open the help screen and 7.5%% the "
        "bag, each followed by the key that leaves it. A key is timed from its sending to the "
        "first byte of its answer, and to its whole screen: the last byte before %lld ms without "
        "any. CPU per key is the CPU time of every process of the server (not of the benchmark "
        "nor of the ssh clients) over a window of play, divided by the keys sent in it; memory "
        "is the proportional set size of each (`/proc/PID/smaps_rollup`: shared pages counted "
        "once), read while every player thinks, as is the CPU of all over %lld s with no key "
        "anywhere. The lobby's limits are raised past the run (games, lobbies, watchers at once "
        "and per address), and each client comes from a loopback address of its own. The game, "
        "the lobby, sshd and the ssh clients, korva-web or node, and the benchmark itself all "
        "share the two cores.\n\n",
        ::sysconf(_SC_NPROCESSORS_ONLN), charge, static_cast<long long>(CALME.count()), 5LL);
    for (const ResultatVoie& r : voies) {
        std::fputs(rapport_voie(r).c_str(), stdout);
    }
    std::fputs(rapport_seuils(voies).c_str(), stdout);
    std::fputs(rapport_comparaison(voies[0], voies[1]).c_str(), stdout);
    std::fputs(rapport_regards(regards, raison_regards).c_str(), stdout);
    int inotify = 0;
    std::ifstream("/proc/sys/fs/inotify/max_user_instances") >> inotify;
    std::printf("A watch wakes through inotify, %d instances per user here (every process of the "
                "run is root's, and so are other developers' on this machine): the watchers "
                "past that look at the recording every 50 ms; korva-web's watchers share one "
                "watch of each game. A watch is refused (404) until korva-web, which looks at "
                "the games in progress once a second, has seen its game, and is tried again.\n",
                inotify);
    return 0;
}

pid_t banc_en_cours = -1;

void transmettre(int signal) {
    if (banc_en_cours > 0) {
        ::kill(banc_en_cours, signal);
    }
}

// Everything the benchmark left: its processes (the guardian's children now), its files, the
// account of its sshd.
void nettoyer(pid_t pid) {
    for (const auto fin = Horloge::now() + 30s; Horloge::now() < fin;) {
        const std::vector<pid_t> restants = descendants(::getpid());
        if (restants.empty()) {
            break;
        }
        for (const pid_t p : restants) {
            ::kill(p, SIGKILL);
        }
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        std::this_thread::sleep_for(100ms);
    }
    desinstaller_sshd(compte_ssh(pid), racine_ssh(pid));
    std::error_code ignore;
    fs::remove_all(dossier_du_banc(pid), ignore);
}

} // namespace
} // namespace korva::charge

int main(int argc, char** argv) {
    using namespace korva::charge;
    const fs::path pont = argc > 1 ? argv[1] : "";
    std::vector<int> paliers;
    for (int i = 2; i < argc; ++i) {
        paliers.push_back(std::atoi(argv[i]));
    }
    if (paliers.empty()) {
        paliers = {100, 250, 500, 1000};
    }
    std::signal(SIGPIPE, SIG_IGN);
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    banc_en_cours = ::fork();
    if (banc_en_cours == 0) {
        std::exit(banc(pont, paliers));
    }
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(s, transmettre);
    }
    int statut = 0;
    for (pid_t fini; (fini = ::waitpid(-1, &statut, 0)) != banc_en_cours;) {
        if (fini < 0 && errno != EINTR) {
            break;
        }
    }
    std::fflush(stdout);
    nettoyer(banc_en_cours);
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : 1;
}
