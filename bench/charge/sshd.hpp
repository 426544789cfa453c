// The real sshd of the load benchmark, on 127.0.0.1, as the server's tests lay it out: a system
// account of the run's own whose forced command is the lobby, the lobby, the game and their data
// installed under a folder of root's in /var/lib (so that the account reaches them wherever the
// clone lies), sshd's block of the project inside Debian's settings, and the ssh client's command
// for each player, from a loopback address of its own. It needs root.
#pragma once

#include "serveur.hpp"

namespace korva::charge {

struct Sshd {
    std::string compte;
    fs::path racine, donnees;
    pid_t pid = -1;
    int port = 0;
    std::string raison; // why it cannot run
};

// The account's and the folder's names for the benchmark's process `pid`.
std::string compte_ssh(pid_t pid);
fs::path racine_ssh(pid_t pid);

// Lays out the server with `comptes` accounts of the lobby's and starts sshd, allowing
// `connexions` connections at once.
Sshd demarrer_sshd(int comptes, int connexions, const fs::path& dossier);

// The account and the folder gone (its processes ended before).
void desinstaller_sshd(const std::string& compte, const fs::path& racine);

// The ssh client of a player, for a terminal of its own.
std::vector<std::string> client_ssh(const Sshd& s, const std::string& depuis);

} // namespace korva::charge
