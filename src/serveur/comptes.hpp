// The server's accounts: one file of its data folder, a line per account, each password kept
// only as an Argon2id hash. Every change rewrites the file whole, under its lock; a password is
// checked or hashed outside it, a few at a time across the server, so that logins never queue
// behind one another's checks.
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
// The shortest and the longest password taken (a longer one is refused whole, never cut short),
// and the rule as the lobby and the operator's commands tell it.
inline constexpr std::size_t MOT_DE_PASSE_MIN = 6;
inline constexpr std::size_t MOT_DE_PASSE_MAX = 128;
inline const std::string REGLE_MOT_DE_PASSE = "a password has " + std::to_string(MOT_DE_PASSE_MIN) +
                                              " to " + std::to_string(MOT_DE_PASSE_MAX) +
                                              " characters";
// Where the password checks under way are counted, in the data folder: the server's places, and
// beside them the turns of each name's logins.
inline constexpr const char* DOSSIER_VERIFICATIONS = "verifications";
inline constexpr const char* PLACES_VERIFICATIONS = "verifications/places";
// The logins of one name take turns, in one of this many lines, chosen by the name alone.
inline constexpr unsigned FILES_DE_NOMS = 64;

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
    verrouille, // the operator locked the account (said only once its password is right)
    nom_refuse, // a name under the heroes' rules, and free, is needed
    trop_court, // the password
    trop_long,
    fermees,   // registrations are closed
    trop_tot,  // too many registrations from that address within the hour
    illisible, // the accounts file could not be read or written
};

class Comptes {
public:
    explicit Comptes(const Configuration& configuration) : c_(configuration) {}

    // Every account as the file holds it now; nothing when it cannot be read.
    std::optional<std::vector<Compte>> lire() const;

    // Checks a login; a failure is counted on the account (`echecs` then holds the count).
    Issue connecter(const std::string& nom, std::string_view mot_de_passe, int& echecs);
    // The account as the file holds it now: accepte (open), verrouille, nom_refuse (none of that
    // name) or illisible.
    Issue etat(const std::string& nom) const;
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

    // The hash a password is kept as, and whether a password is the one a hash keeps: each
    // waits for one of the server's places for a check. An empty hash: out of memory.
    std::string empreinte(std::string_view mot_de_passe) const;
    bool juste(const std::string& nom, const std::string& empreinte,
               std::string_view mot_de_passe) const;

    std::string chemin(const char* fichier) const { return c_.donnees + "/" + fichier; }

    const Configuration& c_;
};

} // namespace korva::serveur
