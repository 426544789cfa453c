#include "serveur/separation_registre.hpp"

#include "files/fichier_sur.hpp"
#include "files/nom_joueur.hpp"
#include "files/registre_texte.hpp"
#include "files/sauvegarde.hpp"
#include "serveur/dossier_compte.hpp"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace korva::serveur {

namespace fs = std::filesystem;

namespace {

constexpr const char* A_FINIR = "; the shared registry stays: run the split again once mended";

std::string_view pseudo_de(const sJoueur& j) {
    return std::string_view(j.pseudo, strnlen(j.pseudo, TAILLE_NOM));
}

bool nomme(const std::vector<sJoueur>& joueurs, std::string_view nom) {
    return std::any_of(joueurs.begin(), joueurs.end(),
                       [nom](const sJoueur& j) { return pseudo_de(j) == nom; });
}

// A registry as the game reads it; false with the reason, which names the file as `nom`, its
// path from the data folder, so that a report reads alike wherever that folder lies.
bool lire(const fs::path& chemin, const std::string& nom, std::vector<sJoueur>& joueurs,
          std::string& raison) {
    std::string texte, erreur;
    int numero_erreur = 0;
    if (!lire_fichier(chemin.string(), texte, numero_erreur)) {
        erreur = raison_fichier(numero_erreur);
    } else if (lire_registre(texte, joueurs, erreur)) {
        return true;
    }
    raison = nom + ": " + erreur;
    return false;
}

bool ecrire(const fs::path& chemin, const std::string& nom, const std::vector<sJoueur>& joueurs,
            std::string& raison) {
    int numero_erreur = 0;
    if (ecrire_fichier_atomique(chemin.string(), texte_du_registre(joueurs), numero_erreur)) {
        return true;
    }
    raison = nom + ": " + raison_fichier(numero_erreur);
    return false;
}

// An account's registry as the split finds it: a link to the shared one (or none), which the
// split replaces, or the account's own, held under its lock until the split has added to it.
struct Registre {
    fs::path dossier; // the account's folder
    std::string nom;  // the registry's path from the data folder
    bool propre = false;
    std::vector<sJoueur> joueurs;
    std::unique_ptr<VerrouFichier> verrou;
};

// Every account's folder where the game keeps saves, by name.
bool registres_des_comptes(const Configuration& c, std::vector<Registre>& registres,
                           std::string& raison) {
    std::error_code erreur;
    for (fs::directory_iterator i(dossier_des_comptes(c), erreur), fin; !erreur && i != fin;
         i.increment(erreur)) {
        std::error_code e;
        if (!fs::is_directory(i->path() / DOSSIER_PERSONNAGES, e)) {
            continue;
        }
        Registre r;
        r.dossier = i->path();
        r.nom = "comptes/" + i->path().filename().string() + "/" + FICHIER_REGISTRE;
        const fs::path chemin = r.dossier / FICHIER_REGISTRE;
        const fs::file_status etat = fs::symlink_status(chemin, e);
        r.propre = fs::exists(etat) && !fs::is_symlink(etat);
        if (r.propre) {
            r.verrou = std::make_unique<VerrouFichier>(chemin.string());
            if (!lire(chemin, r.nom, r.joueurs, raison)) {
                return false;
            }
        }
        registres.push_back(std::move(r));
    }
    std::sort(registres.begin(), registres.end(),
              [](const Registre& a, const Registre& b) { return a.dossier < b.dossier; });
    return true;
}

// The account's registry with the shared lines its folder holds a save of; `placees` marks them.
bool ajouter(Registre& r, const std::vector<sJoueur>& partages, std::vector<bool>& placees,
             int& comptes, std::string& raison) {
    std::vector<sJoueur> ajoutes;
    for (std::size_t i = 0; i < partages.size(); ++i) {
        std::string refus;
        const std::string_view nom = pseudo_de(partages[i]);
        // A hero the account names already (a split cut short, run again) is its own too.
        if (nom_valide(nom, refus) &&
            fichier_existe((r.dossier / chemin_sauvegarde(nom)).string())) {
            placees[i] = true;
            if (!nomme(r.joueurs, nom) && !nomme(ajoutes, nom)) {
                ajoutes.push_back(partages[i]);
            }
        }
    }
    comptes += ajoutes.empty() ? 0 : 1;
    const fs::path chemin = r.dossier / FICHIER_REGISTRE;
    if (r.propre) {
        // Ranked among the lines already there as the game ranks them: the higher score first.
        r.joueurs.insert(r.joueurs.end(), ajoutes.begin(), ajoutes.end());
        std::stable_sort(r.joueurs.begin(), r.joueurs.end(),
                         [](const sJoueur& a, const sJoueur& b) { return a.score > b.score; });
        return ajoutes.empty() || ecrire(chemin, r.nom, r.joueurs, raison);
    }
    // Written beside, then renamed over the link, so that the account always has a registry.
    const fs::path nouveau = chemin.string() + ".nouveau";
    std::error_code erreur;
    if (!ecrire(nouveau, r.nom, ajoutes, raison)) {
        return false;
    }
    fs::rename(nouveau, chemin, erreur);
    if (erreur) {
        raison = r.nom + ": " + erreur.message();
    }
    return !erreur;
}

// The first name of the old registry's backup that nothing takes yet.
fs::path nom_de_garde(const fs::path& donnees) {
    fs::path garde = donnees / (std::string(REGISTRE_GARDE) + ".txt");
    for (int n = 2; fichier_existe(garde.string()); ++n) {
        garde = donnees / (std::string(REGISTRE_GARDE) + "-" + std::to_string(n) + ".txt");
    }
    return garde;
}

} // namespace

bool separer_registre(const Configuration& c, std::string& compte_rendu) {
    const fs::path donnees = c.donnees;
    const fs::path partage = donnees / REGISTRE_PARTAGE;
    if (!fichier_existe(partage.string())) {
        compte_rendu = std::string(REGISTRE_PARTAGE) + ": no shared registry, nothing to split";
        return true;
    }
    const VerrouFichier verrou(partage.string());
    if (!verrou.tenu()) {
        compte_rendu = std::string(REGISTRE_PARTAGE) + ".lock: " + raison_fichier(verrou.erreur());
        return false;
    }
    // Everything read before anything is written: a registry the game would refuse stops the
    // split with nothing changed.
    std::vector<sJoueur> partages, sans_compte;
    std::vector<Registre> registres;
    const fs::path restes = donnees / REGISTRE_SANS_COMPTE;
    if (!lire(partage, REGISTRE_PARTAGE, partages, compte_rendu) ||
        (fichier_existe(restes.string()) &&
         !lire(restes, REGISTRE_SANS_COMPTE, sans_compte, compte_rendu)) ||
        !registres_des_comptes(c, registres, compte_rendu)) {
        compte_rendu += "; nothing split";
        return false;
    }
    std::vector<bool> placees(partages.size(), false);
    int comptes = 0;
    for (Registre& r : registres) {
        if (!ajouter(r, partages, placees, comptes, compte_rendu)) {
            compte_rendu += A_FINIR;
            return false;
        }
    }
    int restees = 0;
    for (std::size_t i = 0; i < partages.size(); ++i) {
        const sJoueur& j = partages[i];
        if (!placees[i] &&
            std::none_of(sans_compte.begin(), sans_compte.end(), [&j](const sJoueur& s) {
                return pseudo_de(s) == pseudo_de(j) && s.score == j.score;
            })) {
            sans_compte.push_back(j);
        }
        restees += placees[i] ? 0 : 1;
    }
    const fs::path garde = nom_de_garde(donnees);
    std::error_code erreur;
    if (restees > 0 && !ecrire(restes, REGISTRE_SANS_COMPTE, sans_compte, compte_rendu)) {
        compte_rendu += A_FINIR;
        return false;
    }
    fs::rename(partage, garde, erreur);
    if (erreur) {
        compte_rendu = garde.filename().string() + ": " + erreur.message() + A_FINIR;
        return false;
    }
    compte_rendu = std::string(REGISTRE_PARTAGE) + ": " +
                   std::to_string(partages.size() - static_cast<std::size_t>(restees)) +
                   " heroes into the registries of " + std::to_string(comptes) + " accounts" +
                   (restees > 0 ? ", " + std::to_string(restees) +
                                      " whose save no account holds kept in " + REGISTRE_SANS_COMPTE
                                : std::string()) +
                   "; the old registry kept as " + garde.filename().string();
    return true;
}

} // namespace korva::serveur
