#include "support/dore.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace korva::test {

std::string lire_tout(const std::filesystem::path& chemin) {
    std::ifstream entree(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(entree), {});
}

std::string octets_de(std::string texte) {
    for (std::size_t x; (x = texte.find("\\x")) != std::string::npos;) {
        texte.replace(x, 4, 1, static_cast<char>(std::stoi(texte.substr(x + 2, 2), nullptr, 16)));
    }
    return texte;
}

void comparer_au_fichier(const std::filesystem::path& chemin, const std::string& obtenu) {
    if (std::getenv("KORVA_REGENERER") != nullptr) {
        std::ofstream(chemin, std::ios::binary) << obtenu;
        return;
    }
    std::istringstream a(lire_tout(chemin)), o(obtenu);
    for (int n = 1; a || o; ++n) {
        std::string ligne_a, ligne_o;
        std::getline(a, ligne_a);
        std::getline(o, ligne_o);
        ASSERT_EQ(ligne_a, ligne_o) << chemin.filename().string() << ":" << n << " differs";
    }
}

} // namespace korva::test
