// The settings' declaration against what stands outside the code: the packaged configuration
// file names every setting once (a number at its default; a path as the install writes it; a
// setting left out of it as a comment) and no other; the operators' guide has a row for each,
// with what it takes, its default (a number's) and what it means, as declared.
#pragma once

#include "files/reglages.hpp"
#include "support/dore.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

namespace korva::test {

// `section`: the guide's heading the table stands under.
template <class C>
void verifier_reglages_documentes(std::span<const Reglage<C>> table, const std::string& conf,
                                  const std::string& guide, const std::string& section) {
    const auto declare = [&](const std::string& cle) {
        return std::any_of(table.begin(), table.end(), [&](const auto& r) { return r.cle == cle; });
    };
    std::map<std::string, std::string> dans_conf, dans_guide;
    std::istringstream fichier(lire_tout(conf)), docs(lire_tout(guide));
    for (std::string l; std::getline(fichier, l);) {
        std::istringstream mots(l.starts_with("# ") ? l.substr(2) : l);
        std::string cle, valeur, reste;
        if (mots >> cle >> valeur && !(mots >> reste) && (l[0] != '#' || declare(cle))) {
            EXPECT_TRUE(dans_conf.emplace(cle, valeur).second) << conf << ": twice " << cle;
        }
    }
    bool dedans = false;
    for (std::string l; std::getline(docs, l);) {
        dedans = l.starts_with("#") ? l == section : dedans;
        if (dedans && l.starts_with("| `")) {
            dans_guide[l.substr(3, l.find('`', 3) - 3)] = l;
        }
    }
    for (const Reglage<C>& r : table) {
        const std::string cle(r.cle), defaut(r.defaut);
        EXPECT_TRUE(r.nombre == nullptr ? dans_conf.count(cle) != 0 : dans_conf[cle] == defaut)
            << conf << ": " << cle << " " << dans_conf[cle];
        const std::string prend = r.liste != nullptr ? "one word, a line each" : ce_que_prend(r);
        const std::string ligne = dans_guide[cle];
        EXPECT_TRUE(
            ligne.ends_with(" | " + prend + " | " + std::string(r.sens) + " |") &&
            (r.nombre == nullptr || ligne.starts_with("| `" + cle + "` | " + defaut + " |")))
            << guide << ": " << ligne;
        dans_conf.erase(cle);
        dans_guide.erase(cle);
    }
    EXPECT_TRUE(dans_conf.empty()) << conf << ": " << dans_conf.begin()->first;
    EXPECT_TRUE(dans_guide.empty()) << guide << ": " << dans_guide.begin()->first;
}

} // namespace korva::test
