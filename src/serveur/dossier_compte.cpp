#include "serveur/dossier_compte.hpp"

#include "files/enregistrement.hpp"
#include "files/fichier_sur.hpp"
#include "files/journal_parties.hpp"
#include "files/sauvegarde.hpp"
#include "serveur/lecture_journal.hpp"

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace korva::serveur {

namespace fs = std::filesystem;

namespace {

// The installed data an account's games read, each linked from its folder.
constexpr std::array<const char*, 3> DONNEES_LIEES = {"niveaux", "presentation", "parchemins"};
constexpr const char* REGISTRE_VIDE = "0\n";

// `lien` leads to `cible`, whatever stood there before.
void lier(const fs::path& cible, const fs::path& lien, std::error_code& erreur) {
    std::error_code absent;
    if (fs::read_symlink(lien, absent) == cible) {
        return;
    }
    fs::remove(lien, absent);
    fs::create_symlink(cible, lien, erreur);
}

} // namespace

std::string dossier_du_compte(const Configuration& c, const std::string& nom) {
    return c.donnees + "/comptes/" + nom;
}

bool preparer_dossier(const Configuration& c, const std::string& nom, std::string& raison) {
    const fs::path dossier = dossier_du_compte(c, nom);
    const fs::path registre = fs::absolute(fs::path(c.donnees) / REGISTRE_PARTAGE);
    std::error_code erreur;
    fs::create_directories(dossier / DOSSIER_PERSONNAGES, erreur);
    if (!erreur) {
        fs::create_directories(dossier / DOSSIER_ENREGISTREMENTS, erreur);
    }
    if (!erreur && !fichier_existe(registre.string())) {
        const VerrouFichier verrou(registre.string());
        int numero_erreur = 0;
        if (!fichier_existe(registre.string()) &&
            !ecrire_fichier_atomique(registre.string(), REGISTRE_VIDE, numero_erreur)) {
            raison = registre.string() + ": " + raison_fichier(numero_erreur);
            return false;
        }
    }
    for (const char* donnee : DONNEES_LIEES) {
        if (!erreur) {
            lier(fs::absolute(fs::path(c.fichiers_jeu) / donnee), dossier / "fichiers" / donnee,
                 erreur);
        }
    }
    if (!erreur) {
        lier(registre, dossier / FICHIER_REGISTRE, erreur);
    }
    // The games log of every account's games, which each game adds its line to as it ends.
    const fs::path journal = fs::absolute(chemin_journal_parties(c));
    if (!erreur && !fichier_existe(journal.string())) {
        std::ofstream(journal, std::ios::app);
    }
    if (!erreur) {
        lier(journal, dossier / FICHIER_JOURNAL_PARTIES, erreur);
    }
    if (erreur) {
        raison = dossier.string() + ": " + erreur.message();
        return false;
    }
    return true;
}

} // namespace korva::serveur
