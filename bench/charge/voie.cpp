#include "voie.hpp"

#include "serveur.hpp"

#include <algorithm>
#include <cstdio>

#include <sys/wait.h>

namespace korva::charge {

namespace {

using namespace std::chrono_literals;

// The players of one N come a few at a time, as a password is checked two at a time.
constexpr int ARRIVEES_A_LA_FOIS = 12;
// A window holds about this many keys, within these bounds.
constexpr double TOUCHES_PAR_FENETRE = 5000;
constexpr double FENETRE_MIN_S = 20, FENETRE_MAX_S = 40;
// After a window, the answers still due are waited for this long at most.
constexpr auto RETARDATAIRES = 5s;
constexpr auto REPOS = 5s;   // everyone thinking, measured
constexpr auto APAISER = 2s; // before a window: the last screens come

std::vector<pid_t> racines(const Voie& v, const std::vector<std::unique_ptr<Joueur>>& joueurs) {
    if (!v.racines_des_joueurs) {
        return v.racines;
    }
    std::vector<pid_t> pids;
    for (const auto& j : joueurs) {
        if (j->processus() > 0 && j->etat() != Joueur::Etat::perdu) {
            pids.push_back(j->processus());
        }
    }
    return pids;
}

std::vector<pid_t> clients(const std::vector<std::unique_ptr<Joueur>>& joueurs) {
    std::vector<pid_t> pids;
    for (const auto& j : joueurs) {
        if (j->processus() > 0) {
            pids.push_back(j->processus());
        }
    }
    return pids;
}

void mesurer_palier(asio::io_context& io, Voie& voie, std::vector<std::unique_ptr<Joueur>>& joueurs,
                    Palier& p) {
    p.charge = charge_moyenne();
    p.fenetre_s = std::clamp(TOUCHES_PAR_FENETRE / p.voulus, FENETRE_MIN_S, FENETRE_MAX_S);
    const bool ses_clients = voie.clients_processus;
    tourner(io, APAISER);
    const Releve avant = relever(racines(voie, joueurs), false);
    const Releve clients_avant = ses_clients ? relever(clients(joueurs), false) : Releve{};
    const auto fin = Horloge::now() + std::chrono::duration_cast<Horloge::duration>(
                                          std::chrono::duration<double>(p.fenetre_s));
    for (const auto& j : joueurs) {
        j->jouer(fin, &p.c);
    }
    tourner(io, fin - Horloge::now());
    for (const auto attente = Horloge::now() + RETARDATAIRES;
         Horloge::now() < attente && std::any_of(joueurs.begin(), joueurs.end(), [](const auto& j) {
             return j->etat() == Joueur::Etat::jeu && j->attend_reponse();
         });) {
        tourner(io, 50ms);
    }
    tourner(io, CALME * 2);
    const Releve apres = relever(racines(voie, joueurs), false);
    const Releve clients_apres = ses_clients ? relever(clients(joueurs), false) : Releve{};
    for (const auto& j : joueurs) {
        j->clore();
    }
    const double touches = std::max<double>(1, static_cast<double>(p.c.envoyees));
    p.cpu_par_touche_ms = 1000.0 * part_de_coeur(avant, apres, 1s) / touches;
    for (const auto& [sorte, n] : apres.ticks) {
        p.cpu_par_sorte_ms[sorte] = cpu_ms(avant, apres, sorte) / touches;
    }
    p.clients_cpu_par_touche_ms =
        1000.0 * part_de_coeur(clients_avant, clients_apres, 1s) / touches;

    tourner(io, APAISER);
    const Releve repos_avant = relever(racines(voie, joueurs), false);
    tourner(io, REPOS);
    p.cpu_repos = part_de_coeur(repos_avant, relever(racines(voie, joueurs), false), REPOS);
    p.memoire = relever(racines(voie, joueurs), true);
    if (ses_clients) {
        p.clients_pss_ko = relever(clients(joueurs), true).pss_total_ko();
    }
}

} // namespace

void tourner(asio::io_context& io, Horloge::duration duree) {
    const auto fin = Horloge::now() + duree;
    do {
        io.restart();
        io.run_for(std::min<Horloge::duration>(fin - Horloge::now(), 100ms));
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
    } while (Horloge::now() < fin);
}

int amener(asio::io_context& io, std::vector<std::unique_ptr<Joueur>>& joueurs, std::size_t de,
           std::size_t a, int a_la_fois, Horloge::time_point limite) {
    std::size_t suivant = de;
    for (;;) {
        int en_route = 0, arrives = 0;
        for (std::size_t i = de; i < suivant; ++i) {
            const Joueur::Etat e = joueurs[i]->etat();
            en_route += e == Joueur::Etat::connexion ? 1 : 0;
            arrives += e == Joueur::Etat::jeu || e == Joueur::Etat::menu ? 1 : 0;
        }
        for (; en_route < a_la_fois && suivant < a; ++en_route) {
            joueurs[suivant++]->commencer();
        }
        if ((en_route == 0 && suivant == a) || Horloge::now() >= limite) {
            return arrives;
        }
        tourner(io, 20ms);
    }
}

ResultatVoie mesurer_voie(asio::io_context& io, Voie& voie, const std::vector<int>& paliers,
                          Horloge::time_point limite) {
    ResultatVoie r;
    r.nom = voie.nom;
    const int premier_compte = paliers.back();
    std::fprintf(stderr, "%s: %d logins at once\n", voie.nom.c_str(), CONNEXIONS_A_LA_FOIS);
    {
        std::vector<std::unique_ptr<Joueur>> entrants;
        for (int i = 0; i < CONNEXIONS_A_LA_FOIS; ++i) {
            entrants.push_back(std::make_unique<Joueur>(io, voie.lien(premier_compte + i),
                                                        nom_compte(premier_compte + i),
                                                        MOT_DE_PASSE, "", 1000 + i));
        }
        r.connexions.voulues = CONNEXIONS_A_LA_FOIS;
        amener(io, entrants, 0, entrants.size(), CONNEXIONS_A_LA_FOIS,
               std::min(limite, Horloge::now() + 120s));
        for (const auto& j : entrants) {
            if (j->etat() == Joueur::Etat::menu) {
                r.connexions.depuis_connexion.push_back(millisecondes(j->au_menu - j->ouvert));
                r.connexions.depuis_mot_de_passe.push_back(
                    millisecondes(j->au_menu - j->mot_de_passe_tape));
            }
            j->fermer();
        }
        tourner(io, 3s);
    }
    std::vector<std::unique_ptr<Joueur>> joueurs;
    for (const int n : paliers) {
        Palier p;
        p.voulus = n;
        std::fprintf(stderr, "%s: bringing %d players into a game\n", voie.nom.c_str(), n);
        const std::size_t deja = joueurs.size();
        for (int i = static_cast<int>(deja); i < n; ++i) {
            joueurs.push_back(std::make_unique<Joueur>(io, voie.lien(i), nom_compte(i),
                                                       MOT_DE_PASSE, nom_heros(i),
                                                       static_cast<unsigned>(i)));
        }
        amener(io, joueurs, deja, joueurs.size(), ARRIVEES_A_LA_FOIS, limite);
        p.en_jeu =
            static_cast<int>(std::count_if(joueurs.begin(), joueurs.end(), [](const auto& j) {
                return j->etat() == Joueur::Etat::jeu;
            }));
        const auto reste = limite - Horloge::now();
        if (p.en_jeu < n) {
            const auto perdu = std::find_if(joueurs.begin(), joueurs.end(), [](const auto& j) {
                return j->etat() != Joueur::Etat::jeu;
            });
            p.raison = std::to_string(p.en_jeu) + " of " + std::to_string(n) +
                       " players reached a game before the part's deadline";
            std::fprintf(stderr, "%s: %s; one left on: %s\n", voie.nom.c_str(), p.raison.c_str(),
                         perdu == joueurs.end() ? "" : (*perdu)->vu_en_dernier.c_str());
        } else if (reste < std::chrono::seconds(static_cast<int>(FENETRE_MAX_S) + 30)) {
            p.raison = "not done: the part's deadline came first";
        } else {
            std::fprintf(stderr, "%s: %d players playing\n", voie.nom.c_str(), n);
            mesurer_palier(io, voie, joueurs, p);
        }
        r.paliers.push_back(std::move(p));
        if (!r.paliers.back().raison.empty()) {
            break;
        }
    }
    for (const auto& j : joueurs) {
        j->fermer();
    }
    tourner(io, 1s);
    return r;
}

} // namespace korva::charge
