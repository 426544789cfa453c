#include "files/fichier_sur.hpp"

#include <cerrno>
#include <cstdio>

namespace korva {

bool lire_fichier(const std::string& chemin, std::string& contenu, int& numero_erreur) {
    // Binary, so that the bytes read are the bytes stored on every platform.
    std::FILE* fichier = std::fopen(chemin.c_str(), "rb");
    if (fichier == nullptr) {
        numero_erreur = errno;
        return false;
    }
    contenu.clear();
    char tampon[4096];
    std::size_t lu = 0;
    while ((lu = std::fread(tampon, 1, sizeof tampon, fichier)) > 0) {
        contenu.append(tampon, lu);
    }
    const bool reussi = std::ferror(fichier) == 0;
    if (!reussi) {
        numero_erreur = errno;
    }
    std::fclose(fichier);
    return reussi;
}

} // namespace korva
