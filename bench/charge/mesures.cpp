#include "mesures.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <unistd.h>

namespace korva::charge {

namespace {

struct Lu {
    pid_t parent = 0;
    std::string nom;
    long long ticks = 0;
};

// A process's parent, name and CPU time, from /proc/PID/stat; false once it is gone.
bool lire_stat(pid_t pid, Lu& lu) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string texte((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const std::size_t ouverte = texte.find('('), fermee = texte.rfind(')');
    if (ouverte == std::string::npos || fermee == std::string::npos) {
        return false;
    }
    lu.nom = texte.substr(ouverte + 1, fermee - ouverte - 1);
    std::istringstream champs(texte.substr(fermee + 2));
    std::string champ;
    // Fields from the third: state, ppid, ... utime is the 14th, stime the 15th.
    for (int n = 3; n <= 15 && champs >> champ; ++n) {
        if (n == 4) {
            lu.parent = static_cast<pid_t>(std::atol(champ.c_str()));
        } else if (n >= 14) {
            lu.ticks += std::atoll(champ.c_str());
        }
    }
    return true;
}

std::map<pid_t, Lu> tous_les_processus() {
    std::map<pid_t, Lu> tous;
    std::error_code erreur;
    for (const auto& entree : std::filesystem::directory_iterator("/proc", erreur)) {
        const std::string nom = entree.path().filename().string();
        if (!nom.empty() && std::all_of(nom.begin(), nom.end(), ::isdigit)) {
            Lu lu;
            if (lire_stat(std::atoi(nom.c_str()), lu)) {
                tous[std::atoi(nom.c_str())] = lu;
            }
        }
    }
    return tous;
}

std::set<pid_t> arbre(const std::map<pid_t, Lu>& tous, const std::vector<pid_t>& racines) {
    std::set<pid_t> dedans(racines.begin(), racines.end());
    for (bool encore = true; encore;) {
        encore = false;
        for (const auto& [pid, lu] : tous) {
            if (!dedans.contains(pid) && dedans.contains(lu.parent)) {
                dedans.insert(pid);
                encore = true;
            }
        }
    }
    return dedans;
}

long pss_ko(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string ligne; std::getline(f, ligne);) {
        if (ligne.starts_with("Pss:")) {
            return std::atol(ligne.c_str() + 4);
        }
    }
    return 0;
}

} // namespace

double rang(std::vector<double> v, double part) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1,
                      static_cast<std::size_t>(part * static_cast<double>(v.size())))];
}

double millisecondes(Horloge::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double charge_moyenne() {
    double charge = 0;
    std::ifstream("/proc/loadavg") >> charge;
    return charge;
}

int Releve::total() const {
    int n = 0;
    for (const auto& [sorte, nombre_de] : nombre) {
        n += nombre_de;
    }
    return n;
}

long long Releve::ticks_total() const {
    long long n = 0;
    for (const auto& [sorte, t] : ticks) {
        n += t;
    }
    return n;
}

long Releve::pss_total_ko() const {
    long n = 0;
    for (const auto& [sorte, ko] : pss_ko) {
        n += ko;
    }
    return n;
}

Releve relever(const std::vector<pid_t>& racines, bool memoire) {
    const std::map<pid_t, Lu> tous = tous_les_processus();
    Releve r;
    for (const pid_t pid : arbre(tous, racines)) {
        const auto lu = tous.find(pid);
        if (lu == tous.end()) {
            continue;
        }
        ++r.nombre[lu->second.nom];
        r.ticks[lu->second.nom] += lu->second.ticks;
        if (memoire) {
            r.pss_ko[lu->second.nom] += pss_ko(pid);
        }
    }
    return r;
}

double part_de_coeur(const Releve& avant, const Releve& apres, Horloge::duration duree) {
    const double secondes =
        static_cast<double>(apres.ticks_total() - avant.ticks_total()) / ::sysconf(_SC_CLK_TCK);
    return secondes / std::chrono::duration<double>(duree).count();
}

double cpu_ms(const Releve& avant, const Releve& apres, const std::string& sorte) {
    const auto a = avant.ticks.find(sorte), b = apres.ticks.find(sorte);
    const long long t =
        (b == apres.ticks.end() ? 0 : b->second) - (a == avant.ticks.end() ? 0 : a->second);
    return 1000.0 * static_cast<double>(t) / ::sysconf(_SC_CLK_TCK);
}

std::vector<pid_t> descendants(pid_t ancetre) {
    const std::map<pid_t, Lu> tous = tous_les_processus();
    const std::set<pid_t> dedans = arbre(tous, {ancetre});
    std::vector<pid_t> liste;
    for (const pid_t pid : dedans) {
        if (pid != ancetre) {
            liste.push_back(pid);
        }
    }
    return liste;
}

} // namespace korva::charge
