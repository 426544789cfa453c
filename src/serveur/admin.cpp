#include "serveur/admin.hpp"

#include "serveur/comptes.hpp"
#include "serveur/parties.hpp"
#include "serveur/separation_registre.hpp"
#include "serveur/sessions.hpp"

#include <algorithm>
#include <array>
#include <ctime>
#include <iostream>
#include <string_view>

namespace korva::serveur {

namespace {

constexpr int FAIT = 0;
constexpr int ECHEC = 1;
constexpr int INCONNUE = 2;

int lister_comptes(Comptes& comptes, const std::string&) {
    const auto liste = comptes.lire();
    if (!liste) {
        std::cerr << "korva-serveur: the accounts cannot be read\n";
        return ECHEC;
    }
    for (const Compte& c : *liste) {
        std::cout << c.nom << " " << (c.verrouille ? "locked" : "open") << " " << c.echecs << "\n";
    }
    std::cout << (comptes.inscriptions_ouvertes() ? "registration open\n"
                                                  : "registration closed\n");
    return FAIT;
}

int issue(Issue i, const std::string& nom, const char* fait) {
    if (i == Issue::accepte) {
        std::cout << nom << ": " << fait << "\n";
        return FAIT;
    }
    std::cerr << "korva-serveur: " << nom << ": "
              << (i == Issue::nom_refuse ? "no such account"
                  : i == Issue::trop_court || i == Issue::trop_long
                      ? REGLE_MOT_DE_PASSE
                      : "the accounts cannot be written")
              << "\n";
    return ECHEC;
}

// Ends the account's connections, once `avant` (what was done to it first) is done.
int expulser(const Configuration& c, const std::string& nom, Issue avant, const char* fait) {
    if (avant != Issue::accepte) {
        return issue(avant, nom, fait);
    }
    const Fins fins = terminer_sessions(c, nom);
    std::cout << nom << ": " << fait << (*fait != '\0' ? ", " : "") << fins.terminees
              << (fins.terminees == 1 ? " connection" : " connections") << " ended";
    if (fins.en_cours > 0) {
        std::cout << ", " << fins.en_cours << " still ending";
    }
    std::cout << "\n";
    return fins.en_cours == 0 ? FAIT : ECHEC;
}

// Each command: its name, whether it takes an account's name, and what it does.
struct Commande {
    std::string_view nom;
    bool avec_nom;
    int (*faire)(const Configuration& c, Comptes& comptes, const std::string& nom);
};
constexpr std::array<Commande, 10> COMMANDES{{
    {"accounts", false,
     [](const Configuration&, Comptes& comptes, const std::string& nom) {
         return lister_comptes(comptes, nom);
     }},
    {"games", false,
     [](const Configuration& c, Comptes&, const std::string&) {
         const std::time_t maintenant = std::time(nullptr);
         for (const Partie& p : parties_en_cours(c)) {
             std::cout << p.compte << " " << p.heros << " " << p.niveau << " " << p.score << " "
                       << maintenant - p.ecrite << "\n";
         }
         return FAIT;
     }},
    {"lock", true,
     [](const Configuration& c, Comptes& comptes, const std::string& nom) {
         return expulser(c, nom, comptes.verrouiller(nom, true), "locked");
     }},
    {"unlock", true,
     [](const Configuration&, Comptes& comptes, const std::string& nom) {
         return issue(comptes.verrouiller(nom, false), nom, "unlocked");
     }},
    {"kick", true,
     [](const Configuration& c, Comptes& comptes, const std::string& nom) {
         const Issue etat = comptes.etat(nom);
         return expulser(c, nom, etat == Issue::verrouille ? Issue::accepte : etat, "");
     }},
    {"password", true,
     [](const Configuration&, Comptes& comptes, const std::string& nom) {
         std::string mot;
         std::getline(std::cin, mot);
         const auto liste = comptes.lire();
         const bool existe = liste && std::any_of(liste->begin(), liste->end(),
                                                  [&nom](const Compte& c) { return c.nom == nom; });
         return issue(existe ? comptes.changer_mot_de_passe(nom, mot) : Issue::nom_refuse, nom,
                      "password reset");
     }},
    {"open", false,
     [](const Configuration&, Comptes& comptes, const std::string&) {
         return issue(comptes.ouvrir_inscriptions(true) ? Issue::accepte : Issue::illisible,
                      "registration", "open");
     }},
    {"close", false,
     [](const Configuration&, Comptes& comptes, const std::string&) {
         return issue(comptes.ouvrir_inscriptions(false) ? Issue::accepte : Issue::illisible,
                      "registration", "closed");
     }},
    {"settings", false,
     [](const Configuration& c, Comptes&, const std::string&) {
         std::cout << reglages_en_texte(c);
         return FAIT;
     }},
    {"split-registry", false,
     [](const Configuration& c, Comptes&, const std::string&) {
         std::string compte_rendu;
         const bool fait = separer_registre(c, compte_rendu);
         (fait ? std::cout : std::cerr) << (fait ? "" : "korva-serveur: ") << compte_rendu << "\n";
         return fait ? FAIT : ECHEC;
     }},
}};

} // namespace

int administrer(const Configuration& c, const std::vector<std::string>& mots) {
    Comptes comptes(c);
    for (const Commande& commande : COMMANDES) {
        if (!mots.empty() && mots[0] == commande.nom &&
            mots.size() == (commande.avec_nom ? 2u : 1u)) {
            return commande.faire(c, comptes, commande.avec_nom ? mots[1] : std::string());
        }
    }
    return INCONNUE;
}

} // namespace korva::serveur
