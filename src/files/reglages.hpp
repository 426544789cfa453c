// A program's settings declared once each, in one table: the key a configuration file names it
// by, its default as the file would write it, what it means, where it goes, and for a number
// its range. Reading a file, refusing a bad line (naming the setting and what it takes),
// listing the settings in force, and the checks of the packaged files and the docs all come
// from that table.
#pragma once

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"

#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

// The largest number a setting takes unless it says otherwise: far past any sensible limit,
// and far from int's own, so that a count or a product of it never wraps.
inline constexpr int NOMBRE_MAX = 1 << 30;

template <class C> struct Reglage {
    std::string_view cle;
    std::string_view defaut; // as the file writes it; empty: none (a word left out)
    std::string_view sens;   // what it means, for the listing and the docs
    // Where it goes: one of three.
    std::string C::*mot = nullptr;                // one word: a path, an address
    std::vector<std::string> C::*liste = nullptr; // words, a line each, the default none
    int C::*nombre = nullptr;                     // a whole number from `minimum` to `maximum`
    int minimum = 0;
    int maximum = NOMBRE_MAX;
};

// What a setting takes, in a refusal's words.
template <class C> std::string ce_que_prend(const Reglage<C>& r) {
    return r.nombre != nullptr ? "a whole number from " + std::to_string(r.minimum) + " to " +
                                     std::to_string(r.maximum)
                               : "one word";
}

// Every setting of `c` at its default: what a settings type's constructor does, so that the
// defaults stand only in the table.
template <class C> void appliquer_defauts(C& c, std::span<const Reglage<C>> table) {
    for (const Reglage<C>& r : table) {
        if (r.mot != nullptr) {
            c.*r.mot = r.defaut;
        } else if (r.nombre != nullptr) {
            c.*r.nombre = nombre_entier(r.defaut).value_or(r.minimum);
        }
    }
}

// One line of a file into `c`: a comment, a blank line, or "key value". Nothing when taken;
// otherwise why not, naming the setting and what it takes.
template <class C>
std::optional<std::string> lire_reglage(std::string_view ligne, C& c,
                                        std::span<const Reglage<C>> table) {
    std::size_t position = 0;
    const std::string_view cle = lire_mot(ligne, position);
    const std::string_view valeur = lire_mot(ligne, position);
    if (cle.empty() || cle.front() == '#') {
        return std::nullopt;
    }
    for (const Reglage<C>& r : table) {
        if (r.cle != cle) {
            continue;
        }
        const std::optional<int> nombre = nombre_entier(valeur);
        const bool pris =
            !valeur.empty() && lire_mot(ligne, position).empty() &&
            (r.nombre == nullptr || (nombre && *nombre >= r.minimum && *nombre <= r.maximum));
        if (!pris) {
            return std::string(cle) + " takes " + ce_que_prend(r);
        }
        if (r.mot != nullptr) {
            c.*r.mot = valeur;
        } else if (r.liste != nullptr) {
            (c.*r.liste).emplace_back(valeur);
        } else {
            c.*r.nombre = *nombre;
        }
        return std::nullopt;
    }
    return "no setting is called " + std::string(cle).substr(0, 64);
}

// Reads the file at `chemin` over the defaults; nothing, with `erreur` naming the file, the
// line and why, when a line cannot be taken or the file read.
template <class C>
std::optional<C> lire_fichier_reglages(const std::string& chemin, std::span<const Reglage<C>> table,
                                       std::string& erreur) {
    C c; // at its defaults
    if (!lire_reglages(
            chemin, [&](std::string_view l) { return lire_reglage(l, c, table); }, erreur)) {
        return std::nullopt;
    }
    return c;
}

// Every setting in force as a file would hold it, one "key value" a line in the table's order,
// a list's key on a line for each of its words, an empty word left out.
template <class C> std::string en_texte(const C& c, std::span<const Reglage<C>> table) {
    std::string texte;
    for (const Reglage<C>& r : table) {
        const std::vector<std::string> valeurs = r.liste != nullptr ? c.*r.liste
                                                 : r.mot != nullptr
                                                     ? std::vector{c.*r.mot}
                                                     : std::vector{std::to_string(c.*r.nombre)};
        for (const std::string& v : valeurs) {
            texte += v.empty() ? "" : std::string(r.cle) + " " + v + "\n";
        }
    }
    return texte;
}

} // namespace korva
