// The server's accounts: one file of its data folder, a line per account, each password kept
// only as an Argon2id hash. Every change rewrites the file whole, under its lock.
#pragma once

#include "serveur/configuration.hpp"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korva::serveur {

inline constexpr const char* FICHIER_COMPTES = "comptes.txt";
// The shortest password taken, and the rule as the lobby and the operator's commands tell it.
inline constexpr std::size_t MOT_DE_PASSE_MIN = 6;
inline const std::string REGLE_MOT_DE_PASSE =
    "a password has " + std::to_string(MOT_DE_PASSE_MIN) + " characters at least";

struct Compte {
    std::string nom;
    std::string empreinte; // crypto_pwhash_str's, which holds its own salt and costs
    bool verrouille = false;
    int echecs = 0; // failed logins since the last one that succeeded
};

// What a login or a registration came to.
enum class Issue {
    accepte,
    refuse,     // a wrong name or password
    verrouille, // the operator locked the account
    nom_refuse, // a name under the heroes' rules, and free, is needed
    trop_court, // the password
    fermees,    // registrations are closed
    trop_tot,   // too many registrations from that address within the hour
    illisible,  // the accounts file could not be read or written
};

// The hash a password is kept as.
std::string empreinte_de(std::string_view mot_de_passe);

class Comptes {
public:
    explicit Comptes(const Configuration& configuration) : c_(configuration) {}

    // Every account as the file holds it now; nothing when it cannot be read.
    std::optional<std::vector<Compte>> lire() const;

    // Checks a login; a failure is counted on the account (`echecs` then holds the count).
    Issue connecter(const std::string& nom, std::string_view mot_de_passe, int& echecs);
    // Makes an account for a client at `adresse`.
    Issue inscrire(const std::string& nom, std::string_view mot_de_passe,
                   const std::string& adresse, std::string& raison);
    Issue changer_mot_de_passe(const std::string& nom, std::string_view mot_de_passe);
    Issue verrouiller(const std::string& nom, bool verrouille);

    // Whether newcomers may register, as the operator last said.
    bool inscriptions_ouvertes() const;
    bool ouvrir_inscriptions(bool ouvertes);

private:
    // Changes the accounts under the file's lock and writes them back when `changer` says so
    // (accepte).
    Issue modifier(const std::function<Issue(std::vector<Compte>&)>& changer);

    std::string chemin(const char* fichier) const { return c_.donnees + "/" + fichier; }

    const Configuration& c_;
};

} // namespace korva::serveur
