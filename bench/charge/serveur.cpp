#include "serveur.hpp"

#include "joueur.hpp"
#include "mesures.hpp"

#include <sodium.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::charge {

namespace {

// The benchmark's level 1: its size as the game knows level 1, walls around one room of floor,
// every cell seen, the hero in the middle. Cell (0,0) carries the level's number plus one.
std::string niveau_du_banc() {
    constexpr int LIGNES = 20, COLONNES = 50;
    std::string texte = std::to_string(LIGNES) + "\n" + std::to_string(COLONNES) + "\n";
    for (int l = 0; l < LIGNES; ++l) {
        for (int c = 0; c < COLONNES; ++c) {
            const bool mur = l == 0 || c == 0 || l == LIGNES - 1 || c == COLONNES - 1;
            const int statut = l == 0 && c == 0                                   ? 2
                               : l == 1 + LIGNE_DEPART && c == 1 + COLONNE_DEPART ? 1
                                                                                  : 0;
            texte += "{" + std::to_string(mur ? 1 : 0) + "," + std::to_string(statut) + ",1},";
        }
        texte += "\n";
    }
    return texte;
}

} // namespace

int port_libre() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t taille = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), taille);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &taille);
    ::close(s);
    return ntohs(a.sin_port);
}

namespace {

bool repond(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool oui = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return oui;
}

bool vivant(pid_t pid) {
    ::waitpid(pid, nullptr, WNOHANG);
    return ::kill(pid, 0) == 0;
}

} // namespace

std::string lire_texte(const fs::path& chemin) {
    std::stringstream texte;
    texte << std::ifstream(chemin).rdbuf();
    std::string lu = texte.str();
    while (!lu.empty() && lu.back() == '\n') {
        lu.pop_back();
    }
    return lu;
}

std::string nom_compte(int numero) {
    return "joueur" + std::to_string(numero);
}
std::string nom_heros(int numero) {
    return "Heros" + std::to_string(numero);
}

void ecrire_donnees_du_jeu(const fs::path& dossier) {
    fs::create_directories(dossier);
    for (const char* partie : {"niveaux", "presentation", "parchemins"}) {
        fs::copy(fs::path(KORVA_FICHIERS_SOURCE) / partie, dossier / partie,
                 fs::copy_options::recursive);
    }
    std::ofstream(dossier / "niveaux/niveau1g.txt") << niveau_du_banc();
}

void ecrire_configuration(const fs::path& fichier, const fs::path& donnees, const std::string& jeu,
                          const fs::path& donnees_jeu) {
    // Every limit past what the run reaches; password checks as packaged.
    std::ofstream(fichier) << "data " << donnees.string() << "\ngame " << jeu << "\ngame-data "
                           << donnees_jeu.string() << "\nlog " << (donnees / "journal").string()
                           << "\ngames-at-once 5000\nlobbies-at-once 5000\n"
                              "connections-per-address 5000\nwatchers-per-game 2000\n"
                              "watchers-at-once 5000\npassword-checks-at-once 2\n";
}

void ecrire_comptes(const fs::path& donnees, int nombre) {
    static std::string empreinte;
    if (empreinte.empty()) {
        char texte[crypto_pwhash_STRBYTES];
        if (sodium_init() < 0 ||
            crypto_pwhash_str(texte, MOT_DE_PASSE, std::char_traits<char>::length(MOT_DE_PASSE),
                              crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
            std::fprintf(stderr, "charge: the password cannot be hashed\n");
            std::exit(1);
        }
        empreinte = texte;
    }
    fs::create_directories(donnees);
    std::ofstream comptes(donnees / "comptes.txt");
    for (int i = 0; i < nombre; ++i) {
        comptes << nom_compte(i) << " " << empreinte << " open 0\n";
    }
}

pid_t lancer(const std::vector<std::string>& commande, const std::vector<std::string>& variables,
             const fs::path& journal) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid(); // no terminal of the benchmark's
        const int sortie = ::open(journal.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(sortie, 1);
        ::dup2(sortie, 2);
        const int rien = ::open("/dev/null", O_RDONLY);
        ::dup2(rien, 0);
        for (const std::string& v : variables) {
            ::putenv(const_cast<char*>(v.c_str()));
        }
        std::vector<char*> arguments;
        for (const std::string& a : commande) {
            arguments.push_back(const_cast<char*>(a.c_str()));
        }
        arguments.push_back(nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
    return pid;
}

void arreter(pid_t pid, int attente_s) {
    if (pid <= 0) {
        return;
    }
    const std::vector<pid_t> enfants = descendants(pid);
    ::kill(pid, SIGTERM);
    const auto fin = Horloge::now() + std::chrono::seconds(attente_s);
    while (vivant(pid) && Horloge::now() < fin) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    // What it started and left (a game still saving): the guardian reaps them.
    const auto encore = Horloge::now() + std::chrono::seconds(attente_s);
    for (bool reste = true; reste && Horloge::now() < encore;) {
        reste = false;
        for (const pid_t e : enfants) {
            reste = reste || ::kill(e, 0) == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (const pid_t e : enfants) {
        ::kill(e, SIGKILL);
    }
}

Service demarrer_korva_web(const fs::path& dossier, const fs::path& hall) {
    const fs::path configuration = dossier / "web.conf";
    std::ofstream(configuration) << "port 0\norigin " << ORIGINE << "\nlobby " KORVA_SERVEUR_BINAIRE
                                 << "\nlobby-config " << hall.string()
                                 << "\npage " KORVA_PAGE_SOURCE "\nxterm " KORVA_XTERM_CONSTRUIT
                                 << "\nconnections-per-address 5000\n";
    Service s;
    const fs::path journal = dossier / "web.log";
    s.pid = lancer({KORVA_WEB_BINAIRE, "--config", configuration.string()}, {}, journal);
    for (int i = 0; i < 1000 && s.port == 0 && vivant(s.pid); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::string texte = lire_texte(journal);
        const std::size_t mot = texte.find(" port ");
        s.port = mot == std::string::npos ? 0 : std::atoi(texte.c_str() + mot + 6);
    }
    if (s.port == 0) {
        s.raison = "korva-web did not start: " + lire_texte(journal).substr(0, 300);
        arreter(s.pid, 1);
        s.pid = -1;
    }
    return s;
}

Service demarrer_pont(const fs::path& modules, const fs::path& dossier, const fs::path& hall) {
    Service s;
    const fs::path principal = modules / "node_modules/wetty/build/main.js";
    if (!fs::exists(principal)) {
        s.raison = "wetty is not installed (npm ci of bench/pont failed or was not run)";
        return s;
    }
    const int port = port_libre();
    const fs::path journal = dossier / "pont.log";
    // As root, the bridge runs its command on the machine itself, through `env -S`: the lobby
    // with the client's address where sshd would set it (all of the bridge's clients share it).
    s.pid = lancer({"node", principal.string(), "--host", "127.0.0.1", "--port",
                    std::to_string(port), "--log-level", "warn", "--command",
                    std::string(KORVA_SERVEUR_BINAIRE) + " --config " + hall.string()},
                   {"SSH_CONNECTION=127.0.0.1 0 127.0.0.1 22", "LANG=C.UTF-8"}, journal);
    for (int i = 0; i < 3000 && vivant(s.pid); ++i) {
        if (repond(port)) {
            s.port = port;
            return s;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    s.raison = "wetty did not start: " + lire_texte(journal).substr(0, 300);
    arreter(s.pid, 1);
    s.pid = -1;
    return s;
}

} // namespace korva::charge
