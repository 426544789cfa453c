#include "serveur/comptes.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "files/nom_joueur.hpp"

#include <sodium.h>

#include <algorithm>
#include <cstdio>

namespace korva::serveur {

namespace {

// Where the registrations of the last hour are noted, "time address" a line.
constexpr const char* FICHIER_INSCRIPTIONS = "inscriptions.txt";

bool trop_court(std::string_view mot_de_passe) {
    return mot_de_passe.size() < MOT_DE_PASSE_MIN;
}
// Its presence closes registrations.
constexpr const char* FICHIER_FERMEES = "inscriptions-fermees";
constexpr std::time_t UNE_HEURE = 3600;
constexpr std::string_view OUVERT = "open";
constexpr std::string_view FERME = "locked";

std::vector<std::string_view> lignes_de(std::string_view texte) {
    std::vector<std::string_view> lignes;
    for (std::size_t fin; !texte.empty(); texte.remove_prefix(std::min(fin + 1, texte.size()))) {
        fin = std::min(texte.find('\n'), texte.size());
        lignes.push_back(texte.substr(0, fin));
    }
    return lignes;
}

std::optional<std::vector<Compte>> lire_comptes(const std::string& texte) {
    std::vector<Compte> comptes;
    for (const std::string_view ligne : lignes_de(texte)) {
        std::size_t position = 0;
        Compte c;
        c.nom = lire_mot(ligne, position);
        c.empreinte = lire_mot(ligne, position);
        const std::string_view etat = lire_mot(ligne, position);
        c.verrouille = etat == FERME;
        if (c.empreinte.empty() || (etat != OUVERT && etat != FERME) ||
            !lire_nombre(ligne, position, c.echecs)) {
            return std::nullopt;
        }
        comptes.push_back(std::move(c));
    }
    return comptes;
}

std::string texte_comptes(const std::vector<Compte>& comptes) {
    std::string texte;
    for (const Compte& c : comptes) {
        texte += c.nom + " " + c.empreinte + " " + std::string(c.verrouille ? FERME : OUVERT) +
                 " " + std::to_string(c.echecs) + "\n";
    }
    return texte;
}

Compte* trouver(std::vector<Compte>& comptes, std::string_view nom) {
    const auto i = std::find_if(comptes.begin(), comptes.end(),
                                [nom](const Compte& c) { return c.nom == nom; });
    return i == comptes.end() ? nullptr : &*i;
}

} // namespace

std::string empreinte_de(std::string_view mot_de_passe) {
    char empreinte[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(empreinte, mot_de_passe.data(), mot_de_passe.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        return {}; // out of memory: no account is made or changed with it
    }
    return empreinte;
}

std::optional<std::vector<Compte>> Comptes::lire() const {
    std::string texte;
    int numero_erreur = 0;
    if (!lire_fichier(chemin(FICHIER_COMPTES), texte, numero_erreur)) {
        return numero_erreur == ENOENT ? std::optional(std::vector<Compte>{}) : std::nullopt;
    }
    return lire_comptes(texte);
}

Issue Comptes::modifier(const std::function<Issue(std::vector<Compte>&)>& changer) {
    const VerrouFichier verrou(chemin(FICHIER_COMPTES));
    std::optional<std::vector<Compte>> comptes = lire();
    if (!verrou.tenu() || !comptes) {
        return Issue::illisible;
    }
    const Issue issue = changer(*comptes);
    int numero_erreur = 0;
    // A failed login is counted too.
    const bool ecrire = issue == Issue::accepte || issue == Issue::refuse;
    if (ecrire &&
        !ecrire_fichier_atomique(chemin(FICHIER_COMPTES), texte_comptes(*comptes), numero_erreur)) {
        return Issue::illisible;
    }
    return issue;
}

Issue Comptes::connecter(const std::string& nom, std::string_view mot_de_passe, int& echecs) {
    return modifier([&](std::vector<Compte>& comptes) {
        Compte* c = trouver(comptes, nom);
        if (c != nullptr && c->verrouille) {
            return Issue::verrouille;
        }
        // An unknown name costs the same check as a known one, so that the time taken tells
        // nobody which names have accounts.
        static const std::string factice = empreinte_de("korva");
        const bool juste =
            crypto_pwhash_str_verify(c != nullptr ? c->empreinte.c_str() : factice.c_str(),
                                     mot_de_passe.data(), mot_de_passe.size()) == 0 &&
            c != nullptr;
        if (c == nullptr) {
            echecs = 1;
            return Issue::refuse;
        }
        c->echecs = juste ? 0 : c->echecs + 1;
        echecs = c->echecs;
        return juste ? Issue::accepte : Issue::refuse;
    });
}

Issue Comptes::inscrire(const std::string& nom, std::string_view mot_de_passe,
                        const std::string& adresse, std::string& raison) {
    if (!inscriptions_ouvertes()) {
        return Issue::fermees;
    }
    if (!nom_valide(nom, raison)) {
        return Issue::nom_refuse;
    }
    if (trop_court(mot_de_passe)) {
        return Issue::trop_court;
    }
    const std::string empreinte = empreinte_de(mot_de_passe);
    return modifier([&](std::vector<Compte>& comptes) {
        // Account names name folders too: two that differ only by letter case never coexist.
        if (std::any_of(comptes.begin(), comptes.end(),
                        [&nom](const Compte& c) { return egal_sans_casse(c.nom, nom); })) {
            raison = "that name is taken";
            return Issue::nom_refuse;
        }
        std::string texte;
        int numero_erreur = 0;
        lire_fichier(chemin(FICHIER_INSCRIPTIONS), texte, numero_erreur);
        const std::time_t maintenant = std::time(nullptr);
        std::string recentes;
        int de_la = 0;
        for (const std::string_view ligne : lignes_de(texte)) {
            std::size_t position = 0;
            int quand = 0;
            if (lire_nombre(ligne, position, quand) && maintenant - quand < UNE_HEURE) {
                recentes += std::string(ligne) + "\n";
                de_la += lire_mot(ligne, position) == adresse ? 1 : 0;
            }
        }
        if (de_la >= c_.inscriptions_par_heure) {
            return Issue::trop_tot;
        }
        recentes += std::to_string(maintenant) + " " + adresse + "\n";
        if (empreinte.empty() ||
            !ecrire_fichier_atomique(chemin(FICHIER_INSCRIPTIONS), recentes, numero_erreur)) {
            return Issue::illisible;
        }
        comptes.push_back({nom, empreinte, false, 0});
        return Issue::accepte;
    });
}

Issue Comptes::changer_mot_de_passe(const std::string& nom, std::string_view mot_de_passe) {
    if (trop_court(mot_de_passe)) {
        return Issue::trop_court;
    }
    const std::string empreinte = empreinte_de(mot_de_passe);
    return modifier([&](std::vector<Compte>& comptes) {
        Compte* c = trouver(comptes, nom);
        if (c == nullptr || empreinte.empty()) {
            return Issue::illisible;
        }
        c->empreinte = empreinte;
        c->echecs = 0;
        return Issue::accepte;
    });
}

Issue Comptes::verrouiller(const std::string& nom, bool verrouille) {
    return modifier([&](std::vector<Compte>& comptes) {
        Compte* c = trouver(comptes, nom);
        if (c == nullptr) {
            return Issue::nom_refuse;
        }
        c->verrouille = verrouille;
        return Issue::accepte;
    });
}

bool Comptes::inscriptions_ouvertes() const {
    return !fichier_existe(chemin(FICHIER_FERMEES));
}

bool Comptes::ouvrir_inscriptions(bool ouvertes) {
    int numero_erreur = 0;
    if (ouvertes) {
        return std::remove(chemin(FICHIER_FERMEES).c_str()) == 0 ||
               !fichier_existe(chemin(FICHIER_FERMEES));
    }
    return ecrire_fichier_atomique(chemin(FICHIER_FERMEES), "closed by the operator\n",
                                   numero_erreur);
}

} // namespace korva::serveur
