#include "regards.hpp"

#include "serveur.hpp"

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>

namespace korva::charge {

namespace {

using namespace std::chrono_literals;

constexpr int JOUEURS = 100;
// The players' accounts: those of the 100 logins at once, past the load's players.
int PREMIER_COMPTE = 0;
constexpr int OUVERTURES_A_LA_FOIS = 40;
constexpr int PARTIES_A_LA_FOIS = 10;
constexpr auto FENETRE = 20s;
constexpr auto REPOS = 5s;
constexpr auto OUVERTURE_MAX = 150s;

// The name korva-web's lists give a game: its account's bytes in hexadecimal.
std::string nom_de_partie(int numero) {
    std::string hexa;
    for (const unsigned char octet : nom_compte(PREMIER_COMPTE + numero)) {
        char chiffres[3];
        std::snprintf(chiffres, sizeof chiffres, "%02x", octet);
        hexa += chiffres;
    }
    return hexa;
}

std::string adresse_spectateur(int i) {
    return "127.3." + std::to_string(i / 250) + "." + std::to_string(1 + i % 250);
}

// `nombre` watchers, watcher i of game `partie(i)`, timed in a window of the players' play.
ResultatRegards regarder(asio::io_context& io, int port, pid_t service,
                         std::vector<std::unique_ptr<Joueur>>& joueurs, Collecte& autres,
                         const std::string& quoi, int nombre, const std::function<int(int)>& partie,
                         Horloge::time_point limite) {
    ResultatRegards r;
    r.quoi = quoi;
    r.voulus = nombre;
    std::fprintf(stderr, "korva-web: %s\n", quoi.c_str());
    const long avant_ko = relever({service}, true).pss_total_ko();
    std::vector<std::unique_ptr<Spectateur>> spectateurs(static_cast<std::size_t>(nombre));
    std::vector<std::unique_ptr<Spectateur>> ecartes; // refused, kept until their handlers ran
    const auto ouvrir = [&](int i) {
        auto& s = spectateurs[static_cast<std::size_t>(i)];
        if (s) {
            s->fermer();
            ecartes.push_back(std::move(s));
        }
        s = std::make_unique<Spectateur>(lien_web(
            io, port, "/watch?game=" + nom_de_partie(partie(i)), adresse_spectateur(i), ORIGINE));
        s->commencer();
    };
    for (auto& j : joueurs) {
        j->quand_touche.clear();
    }
    // A game is watched by the name korva-web lists it under, ten games at a time while only
    // those ten games' players play. A refused watch (korva-web looks at the games in progress
    // once a second, and may not have seen its game yet) is tried again.
    std::vector<int> ordre(static_cast<std::size_t>(nombre));
    std::iota(ordre.begin(), ordre.end(), 0);
    std::stable_sort(ordre.begin(), ordre.end(),
                     [&](int a, int b) { return partie(a) < partie(b); });
    const auto groupe_de = [&](int rang_ordre) {
        return partie(ordre[static_cast<std::size_t>(rang_ordre)]) / PARTIES_A_LA_FOIS;
    };
    const auto fin_ouverture = std::min(limite, Horloge::now() + OUVERTURE_MAX);
    int suivant = 0, groupe = -1;
    std::map<int, int> statuts;
    for (auto dit = Horloge::now();;) {
        int en_cours = 0;
        r.prets = 0;
        for (int k = 0; k < suivant; ++k) {
            const int i = ordre[static_cast<std::size_t>(k)];
            auto& s = spectateurs[static_cast<std::size_t>(i)];
            if (s->pret()) {
                ++r.prets;
            } else if (s->perdu()) {
                ++r.refus;
                ++statuts[s->statut()];
                ouvrir(i);
                ++en_cours;
            } else {
                ++en_cours;
            }
        }
        if (en_cours == 0 && suivant < nombre && groupe_de(suivant) != groupe) {
            groupe = groupe_de(suivant);
            for (std::size_t j = 0; j < joueurs.size(); ++j) {
                if (static_cast<int>(j) / PARTIES_A_LA_FOIS == groupe) {
                    joueurs[j]->jouer(Horloge::now() + 3600s, &autres);
                } else {
                    joueurs[j]->clore();
                }
            }
        }
        for (; en_cours < OUVERTURES_A_LA_FOIS && suivant < nombre && groupe_de(suivant) == groupe;
             ++en_cours) {
            ouvrir(ordre[static_cast<std::size_t>(suivant++)]);
        }
        if (r.prets == nombre || Horloge::now() >= fin_ouverture) {
            break;
        }
        if (Horloge::now() - dit > 10s) {
            dit = Horloge::now();
            std::fprintf(stderr, "korva-web: %d watches open, refused so far:", r.prets);
            for (const auto& [statut, n] : statuts) {
                std::fprintf(stderr, " %d by %d", n, statut);
            }
            std::fprintf(stderr, "\n");
        }
        tourner(io, 50ms);
    }
    for (auto& j : joueurs) {
        j->jouer(Horloge::now() + 3600s, &autres);
    }
    if (r.prets < nombre) {
        r.raison = std::to_string(r.prets) + " of " + std::to_string(nombre) +
                   " watches opened before the deadline";
    }
    for (int k = 0; k < suivant; ++k) {
        const int i = ordre[static_cast<std::size_t>(k)];
        Spectateur* s = spectateurs[static_cast<std::size_t>(i)].get();
        joueurs[static_cast<std::size_t>(partie(i))]->quand_touche.push_back(
            [s](Horloge::time_point t) { s->touche(t); });
        s->chronometrer(&r.spectateurs);
    }
    std::vector<bool> regardee(joueurs.size(), false);
    for (int k = 0; k < suivant; ++k) {
        regardee[static_cast<std::size_t>(partie(ordre[static_cast<std::size_t>(k)]))] = true;
    }
    r.charge = charge_moyenne();
    for (std::size_t j = 0; j < joueurs.size(); ++j) {
        joueurs[j]->recolter(regardee[j] ? &r.joueurs : &autres);
    }
    tourner(io, FENETRE);
    for (int k = 0; k < suivant; ++k) {
        spectateurs[static_cast<std::size_t>(ordre[static_cast<std::size_t>(k)])]->chronometrer(
            nullptr);
    }
    for (auto& j : joueurs) {
        j->clore();
        j->quand_touche.clear();
    }
    tourner(io, 2s);
    const Releve repos = relever({service}, false);
    tourner(io, REPOS);
    r.cpu_repos = part_de_coeur(repos, relever({service}, false), REPOS);
    r.pss_par_spectateur_ko =
        static_cast<double>(relever({service}, true).pss_total_ko() - avant_ko) /
        std::max(1, r.prets);
    for (int k = 0; k < suivant; ++k) {
        spectateurs[static_cast<std::size_t>(ordre[static_cast<std::size_t>(k)])]->fermer();
    }
    for (auto& s : ecartes) {
        s->fermer();
    }
    tourner(io, 3s);
    return r;
}

} // namespace

std::vector<ResultatRegards> mesurer_regards(asio::io_context& io, int port, pid_t service,
                                             int premier_compte, Horloge::time_point limite) {
    PREMIER_COMPTE = premier_compte;
    // Accounts past the players' of the load, whose last games may still be saving, with heroes
    // of names of their own.
    std::vector<std::unique_ptr<Joueur>> joueurs;
    for (int i = 0; i < JOUEURS; ++i) {
        joueurs.push_back(std::make_unique<Joueur>(
            io, lien_web(io, port, "/play", "127.2.0." + std::to_string(1 + i), ORIGINE),
            nom_compte(PREMIER_COMPTE + i), MOT_DE_PASSE, "Vu" + std::to_string(i),
            static_cast<unsigned>(i)));
    }
    std::fprintf(stderr, "korva-web: bringing %d players into a game to be watched\n", JOUEURS);
    const int en_jeu = amener(io, joueurs, 0, joueurs.size(), 12, limite);
    std::vector<ResultatRegards> resultats;
    if (en_jeu < JOUEURS) {
        ResultatRegards r;
        r.raison = std::to_string(en_jeu) + " of 100 players reached a game";
        for (const auto& j : joueurs) {
            if (j->etat() != Joueur::Etat::jeu) {
                std::fprintf(stderr, "korva-web: a player left on: %s\n", j->vu_en_dernier.c_str());
                break;
            }
        }
        resultats.push_back(r);
    } else {
        Collecte autres;
        const auto jouer = [&] {
            for (auto& j : joueurs) {
                j->jouer(Horloge::now() + 3600s, &autres);
            }
        };
        jouer();
        resultats.push_back(regarder(
            io, port, service, joueurs, autres, "500 watchers of one game", 500,
            [](int) { return 0; }, limite));
        jouer();
        resultats.push_back(regarder(
            io, port, service, joueurs, autres, "1,000 watchers spread over 100 games", 1000,
            [](int i) { return i % JOUEURS; }, limite));
    }
    for (auto& j : joueurs) {
        j->fermer();
    }
    tourner(io, 1s);
    return resultats;
}

} // namespace korva::charge
