#include "game/options.hpp"

namespace korva {

namespace {

constexpr int STATUT_USAGE = 2;

struct Option {
    const char* nom;
    const char* usage;
    std::string (*reponse)();
};

std::string usage();
std::string version() {
    return "korva " KORVA_VERSION "\n";
}

// Every option the program answers, with its usage line.
constexpr Option OPTIONS[] = {
    {"--version", "print the version and exit", version},
    {"--help", "print this help and exit", usage},
};

std::string usage() {
    std::string texte = "usage: korva";
    for (const Option& o : OPTIONS) {
        texte += std::string(" [") + o.nom + "]";
    }
    texte += "\nKORVA, a turn-based dungeon crawler, played on a terminal of 110 columns by 50 "
             "lines.\n";
    for (const Option& o : OPTIONS) {
        texte += std::string("  ") + o.nom + std::string(12 - std::string(o.nom).size(), ' ') +
                 o.usage + "\n";
    }
    return texte + "See korva(6).\n";
}

} // namespace

std::optional<ReponseOptions> repondre_options(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    for (const Option& o : OPTIONS) {
        if (arguments.size() == 1 && arguments[0] == o.nom) {
            return ReponseOptions{o.reponse(), false, 0};
        }
    }
    return ReponseOptions{usage(), true, STATUT_USAGE};
}

} // namespace korva
