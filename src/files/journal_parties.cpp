#include "files/journal_parties.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "files/nom_joueur.hpp"
#include "records/enregistrements.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace korva {

namespace {

namespace chrono = std::chrono;

// The outcomes' words, in the order of IssuePartie.
constexpr std::array<std::string_view, 8> MOTS_ISSUES{"won",  "killed", "potion", "saved",
                                                      "quit", "hangup", "idle",   "error"};

// The fields' names in the line's order; the account alone may be left out.
enum Champ : std::size_t {
    CHAMP_COMPTE,
    CHAMP_HEROS,
    CHAMP_CLASSE,
    CHAMP_ISSUE,
    CHAMP_NIVEAU,
    CHAMP_SCORE,
    CHAMP_OR,
    CHAMP_TOURS,
    CHAMP_DEBUT,
    CHAMP_FIN,
    CHAMP_ENREGISTREMENT,
};
constexpr std::array<std::string_view, 11> CHAMPS{"account", "hero",  "class",    "outcome",
                                                  "level",   "score", "gold",     "turns",
                                                  "start",   "end",   "recording"};

constexpr int NIVEAU_MIN = 1;
constexpr int NIVEAU_MAX = 5;

// A time as the log writes it: its digits, and the signs that stand between them.
constexpr std::string_view MODELE_DATE = "0000-00-00T00:00:00Z";

std::string date_utc(std::time_t temps) {
    const chrono::sys_seconds instant{chrono::seconds{temps}};
    const chrono::sys_days jour = chrono::floor<chrono::days>(instant);
    const chrono::year_month_day date{jour};
    const chrono::hh_mm_ss heure{instant - jour};
    char texte[40];
    std::snprintf(texte, sizeof texte, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(heure.hours().count()),
                  static_cast<int>(heure.minutes().count()),
                  static_cast<int>(heure.seconds().count()));
    return texte;
}

std::optional<std::time_t> lire_date(std::string_view texte) {
    if (texte.size() != MODELE_DATE.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < texte.size(); ++i) {
        const bool chiffre = texte[i] >= '0' && texte[i] <= '9';
        if (MODELE_DATE[i] == '0' ? !chiffre : texte[i] != MODELE_DATE[i]) {
            return std::nullopt;
        }
    }
    const auto nombre = [texte](std::size_t debut, std::size_t longueur) {
        int n = 0;
        for (const char chiffre : texte.substr(debut, longueur)) {
            n = n * 10 + (chiffre - '0');
        }
        return n;
    };
    const chrono::year_month_day date{chrono::year{nombre(0, 4)},
                                      chrono::month{static_cast<unsigned>(nombre(5, 2))},
                                      chrono::day{static_cast<unsigned>(nombre(8, 2))}};
    const int heures = nombre(11, 2), minutes = nombre(14, 2), secondes = nombre(17, 2);
    if (!date.ok() || heures > 23 || minutes > 59 || secondes > 59) {
        return std::nullopt;
    }
    const chrono::sys_seconds instant = chrono::sys_days{date} + chrono::hours{heures} +
                                        chrono::minutes{minutes} + chrono::seconds{secondes};
    return static_cast<std::time_t>(instant.time_since_epoch().count());
}

// A number written as the log writes one: no sign but a minus, no leading zero.
std::optional<int> lire_nombre_seul(std::string_view texte) {
    const std::optional<int> nombre = nombre_entier(texte);
    return nombre && std::to_string(*nombre) == texte ? nombre : std::nullopt;
}

bool nom_acceptable(std::string_view nom) {
    std::string raison;
    return nom_valide(nom, raison);
}

// A recording's file name, which whoever reads the log may open beside the game's: no folder,
// nothing hidden, nothing a terminal would take for an order.
bool nom_d_enregistrement(std::string_view nom) {
    return nom.empty() ||
           (!nom.starts_with('.') && std::none_of(nom.begin(), nom.end(), [](char octet) {
               const auto code = static_cast<unsigned char>(octet);
               return code <= ' ' || code >= 0x7F || octet == '/' || octet == '\\';
           }));
}

// The line's values by field: every field there, each by its name, in order, the account's
// alone left out or not.
bool decouper(std::string_view ligne, std::array<std::string_view, CHAMPS.size()>& valeurs) {
    std::size_t champ = ligne.starts_with(CHAMPS[CHAMP_COMPTE]) ? CHAMP_COMPTE : CHAMP_HEROS;
    for (std::size_t debut = 0;; ++champ) {
        const std::size_t fin = std::min(ligne.find('\t', debut), ligne.size());
        const std::string_view texte = ligne.substr(debut, fin - debut);
        if (champ == CHAMPS.size() || !texte.starts_with(CHAMPS[champ]) ||
            texte.substr(CHAMPS[champ].size(), 1) != "=") {
            return false;
        }
        valeurs[champ] = texte.substr(CHAMPS[champ].size() + 1);
        if (fin == ligne.size()) {
            return champ == CHAMP_ENREGISTREMENT;
        }
        debut = fin + 1;
    }
}

} // namespace

std::string_view mot_issue(IssuePartie issue) {
    return MOTS_ISSUES[static_cast<std::size_t>(issue)];
}

std::optional<IssuePartie> issue_du_mot(std::string_view mot) {
    const auto trouve = std::find(MOTS_ISSUES.begin(), MOTS_ISSUES.end(), mot);
    if (trouve == MOTS_ISSUES.end()) {
        return std::nullopt;
    }
    return static_cast<IssuePartie>(trouve - MOTS_ISSUES.begin());
}

std::string ligne_partie(const PartieFinie& partie) {
    std::string ligne;
    const auto ajouter = [&ligne](Champ champ, std::string_view valeur) {
        ligne.append(ligne.empty() ? "" : "\t").append(CHAMPS[champ]).append("=").append(valeur);
    };
    // An account that is no player's name (a server's setting gone wrong) is left out, so that
    // no value ever breaks the line.
    if (nom_acceptable(partie.compte)) {
        ajouter(CHAMP_COMPTE, partie.compte);
    }
    ajouter(CHAMP_HEROS, partie.heros);
    ajouter(CHAMP_CLASSE, partie.classe);
    ajouter(CHAMP_ISSUE, mot_issue(partie.issue));
    ajouter(CHAMP_NIVEAU, std::to_string(partie.niveau));
    ajouter(CHAMP_SCORE, std::to_string(partie.score));
    ajouter(CHAMP_OR, std::to_string(partie.piecOr));
    ajouter(CHAMP_TOURS, std::to_string(partie.tours));
    ajouter(CHAMP_DEBUT, date_utc(partie.debut));
    ajouter(CHAMP_FIN, date_utc(partie.fin));
    ajouter(CHAMP_ENREGISTREMENT, partie.enregistrement);
    return ligne + "\n";
}

std::optional<PartieFinie> lire_ligne_partie(std::string_view ligne) {
    std::array<std::string_view, CHAMPS.size()> valeurs{};
    if (ligne.size() > LONGUEUR_LIGNE_PARTIE_MAX || !decouper(ligne, valeurs)) {
        return std::nullopt;
    }
    const bool avec_compte = ligne.starts_with(CHAMPS[CHAMP_COMPTE]);
    const std::string_view classe = valeurs[CHAMP_CLASSE];
    const std::optional<IssuePartie> issue = issue_du_mot(valeurs[CHAMP_ISSUE]);
    const std::optional<int> niveau = lire_nombre_seul(valeurs[CHAMP_NIVEAU]);
    const std::optional<int> score = lire_nombre_seul(valeurs[CHAMP_SCORE]);
    const std::optional<int> piecOr = lire_nombre_seul(valeurs[CHAMP_OR]);
    const std::optional<int> tours = lire_nombre_seul(valeurs[CHAMP_TOURS]);
    const std::optional<std::time_t> debut = lire_date(valeurs[CHAMP_DEBUT]);
    const std::optional<std::time_t> fin = lire_date(valeurs[CHAMP_FIN]);
    const bool classe_connue =
        classe == CLASSE_INCONNUE ||
        std::find(MOTS_CLASSES.begin(), MOTS_CLASSES.end(), classe) != MOTS_CLASSES.end();
    if ((avec_compte && !nom_acceptable(valeurs[CHAMP_COMPTE])) ||
        !nom_acceptable(valeurs[CHAMP_HEROS]) || !classe_connue || !issue || !niveau ||
        *niveau < NIVEAU_MIN || *niveau > NIVEAU_MAX || !score || !piecOr || !tours || *tours < 0 ||
        !debut || !fin || !nom_d_enregistrement(valeurs[CHAMP_ENREGISTREMENT])) {
        return std::nullopt;
    }
    return PartieFinie{std::string(valeurs[CHAMP_COMPTE]),
                       std::string(valeurs[CHAMP_HEROS]),
                       std::string(classe),
                       *issue,
                       *niveau,
                       *score,
                       *piecOr,
                       *tours,
                       *debut,
                       *fin,
                       std::string(valeurs[CHAMP_ENREGISTREMENT])};
}

bool noter_partie(const std::string& chemin, const PartieFinie& partie) {
    int numero_erreur = 0;
    return ajouter_au_fichier(chemin, ligne_partie(partie), numero_erreur);
}

} // namespace korva
