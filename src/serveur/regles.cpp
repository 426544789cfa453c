#include "serveur/regles.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "serveur/journal.hpp"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace korva::serveur {

namespace {

constexpr const char* DOSSIER_PLACES = "places";
constexpr const char* FICHIER_REFUS = "refus.txt";
constexpr std::time_t MINUTE = 60;
// An address names a file of places: anything but what addresses are made of becomes '_'.
constexpr std::size_t LONGUEUR_ADRESSE_MAX = 64;

std::string pool(const Configuration& c, const std::string& nom) {
    std::error_code erreur;
    std::filesystem::create_directories(c.donnees + "/" + DOSSIER_PLACES, erreur);
    return c.donnees + "/" + DOSSIER_PLACES + "/" + nom;
}

std::string nom_sur(std::string_view texte) {
    std::string nom(texte.substr(0, LONGUEUR_ADRESSE_MAX));
    for (char& o : nom) {
        const bool permis = (o >= '0' && o <= '9') || (o >= 'a' && o <= 'z') ||
                            (o >= 'A' && o <= 'Z') || o == '.' || o == ':' || o == '-';
        o = permis ? o : '_';
    }
    return nom;
}

// Takes one place of each pool in turn; the first pool that is full refuses it all.
struct Pool {
    std::string fichier;
    int nombre;
    std::string_view reglage;
    std::string message;
};

Admission admettre(const Configuration& c, const std::string& adresse,
                   const std::vector<Pool>& pools) {
    Admission a;
    for (const Pool& p : pools) {
        std::optional<Place> place = prendre_place(p.fichier, p.nombre);
        if (!place) {
            noter_refus(c, adresse, p.reglage);
            a.places.clear();
            a.refus = Refus{p.reglage, p.message};
            return a;
        }
        a.places.push_back(std::move(*place));
    }
    return a;
}

Pool par_adresse(const Configuration& c, const std::string& adresse) {
    return {pool(c, "adresse-" + nom_sur(adresse)), c.connexions_par_adresse,
            "connections-per-address",
            "Too many connections from your address: close one, or try again later."};
}

Pool regards(const Configuration& c) {
    return {pool(c, "regards"), c.regards_max, "watchers-at-once",
            "The server has all the watchers it may have: try again later."};
}

} // namespace

Admission admettre_hall(const Configuration& c, const std::string& adresse) {
    return admettre(c, adresse,
                    {par_adresse(c, adresse),
                     {pool(c, "halls"), c.halls_max, "lobbies-at-once",
                      "The server is full: try again later."}});
}

Admission admettre_partie(const Configuration& c, const std::string& adresse) {
    return admettre(c, adresse,
                    {{pool(c, "parties"), c.parties_max, "games-at-once",
                      "The server is full: " + std::to_string(c.parties_max) +
                          " games are being played. Try again later."}});
}

Admission admettre_regard(const Configuration& c, const std::string& compte,
                          const std::string& adresse, bool avec_connexion) {
    std::vector<Pool> pools;
    if (avec_connexion) {
        pools.push_back(par_adresse(c, adresse));
    }
    pools.push_back({pool(c, "regards-" + nom_sur(compte)), c.regards_par_partie,
                     "watchers-per-game",
                     "This game has all the watchers it may have: try again later."});
    pools.push_back(regards(c));
    return admettre(c, adresse, pools);
}

Admission admettre_rejeu(const Configuration& c, const std::string& adresse) {
    return admettre(c, adresse, {par_adresse(c, adresse), regards(c)});
}

std::vector<std::string> resumer_refus(std::string& etat, const std::string& adresse,
                                       std::string_view reglage, std::time_t maintenant) {
    // "address setting minute count" a line: the minute of the last line written for that
    // address and setting, and the refusals since, not told yet.
    const std::string qui = adresse.empty() ? "-" : nom_sur(adresse);
    const std::time_t minute = maintenant / MINUTE;
    std::vector<std::string> lignes;
    const auto dire = [&lignes](const std::string& a, std::string_view r, int depuis) {
        lignes.push_back(
            "refused for " + a + ": " + std::string(r) +
            (depuis > 0 ? " (" + std::to_string(depuis) + " more since the last line)" : ""));
    };
    std::string garde;
    bool trouvee = false;
    for (std::size_t debut = 0, fin; debut < etat.size(); debut = fin + 1) {
        fin = std::min(etat.find('\n', debut), etat.size());
        const std::string_view ligne = std::string_view(etat).substr(debut, fin - debut);
        std::size_t position = 0;
        const std::string autre(lire_mot(ligne, position));
        const std::string son_reglage(lire_mot(ligne, position));
        int quand = 0, depuis = 0;
        if (!lire_nombre(ligne, position, quand) || !lire_nombre(ligne, position, depuis)) {
            continue;
        }
        if (autre == qui && son_reglage == reglage) {
            trouvee = true;
            if (quand == minute) {
                ++depuis; // told once this minute already
            } else {
                dire(qui, reglage, depuis);
                quand = static_cast<int>(minute);
                depuis = 0;
            }
        } else if (minute - quand > 1) {
            // Old news: what was not told yet is told now, and the line goes.
            if (depuis > 0) {
                dire(autre, son_reglage, depuis);
            }
            continue;
        }
        garde += autre + " " + son_reglage + " " + std::to_string(quand) + " " +
                 std::to_string(depuis) + "\n";
    }
    if (!trouvee) {
        dire(qui, reglage, 0);
        garde += qui + " " + std::string(reglage) + " " + std::to_string(minute) + " 0\n";
    }
    etat = garde;
    return lignes;
}

void noter_refus(const Configuration& c, const std::string& adresse, std::string_view reglage) {
    // The summary's state is shared by every lobby, in a file under its lock; it is no record
    // to keep, so it is simply written over.
    const std::string chemin = c.donnees + "/" + FICHIER_REFUS;
    const VerrouFichier verrou(chemin);
    std::string etat;
    int numero_erreur = 0;
    lire_fichier(chemin, etat, numero_erreur);
    for (const std::string& ligne : resumer_refus(etat, adresse, reglage, std::time(nullptr))) {
        journal("%s", ligne.c_str());
    }
    std::ofstream(chemin, std::ios::trunc) << etat;
}

} // namespace korva::serveur
