// One way into the server measured under load: 100 logins at once, then N players at once for
// each N asked, each N's players brought into a game a few at a time (the last N's stay), then
// a window of open-loop play, a window where everyone thinks, and the memory of every process.
#pragma once

#include "joueur.hpp"

#include <map>

namespace korva::charge {

struct Voie {
    std::string nom;
    // Player `numero`'s way in (its account is nom_compte(numero)).
    std::function<std::unique_ptr<Lien>(int numero)> lien;
    // The server's processes are these and theirs (the pseudo-terminals' lobbies: none, the
    // players' own processes are).
    std::vector<pid_t> racines;
    bool racines_des_joueurs = false;
    // The clients are processes of their own (ssh), measured apart.
    bool clients_processus = false;
};

struct Connexions {
    std::vector<double> depuis_connexion, depuis_mot_de_passe; // ms, to the account's menu
    int voulues = 0;
};

struct Palier {
    int voulus = 0, en_jeu = 0;
    std::string raison; // why it was not measured
    double charge = 0;  // the machine's load average before it
    double fenetre_s = 0;
    Collecte c;
    double cpu_par_touche_ms = 0;
    std::map<std::string, double> cpu_par_sorte_ms; // per key, by kind of process
    double cpu_repos = 0;                           // share of a core, everyone thinking
    Releve memoire;
    double clients_cpu_par_touche_ms = 0;
    long clients_pss_ko = 0;
};

struct ResultatVoie {
    std::string nom, raison;
    Connexions connexions;
    std::vector<Palier> paliers;
};

// Runs `io` for `duree`, the ended children reaped.
void tourner(asio::io_context& io, Horloge::duration duree);

// Opens the players `de` to `a` (excluded) of `joueurs`, `a_la_fois` at a time, until each is in
// its game (or at its menu) or lost, or `limite` passes; how many got there.
int amener(asio::io_context& io, std::vector<std::unique_ptr<Joueur>>& joueurs, std::size_t de,
           std::size_t a, int a_la_fois, Horloge::time_point limite);

ResultatVoie mesurer_voie(asio::io_context& io, Voie& voie, const std::vector<int>& paliers,
                          Horloge::time_point limite);

// The logins at once, on accounts past the players'.
inline constexpr int CONNEXIONS_A_LA_FOIS = 100;

} // namespace korva::charge
