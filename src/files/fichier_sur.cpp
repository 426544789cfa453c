#include "files/fichier_sur.hpp"

#include "console/console.hpp"

#include <string>

namespace korva {

void signaler_fichier(std::string_view chemin, int numero_erreur) {
    switch (numero_erreur) {
    case ERREUR_PAS_UN_FICHIER:
        signaler_erreur("%.*s: not a regular file (a pipe or a device)\n",
                        static_cast<int>(chemin.size()), chemin.data());
        break;
    case ERREUR_TROP_GRAND:
        signaler_erreur("%.*s: larger than %zu MB, too large for a file of the game\n",
                        static_cast<int>(chemin.size()), chemin.data(), TAILLE_LECTURE_MAX >> 20);
        break;
    default:
        signaler(chemin, numero_erreur);
        break;
    }
}

} // namespace korva
