#include "game/options.hpp"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

namespace korva {

namespace {

constexpr int STATUT_USAGE = 2;

struct Option {
    const char* nom;
    // What follows the option, or nothing: a word in capitals stands for any word, the others
    // are typed as they stand.
    const char* argument;
    const char* usage;
    // What the option asks of the program, its argument given.
    Commande (*commande)(const std::string& argument);
};

std::string usage();

Commande repondre(std::string texte) {
    return {ReponseOptions{std::move(texte), false, 0}, {}, false};
}

// Every option the program answers, with its usage line.
constexpr Option OPTIONS[] = {
    {"--version", nullptr, "print the version and exit",
     [](const std::string&) { return repondre("korva " KORVA_VERSION "\n"); }},
    {"--help", nullptr, "print this help and exit",
     [](const std::string&) { return repondre(usage()); }},
    {"--replay", "FILE", "show the recorded game FILE again",
     [](const std::string& fichier) {
         return Commande{std::nullopt, fichier, false};
     }},
    {"--replay", "FILE --follow", "follow the game recorded in FILE as it is played",
     [](const std::string& fichier) {
         return Commande{std::nullopt, fichier, true};
     }},
};

constexpr std::size_t LARGEUR_OPTION = 23;

// The words of an option's argument.
std::vector<std::string> mots(const char* argument) {
    std::vector<std::string> liste;
    for (std::string_view reste = argument ? argument : ""; !reste.empty();) {
        const std::size_t blanc = std::min(reste.find(' '), reste.size());
        liste.emplace_back(reste.substr(0, blanc));
        reste.remove_prefix(std::min(blanc + 1, reste.size()));
    }
    return liste;
}

// The word the option's argument stands for, when `arguments` are the option's own.
std::optional<std::string> valeur(const Option& o, const std::vector<std::string>& arguments) {
    const std::vector<std::string> attendus = mots(o.argument);
    if (arguments.size() != attendus.size() + 1 || arguments[0] != o.nom) {
        return std::nullopt;
    }
    std::string lue;
    for (std::size_t i = 0; i < attendus.size(); ++i) {
        if (std::isupper(static_cast<unsigned char>(attendus[i][0])) != 0) {
            lue = arguments[i + 1];
        } else if (arguments[i + 1] != attendus[i]) {
            return std::nullopt;
        }
    }
    return lue;
}

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
        if (const std::optional<std::string> lue = valeur(o, arguments)) {
            return o.commande(*lue);
        }
    }
    return {ReponseOptions{refus(arguments) + usage(), true, STATUT_USAGE}, {}, false};
}

} // namespace korva
