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

std::string dossier_des_comptes(const Configuration& c) {
    return c.donnees + "/comptes";
}

std::string dossier_du_compte(const Configuration& c, const std::string& nom) {
    return dossier_des_comptes(c) + "/" + nom;
}

bool preparer_dossier(const Configuration& c, const std::string& nom, std::string& raison) {
    const fs::path dossier = dossier_du_compte(c, nom);
    const std::string registre = (dossier / FICHIER_REGISTRE).string();
    std::error_code erreur;
    fs::create_directories(dossier / DOSSIER_PERSONNAGES, erreur);
    if (!erreur) {
        fs::create_directories(dossier / DOSSIER_ENREGISTREMENTS, erreur);
    }
    // Under the lock the account's games save under, so that two connections of the account
    // never make it twice, nor over a game's first save.
    if (!erreur && !fichier_existe(registre)) {
        const VerrouFichier verrou(registre);
        int numero_erreur = 0;
        if (!fichier_existe(registre) &&
            !ecrire_fichier_atomique(registre, REGISTRE_VIDE, numero_erreur)) {
            raison = registre + ": " + raison_fichier(numero_erreur);
            return false;
        }
    }
    for (const char* donnee : DONNEES_LIEES) {
        if (!erreur) {
            lier(fs::absolute(fs::path(c.fichiers_jeu) / donnee), dossier / "fichiers" / donnee,
                 erreur);
        }
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
