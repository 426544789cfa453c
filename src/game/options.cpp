#include "game/options.hpp"

#include <algorithm>
#include <iterator>

namespace korva {

namespace {

constexpr int STATUT_USAGE = 2;

struct Option {
    const char* nom;
    const char* argument; // what follows the option, or nothing
    const char* usage;
    // What the option asks of the program, its argument given.
    Commande (*commande)(const std::string& argument);
};

std::string usage();

Commande repondre(std::string texte) {
    return {ReponseOptions{std::move(texte), false, 0}, {}};
}

// Every option the program answers, with its usage line.
constexpr Option OPTIONS[] = {
    {"--version", nullptr, "print the version and exit",
     [](const std::string&) { return repondre("korva " KORVA_VERSION "\n"); }},
    {"--help", nullptr, "print this help and exit",
     [](const std::string&) { return repondre(usage()); }},
    {"--replay", "FILE", "show the recorded game FILE again",
     [](const std::string& fichier) {
         return Commande{std::nullopt, fichier};
     }},
};

constexpr std::size_t LARGEUR_OPTION = 16;

std::string usage() {
    std::string texte = "usage: korva";
    for (const Option& o : OPTIONS) {
        texte +=
            std::string(" [") + o.nom + (o.argument ? std::string(" ") + o.argument : "") + "]";
    }
    texte += "\nKORVA, a turn-based dungeon crawler, played on a terminal of 110 columns by 50 "
             "lines.\n";
    for (const Option& o : OPTIONS) {
        const std::string forme =
            std::string(o.nom) + (o.argument ? std::string(" ") + o.argument : "");
        texte += "  " + forme + std::string(LARGEUR_OPTION - forme.size(), ' ') + o.usage + "\n";
    }
    return texte + "See korva(6).\n";
}

// Why the command line is none the program answers, in the line that comes before the usage.
std::string refus(const std::vector<std::string>& arguments) {
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const Option* o =
            std::find_if(std::begin(OPTIONS), std::end(OPTIONS),
                         [&](const Option& option) { return arguments[k] == option.nom; });
        if (o == std::end(OPTIONS)) {
            return "korva: unknown option '" + arguments[k] + "'\n";
        }
        if (o->argument && ++k == arguments.size()) {
            return "korva: option '" + arguments[k - 1] + "' needs " + o->argument + "\n";
        }
    }
    return "korva: one option at a time\n";
}

} // namespace

Commande lire_commande(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return {};
    }
    for (const Option& o : OPTIONS) {
        const std::size_t attendus = o.argument ? 2 : 1;
        if (arguments.size() == attendus && arguments[0] == o.nom) {
            return o.commande(o.argument ? arguments[1] : std::string());
        }
    }
    return {ReponseOptions{refus(arguments) + usage(), true, STATUT_USAGE}, {}};
}

} // namespace korva
