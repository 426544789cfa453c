#include "sshd.hpp"

#include "mesures.hpp"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace korva::charge {

namespace {

bool executer(const std::string& commande) {
    return std::system(commande.c_str()) == 0;
}

} // namespace

std::string compte_ssh(pid_t pid) {
    return "korvacharge" + std::to_string(pid);
}
fs::path racine_ssh(pid_t pid) {
    return "/var/lib/" + compte_ssh(pid);
}

Sshd demarrer_sshd(int comptes, int connexions, const fs::path& dossier) {
    Sshd s;
    if (::geteuid() != 0) {
        s.raison = "sshd logs a player in only when it runs as root, and the benchmark does not";
        return s;
    }
    if (::access("/usr/sbin/sshd", X_OK) != 0 || ::access("/usr/bin/ssh", X_OK) != 0) {
        s.raison = "OpenSSH's server or client is not installed";
        return s;
    }
    s.compte = compte_ssh(::getpid());
    s.racine = racine_ssh(::getpid());
    s.donnees = s.racine / "donnees";
    const fs::path lobby = s.racine / "usr/games/korva-serveur";
    const fs::path jeu = s.racine / "usr/libexec/korva/korva";
    ::umask(022);
    fs::create_directories(dossier);
    for (const char* d : {"usr/games", "usr/libexec/korva", "usr/share/korva", "usr/etc/korva"}) {
        fs::create_directories(s.racine / d);
    }
    fs::copy_file(KORVA_SERVEUR_BINAIRE, lobby);
    fs::copy_file(KORVA_BINAIRE, jeu);
    ecrire_donnees_du_jeu(s.racine / "usr/share/korva/fichiers");
    // Where the lobby looks for its configuration, as a shell it takes no other.
    ecrire_configuration(s.racine / "usr/etc/korva/serveur.conf", s.donnees, jeu.string(),
                         s.racine / "usr/share/korva/fichiers");
    ecrire_comptes(s.donnees, comptes);
    if (!executer("useradd --system --no-create-home --home-dir " + s.donnees.string() +
                  " --shell " + lobby.string() + " " + s.compte + " && passwd -q -d " + s.compte +
                  " && chown -R " + s.compte + " " + s.donnees.string() + " && chmod 750 " +
                  s.donnees.string())) {
        s.raison = "the system account could not be made";
        return s;
    }
    // The project's block for the account, inside Debian's settings as the tests set them; the
    // connections at once raised for the run (sshd refuses past MaxStartups unauthenticated).
    std::string bloc = lire_texte(KORVA_SOURCE "/packaging/sshd-korva.conf.in");
    bloc.replace(bloc.find("@KORVA_COMMANDE@"), 16, lobby.string());
    bloc.replace(bloc.find("Match User korva\n"), 17, "Match User " + s.compte + "\n");
    std::ofstream(dossier / "korva.conf") << bloc;
    if (!executer("ssh-keygen -q -t ed25519 -N '' -f " + (dossier / "hote").string())) {
        s.raison = "ssh-keygen failed";
        return s;
    }
    s.port = port_libre();
    std::ofstream(dossier / "sshd_config")
        << "Include " << (dossier / "korva.conf").string() << "\nPort " << s.port
        << "\nListenAddress 127.0.0.1\nHostKey " << (dossier / "hote").string()
        << "\nPidFile none\nAllowUsers " << s.compte
        << "\nKbdInteractiveAuthentication no\nUsePAM yes\nAcceptEnv LANG LC_*\nMaxStartups "
        << connexions << "\nMaxSessions 10\n";
    ::mkdir("/run/sshd", 0755);
    const fs::path journal = dossier / "sshd.log";
    s.pid = lancer({"/usr/sbin/sshd", "-D", "-e", "-f", (dossier / "sshd_config").string()}, {},
                   journal);
    for (int i = 0; i < 500; ++i) {
        if (lire_texte(journal).find("Server listening on 127.0.0.1") != std::string::npos) {
            return s;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    s.raison = "sshd did not start: " + lire_texte(journal).substr(0, 300);
    arreter(s.pid, 1);
    s.pid = -1;
    return s;
}

void desinstaller_sshd(const std::string& compte, const fs::path& racine) {
    std::error_code ignore;
    if (fs::exists(racine, ignore)) {
        executer("userdel " + compte + " 2>/dev/null");
        fs::remove_all(racine, ignore);
    }
}

std::vector<std::string> client_ssh(const Sshd& s, const std::string& depuis) {
    return {"ssh",
            "-tt",
            "-F",
            "/dev/null",
            "-o",
            "StrictHostKeyChecking=no",
            "-o",
            "UserKnownHostsFile=/dev/null",
            "-o",
            "BatchMode=yes",
            "-o",
            "LogLevel=ERROR",
            "-o",
            "SendEnv=LANG",
            "-b",
            depuis,
            "-p",
            std::to_string(s.port),
            s.compte + "@127.0.0.1"};
}

} // namespace korva::charge
