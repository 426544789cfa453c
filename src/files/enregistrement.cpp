#include "files/enregistrement.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace korva {

namespace {

constexpr std::string_view PREMIERE_LIGNE = "KORVA recording";

// The arrows by the word a recording gives them.
struct NomFleche {
    std::string_view mot;
    int code;
};
constexpr std::array<NomFleche, 4> FLECHES{{
    {"up", FLECHE_HAUT},
    {"down", FLECHE_BAS},
    {"left", FLECHE_GAUCHE},
    {"right", FLECHE_DROITE},
}};

// The words of the other events; an arrow is written by its own word.
struct NomSorte {
    Evenement::Sorte sorte;
    std::string_view mot;
};
constexpr std::array<NomSorte, 9> SORTES{{
    {Evenement::Sorte::touche, "key"},
    {Evenement::Sorte::ligne, "line"},
    {Evenement::Sorte::pause, "pause"},
    {Evenement::Sorte::de, "dice"},
    {Evenement::Sorte::rapport, "report"},
    {Evenement::Sorte::sauvegarde, "save"},
    {Evenement::Sorte::ctrl_c, "ctrl-c"},
    {Evenement::Sorte::perdu, "lost"},
    {Evenement::Sorte::fin, "end"},
}};

// A typed line or a report on one line of its own: backslashes and controls as escapes.
std::string echapper(std::string_view texte) {
    std::string resultat;
    for (const char octet : texte) {
        const auto code = static_cast<unsigned char>(octet);
        if (octet == '\\') {
            resultat += "\\\\";
        } else if (code < 0x20 || code == 0x7F) {
            char echappe[5];
            std::snprintf(echappe, sizeof echappe, "\\x%02x", code);
            resultat += echappe;
        } else {
            resultat += octet;
        }
    }
    return resultat;
}

std::optional<std::string> rendre(std::string_view texte) {
    std::string resultat;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] != '\\') {
            resultat += texte[i];
        } else if (texte.substr(i, 2) == "\\\\") {
            resultat += '\\';
            ++i;
        } else if (texte.substr(i, 2) == "\\x" && i + 3 < texte.size() &&
                   std::isxdigit(static_cast<unsigned char>(texte[i + 2])) != 0 &&
                   std::isxdigit(static_cast<unsigned char>(texte[i + 3])) != 0) {
            resultat +=
                static_cast<char>(std::stoi(std::string(texte.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return resultat;
}

// Cuts a line into its first word and the rest.
std::pair<std::string_view, std::string_view> couper(std::string_view ligne) {
    const std::size_t blanc = ligne.find(' ');
    if (blanc == std::string_view::npos) {
        return {ligne, {}};
    }
    return {ligne.substr(0, blanc), ligne.substr(blanc + 1)};
}

} // namespace

bool lire_evenement(std::string_view ligne, Evenement& e) {
    const auto [mot, reste] = couper(ligne);
    for (const NomFleche& fleche : FLECHES) {
        if (mot == fleche.mot && reste.empty()) {
            e = {Evenement::Sorte::fleche, fleche.code, {}};
            return true;
        }
    }
    for (const NomSorte& nom : SORTES) {
        if (mot != nom.mot) {
            continue;
        }
        e = {nom.sorte, 0, {}};
        switch (nom.sorte) {
        case Evenement::Sorte::pause:
            return reste.empty();
        case Evenement::Sorte::ligne:
        case Evenement::Sorte::rapport: {
            const std::optional<std::string> texte = rendre(reste);
            e.texte = texte.value_or("");
            return texte.has_value();
        }
        case Evenement::Sorte::ctrl_c:
            e.texte = reste;
            return !reste.empty();
        case Evenement::Sorte::perdu: {
            const auto [statut, attente] = couper(reste);
            const std::optional<int> nombre = nombre_entier(statut);
            e.nombre = nombre.value_or(0);
            e.texte = attente;
            return nombre.has_value() && !attente.empty();
        }
        default: {
            const std::optional<int> nombre = nombre_entier(reste);
            e.nombre = nombre.value_or(0);
            return nombre.has_value();
        }
        }
    }
    return false;
}

namespace {

// The lines of a text, each without its line feed (a last line may lack one).
std::vector<std::string_view> lignes_de(std::string_view texte) {
    std::vector<std::string_view> lignes;
    while (!texte.empty()) {
        const std::size_t fin = texte.find('\n');
        lignes.push_back(texte.substr(0, fin));
        texte.remove_prefix(fin == std::string_view::npos ? texte.size() : fin + 1);
    }
    return lignes;
}

bool lire_en_tete(const std::vector<std::string_view>& lignes, std::size_t& n,
                  EnTeteEnregistrement& e, std::string& erreur) {
    const auto champ = [&](std::string_view mot) -> std::optional<std::string_view> {
        if (n >= lignes.size()) {
            return std::nullopt;
        }
        const auto [premier, reste] = couper(lignes[n]);
        if (premier != mot) {
            return std::nullopt;
        }
        ++n;
        return reste;
    };
    if (lignes.empty() || lignes[0] != PREMIERE_LIGNE) {
        erreur = "it is not a KORVA recording";
        return false;
    }
    n = 1;
    const auto version = champ("version");
    const auto empreinte = champ("data");
    const auto heros = champ("hero");
    const auto serrure = champ("lock");
    const auto depart = champ("start");
    if (!version || !empreinte || !heros || !serrure || !depart) {
        erreur = "line " + std::to_string(n + 1) + ": the heading is damaged";
        return false;
    }
    e.version = *version;
    e.empreinte = *empreinte;
    const auto [sorte, nom] = couper(*heros);
    e.nouveau = sorte == "new";
    e.nom = nom;
    std::size_t position = 0;
    const std::optional<int> lignes_depart = nombre_entier(*depart);
    if ((sorte != "new" && sorte != "loaded") || nom.empty() ||
        !lire_nombre(*serrure, position, e.serrure.numero) ||
        !lire_nombre(*serrure, position, e.serrure.l) ||
        !lire_nombre(*serrure, position, e.serrure.c) || !lignes_depart || *lignes_depart < 0 ||
        static_cast<std::size_t>(*lignes_depart) > lignes.size() - n) {
        erreur = "the heading is damaged";
        return false;
    }
    for (int i = 0; i < *lignes_depart; ++i, ++n) {
        e.depart.append(lignes[n]);
        e.depart += '\n';
    }
    return true;
}

} // namespace

std::string texte_en_tete(const EnTeteEnregistrement& e) {
    std::size_t lignes = 0;
    for (const char octet : e.depart) {
        lignes += octet == '\n' ? 1 : 0;
    }
    return std::string(PREMIERE_LIGNE) + "\nversion " + e.version + "\ndata " + e.empreinte +
           "\nhero " + (e.nouveau ? "new " : "loaded ") + e.nom + "\nlock " +
           std::to_string(e.serrure.numero) + " " + std::to_string(e.serrure.l) + " " +
           std::to_string(e.serrure.c) + "\nstart " + std::to_string(lignes) + "\n" + e.depart;
}

std::string ligne_evenement(const Evenement& e) {
    if (e.sorte == Evenement::Sorte::fleche) {
        for (const NomFleche& fleche : FLECHES) {
            if (fleche.code == e.nombre) {
                return std::string(fleche.mot) + "\n";
            }
        }
    }
    std::string ligne;
    for (const NomSorte& nom : SORTES) {
        if (nom.sorte == e.sorte) {
            ligne = nom.mot;
        }
    }
    switch (e.sorte) {
    case Evenement::Sorte::pause:
        break;
    case Evenement::Sorte::ligne:
    case Evenement::Sorte::rapport:
        ligne += " " + echapper(e.texte);
        break;
    case Evenement::Sorte::ctrl_c:
        ligne += " " + e.texte;
        break;
    case Evenement::Sorte::perdu:
        ligne += " " + std::to_string(e.nombre) + " " + e.texte;
        break;
    default:
        ligne += " " + std::to_string(e.nombre);
        break;
    }
    return ligne + "\n";
}

std::string texte_enregistrement(const Enregistrement& enregistrement) {
    std::string texte = texte_en_tete(enregistrement.en_tete);
    for (const Evenement& evenement : enregistrement.evenements) {
        texte += ligne_evenement(evenement);
    }
    return texte;
}

bool lire_enregistrement(std::string_view texte, Enregistrement& enregistrement,
                         std::string& erreur) {
    const std::vector<std::string_view> lignes = lignes_de(texte);
    std::size_t n = 0;
    Enregistrement lu;
    if (!lire_en_tete(lignes, n, lu.en_tete, erreur)) {
        return false;
    }
    for (; n < lignes.size(); ++n) {
        Evenement e{Evenement::Sorte::pause, 0, {}};
        if (!lire_evenement(lignes[n], e)) {
            erreur = "line " + std::to_string(n + 1) + " is damaged";
            return false;
        }
        lu.evenements.push_back(std::move(e));
    }
    enregistrement = std::move(lu);
    return true;
}

std::string empreinte_fichiers(const std::vector<std::string>& chemins) {
    // FNV-1a, 64 bits: enough to tell one set of data files from another, which is all it
    // is asked; it guards against mistakes, not against forgery.
    std::uint64_t empreinte = 14695981039346656037ULL;
    const auto ajouter = [&empreinte](std::string_view octets) {
        for (const char octet : octets) {
            empreinte = (empreinte ^ static_cast<unsigned char>(octet)) * 1099511628211ULL;
        }
        empreinte = (empreinte ^ 0xFF) * 1099511628211ULL; // a byte no text holds ends each part
    };
    for (const std::string& chemin : chemins) {
        std::string contenu;
        int numero_erreur = 0;
        ajouter(chemin);
        ajouter(lire_fichier(chemin, contenu, numero_erreur) ? contenu : "(missing)");
    }
    char hexa[17];
    std::snprintf(hexa, sizeof hexa, "%016llx", static_cast<unsigned long long>(empreinte));
    return hexa;
}

} // namespace korva
