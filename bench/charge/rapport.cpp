#include "rapport.hpp"

#include <cstdarg>
#include <cstdio>

namespace korva::charge {

namespace {

constexpr double SEUIL_MS = 20;

std::string f(const char* format, ...) {
    char texte[1024];
    va_list a;
    va_start(a, format);
    std::vsnprintf(texte, sizeof texte, format, a);
    va_end(a);
    return texte;
}

std::string ms(double v) {
    return v < 10 ? f("%.1f", v) : f("%.0f", v);
}

std::string trois_rangs(const std::vector<double>& v) {
    return v.empty()
               ? "—"
               : ms(rang(v, 0.5)) + " / " + ms(rang(v, 0.99)) + " / " + ms(rang(v, 0.999)) + " ms";
}

std::string mo(double ko) {
    return f("%.1f MB", ko / 1024);
}

std::string milliers(long n) {
    return n >= 1000 ? f("%ld,%03ld", n / 1000, n % 1000) : f("%ld", n);
}

// The kinds of process, as the figures name them.
std::string sorte(const std::string& nom) {
    return nom == "korva-serveur" ? "lobby"
           : nom == "korva"       ? "game"
           : nom == "node"        ? "wetty (node)"
                                  : nom;
}

const Palier* dernier_mesure(const ResultatVoie& r) {
    const Palier* p = nullptr;
    for (const Palier& q : r.paliers) {
        p = q.raison.empty() ? &q : p;
    }
    return p;
}

} // namespace

std::string rapport_voie(const ResultatVoie& r) {
    std::string t = "### " + r.nom + "\n\n";
    if (!r.raison.empty()) {
        return t + "Not measured: " + r.raison + ".\n\n";
    }
    const Connexions& c = r.connexions;
    t += f("%d logins at once: %zu reached their account's menu; from the connection's start, ",
           c.voulues, c.depuis_connexion.size()) +
         "median " + ms(rang(c.depuis_connexion, 0.5)) + " ms, 99th percentile " +
         ms(rang(c.depuis_connexion, 0.99)) + " ms, slowest " + ms(rang(c.depuis_connexion, 1)) +
         " ms; from the password's Enter, median " + ms(rang(c.depuis_mot_de_passe, 0.5)) +
         " ms, 99th percentile " + ms(rang(c.depuis_mot_de_passe, 0.99)) + " ms.\n\n";
    t += "| Players | Keys (unanswered) | Key to first byte, p50 / p99 / p99.9 | Key to whole "
         "screen, p50 / p99 / p99.9 | CPU per key | Memory per player (PSS) | Processes per "
         "player | CPU while all think | Load before |\n|---|---|---|---|---|---|---|---|---|\n";
    for (const Palier& p : r.paliers) {
        if (!p.raison.empty()) {
            t += f("| %d | not measured: %s | | | | | | | |\n", p.voulus, p.raison.c_str());
            continue;
        }
        const double n = p.voulus;
        t += f("| %s | %s (%ld) | %s | %s | %.2f ms | %s | %.1f | %.2f%% of a core | %.2f |\n",
               milliers(p.voulus).c_str(), milliers(p.c.envoyees).c_str(), p.c.sans_reponse,
               trois_rangs(p.c.premier).c_str(), trois_rangs(p.c.entier).c_str(),
               p.cpu_par_touche_ms, mo(static_cast<double>(p.memoire.pss_total_ko()) / n).c_str(),
               p.memoire.total() / n, 100 * p.cpu_repos, p.charge);
    }
    if (const Palier* p = dernier_mesure(r)) {
        t += f("\nAt %d players, by kind of process: CPU per key", p->voulus);
        for (const auto& [nom, v] : p->cpu_par_sorte_ms) {
            t += ", " + sorte(nom) + f(" %.2f ms", v);
        }
        t += "; memory per player";
        for (const auto& [nom, ko] : p->memoire.pss_ko) {
            const int n = p->memoire.nombre.at(nom);
            t += ", " + sorte(nom) + " " + mo(static_cast<double>(ko) / p->voulus) +
                 f(" (%d process%s)", n, n == 1 ? "" : "es");
        }
        if (p->clients_pss_ko > 0) {
            t += f("; the ssh clients (the players' side, not the server's): %.2f ms of CPU per "
                   "key, ",
                   p->clients_cpu_par_touche_ms) +
                 mo(static_cast<double>(p->clients_pss_ko) / p->voulus) + " per player";
        }
        t += f(". The benchmark sent a key at most %.0f ms past its moment.\n", p->c.retard_max_ms);
    }
    return t + "\n";
}

std::string rapport_seuils(const std::vector<ResultatVoie>& voies) {
    std::string t = "### Where the 99th percentile from a key to its first byte passes 20 ms\n\n"
                    "| Way in | Players |\n|---|---|\n";
    for (const ResultatVoie& r : voies) {
        std::string ou = r.raison.empty() ? "" : "not measured";
        int dernier = 0;
        for (const Palier& p : r.paliers) {
            if (!ou.empty()) {
                break;
            }
            if (!p.raison.empty()) {
                ou = dernier == 0 ? "not measured"
                                  : f("not passed up to %d; %d not measured", dernier, p.voulus);
            } else if (rang(p.c.premier, 0.99) > SEUIL_MS) {
                ou = dernier == 0 ? f("passed at %d already", p.voulus)
                                  : f("between %d and %d", dernier, p.voulus);
            }
            dernier = p.voulus;
        }
        t += "| " + r.nom + " | " + (ou.empty() ? f("not passed up to %d", dernier) : ou) + " |\n";
    }
    return t + "\n";
}

std::string rapport_comparaison(const ResultatVoie& web, const ResultatVoie& pont) {
    std::string t = "### korva-web beside wetty\n\n";
    if (!pont.raison.empty() || !web.raison.empty()) {
        return t + "Not compared: " + (pont.raison.empty() ? web.raison : pont.raison) + ".\n\n";
    }
    t += "Each cell: wetty's figure over korva-web's (over 1: korva-web ahead). Both run the same "
         "lobby and game for each player; wetty runs the lobby itself through `env -S`, as root, "
         "with no sshd between.\n\n| Players | First byte, p50 | p99 | Whole screen, p99 | CPU "
         "per key | Memory per player | The bridge's own process (node / korva-web) |\n"
         "|---|---|---|---|---|---|---|\n";
    for (std::size_t i = 0; i < web.paliers.size() && i < pont.paliers.size(); ++i) {
        const Palier &a = web.paliers[i], &b = pont.paliers[i];
        if (!a.raison.empty() || !b.raison.empty()) {
            t += f("| %d | not measured on both | | | | | |\n", a.voulus);
            continue;
        }
        const auto rapport = [](double x, double y) { return y > 0 ? f("%.2f", x / y) : "—"; };
        const auto propre = [](const Palier& p, const char* nom) {
            const auto i = p.memoire.pss_ko.find(nom);
            return i == p.memoire.pss_ko.end() ? 0.0 : static_cast<double>(i->second);
        };
        t += f("| %d | ", a.voulus) + rapport(rang(b.c.premier, 0.5), rang(a.c.premier, 0.5)) +
             " | " + rapport(rang(b.c.premier, 0.99), rang(a.c.premier, 0.99)) + " | " +
             rapport(rang(b.c.entier, 0.99), rang(a.c.entier, 0.99)) + " | " +
             rapport(b.cpu_par_touche_ms, a.cpu_par_touche_ms) + " | " +
             rapport(static_cast<double>(b.memoire.pss_total_ko()),
                     static_cast<double>(a.memoire.pss_total_ko())) +
             " | " + mo(propre(b, "node")) + " / " + mo(propre(a, "korva-web")) + " = " +
             rapport(propre(b, "node"), propre(a, "korva-web")) + " |\n";
    }
    return t + "\n";
}

std::string rapport_regards(const std::vector<ResultatRegards>& regards,
                            const std::string& raison) {
    std::string t = "### Games watched through korva-web\n\n";
    if (!raison.empty()) {
        return t + "Not measured: " + raison + ".\n\n";
    }
    t += "100 players in their games, each playing at its pace; a watcher's time runs from the "
         "watched player's key to the first byte of its screen on the watcher's side.\n\n"
         "| Watchers | Open | Refused, tried again | Watched players' keys to their first byte, "
         "p50 / p99 / p99.9 | Watchers' first byte, p50 / p99 / p99.9 (missed) | Memory per "
         "watcher (PSS) | CPU of all while all think | Load before |\n"
         "|---|---|---|---|---|---|---|---|\n";
    for (const ResultatRegards& r : regards) {
        if (r.quoi.empty()) {
            t += "| | not measured: " + r.raison + " | | | | | | |\n";
            continue;
        }
        t += f("| %s | %d of %d | %d | %s | %s (%ld) | %s | %.2f%% of a core | %.2f |\n",
               r.quoi.c_str(), r.prets, r.voulus, r.refus, trois_rangs(r.joueurs.premier).c_str(),
               trois_rangs(r.spectateurs.premier).c_str(), r.spectateurs.sans_reponse,
               mo(r.pss_par_spectateur_ko).c_str(), 100 * r.cpu_repos, r.charge);
    }
    return t + "\n";
}

} // namespace korva::charge
