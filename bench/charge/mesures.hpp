// What the load benchmark reads of the machine: the processes of a server's tree from /proc (their
// kind, CPU time and proportional memory), the load average, and ranks of a sample.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace korva::charge {

using Horloge = std::chrono::steady_clock;

// The value below which `part` of the sample lies (0.5 the median); 0 for no sample.
double rang(std::vector<double> v, double part);

double millisecondes(Horloge::duration d);

// The machine's load average over the last minute.
double charge_moyenne();

// The processes of the trees rooted at `racines` (the roots included), counted by kind: the
// program's name as /proc gives it (korva-web, korva-serveur, korva, sshd, node...).
struct Releve {
    std::map<std::string, int> nombre;
    std::map<std::string, long long> ticks; // CPU time, user and system, in clock ticks
    std::map<std::string, long> pss_ko;     // read only when asked: it walks every page table
    int total() const;
    long long ticks_total() const;
    long pss_total_ko() const;
};
Releve relever(const std::vector<pid_t>& racines, bool memoire);

// The share of one core that `apres` used over `avant`'s, in `duree`.
double part_de_coeur(const Releve& avant, const Releve& apres, Horloge::duration duree);
// The CPU milliseconds of one kind between two readings.
double cpu_ms(const Releve& avant, const Releve& apres, const std::string& sorte);

// Every process of the machine whose parent chain reaches `ancetre`.
std::vector<pid_t> descendants(pid_t ancetre);

} // namespace korva::charge
