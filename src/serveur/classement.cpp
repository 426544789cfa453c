#include "serveur/classement.hpp"

#include "files/fichier_sur.hpp"
#include "files/registre_texte.hpp"
#include "files/sauvegarde.hpp"
#include "serveur/dossier_compte.hpp"
#include "serveur/journal.hpp"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <tuple>

namespace korva::serveur {

namespace fs = std::filesystem;

bool avant(const Rang& a, const Rang& b) {
    return std::tie(b.score, a.compte, a.heros) < std::tie(a.score, b.compte, b.heros);
}

namespace {

// The account's heroes, ranked; nothing, and a line in the log, when the game would refuse its
// registry or the registry is not the account's own.
std::vector<Rang> lire(const std::string& compte, const fs::path& chemin, bool lien) {
    std::string texte, erreur;
    int numero_erreur = 0;
    std::vector<sJoueur> joueurs;
    if (lien) {
        erreur = "it is a link, as an older server left it (the operator's split-registry "
                 "splits it)";
    } else if (!lire_fichier(chemin.string(), texte, numero_erreur)) {
        erreur = raison_fichier(numero_erreur);
    } else if (lire_registre(texte, joueurs, erreur)) {
        std::vector<Rang> rangs;
        for (const sJoueur& j : joueurs) {
            rangs.push_back(
                {compte, std::string(j.pseudo, strnlen(j.pseudo, TAILLE_NOM)), j.score});
        }
        std::sort(rangs.begin(), rangs.end(), avant);
        return rangs;
    }
    journal("the registry of %s is left out of the ranking: %s", compte.c_str(), erreur.c_str());
    return {};
}

} // namespace

std::vector<Rang> Registres::classement(const Configuration& c, std::size_t nombre) {
    std::map<std::string, Lu> lus;
    std::vector<Rang> rangs;
    std::error_code erreur;
    for (fs::directory_iterator i(dossier_des_comptes(c), erreur), fin; !erreur && i != fin;
         i.increment(erreur)) {
        const std::string compte = i->path().filename().string();
        const fs::path chemin = i->path() / FICHIER_REGISTRE;
        std::error_code e;
        const fs::file_status etat = fs::symlink_status(chemin, e);
        if (!fs::exists(etat)) {
            continue; // no hero saved yet
        }
        const bool lien = fs::is_symlink(etat);
        Lu lu{lien ? fs::file_time_type() : fs::last_write_time(chemin, e),
              lien ? 0 : fs::file_size(chemin, e),
              {}};
        // Read again only once changed, so that a registry refused, or a link, is logged once
        // until it changes, not at every look of korva-web's.
        const auto deja = lus_.find(compte);
        const bool inchange =
            deja != lus_.end() && deja->second.date == lu.date && deja->second.taille == lu.taille;
        if (inchange) {
            lu.rangs = std::move(deja->second.rangs);
        } else {
            lu.rangs = lire(compte, chemin, lien);
        }
        // Each account's ranked already: only its first few may be among the first of all.
        rangs.insert(rangs.end(), lu.rangs.begin(),
                     lu.rangs.begin() +
                         static_cast<std::ptrdiff_t>(std::min(nombre, lu.rangs.size())));
        lus.emplace(compte, std::move(lu));
    }
    lus_ = std::move(lus);
    const auto montres =
        rangs.begin() + static_cast<std::ptrdiff_t>(std::min(nombre, rangs.size()));
    std::partial_sort(rangs.begin(), montres, rangs.end(), avant);
    rangs.erase(montres, rangs.end());
    return rangs;
}

std::vector<Rang> classement(const Configuration& c, std::size_t nombre) {
    return Registres().classement(c, nombre);
}

} // namespace korva::serveur
