#include "support/dossier_jeu.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace korva::test {

namespace fs = std::filesystem;

namespace {

// A new folder of a name no one else holds, made the way mkdtemp does, which Windows lacks.
fs::path dossier_temporaire() {
    std::random_device hasard;
    const fs::path base = fs::temp_directory_path();
    for (int essai = 0; essai < 100; ++essai) {
        char nom[32];
        std::snprintf(nom, sizeof nom, "korva-test-%08x", static_cast<unsigned>(hasard()));
        const fs::path chemin = base / nom;
        std::error_code erreur;
        if (fs::create_directory(chemin, erreur)) {
            return chemin;
        }
        if (erreur) {
            break;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

} // namespace

DossierJeu::DossierJeu() {
    racine_ = dossier_temporaire();
    fs::copy(fs::path(KORVA_FICHIERS_SOURCE), racine_ / "fichiers", fs::copy_options::recursive);
    ancien_ = fs::current_path();
    fs::current_path(racine_);
}

DossierJeu::~DossierJeu() {
    std::error_code ignore;
    fs::current_path(ancien_, ignore);
    fs::remove_all(racine_, ignore);
}

void DossierJeu::ecrire(const std::string& relatif, const std::string& contenu) const {
    const fs::path fichier = chemin(relatif);
    fs::create_directories(fichier.parent_path());
    std::ofstream sortie(fichier, std::ios::binary | std::ios::trunc);
    sortie << contenu;
}

std::string DossierJeu::lire(const std::string& relatif) const {
    std::ifstream entree(chemin(relatif), std::ios::binary);
    std::ostringstream contenu;
    contenu << entree.rdbuf();
    return contenu.str();
}

void DossierJeu::supprimer(const std::string& relatif) const {
    fs::remove(chemin(relatif));
}

std::vector<std::string> noms_dans(const fs::path& dossier) {
    std::vector<std::string> liste;
    std::error_code absent; // a folder not there has no entries
    for (const auto& entree : fs::directory_iterator(dossier, absent)) {
        liste.push_back(entree.path().filename().string());
    }
    std::sort(liste.begin(), liste.end());
    return liste;
}

} // namespace korva::test
