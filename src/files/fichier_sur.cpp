#include "files/fichier_sur.hpp"

#include <algorithm>

#include "console/console.hpp"

#include <cstring>
#include <string>

namespace korva {

std::string raison_fichier(int numero_erreur) {
    switch (numero_erreur) {
    case ERREUR_PAS_UN_FICHIER:
        return "not a regular file (a pipe or a device)";
    case ERREUR_TROP_GRAND:
        return "larger than " + std::to_string(TAILLE_LECTURE_MAX >> 20) +
               " MB, too large for a file of the game";
    default:
        return std::strerror(numero_erreur);
    }
}

void signaler_fichier(std::string_view chemin, int numero_erreur) {
    signaler_erreur("%.*s: %s\n", static_cast<int>(chemin.size()), chemin.data(),
                    raison_fichier(numero_erreur).c_str());
}

bool lire_reglages(const std::string& chemin,
                   const std::function<std::optional<std::string>(std::string_view)>& ligne,
                   std::string& erreur) {
    std::string texte;
    int numero_erreur = 0;
    if (!lire_fichier(chemin, texte, numero_erreur)) {
        erreur = chemin + ": " + raison_fichier(numero_erreur);
        return false;
    }
    int numero = 0;
    for (std::string_view reste = texte; !reste.empty();) {
        const std::size_t fin = std::min(reste.find('\n'), reste.size());
        ++numero;
        if (const std::optional<std::string> refus = ligne(reste.substr(0, fin))) {
            erreur = chemin + ": line " + std::to_string(numero) + ": " + *refus;
            return false;
        }
        reste.remove_prefix(std::min(fin + 1, reste.size()));
    }
    return true;
}

bool lire_ou_signaler(const std::string& chemin, std::string& contenu) {
    int numero_erreur = 0;
    if (!lire_fichier(chemin, contenu, numero_erreur)) {
        signaler_fichier(chemin, numero_erreur);
        return false;
    }
    return true;
}

} // namespace korva
