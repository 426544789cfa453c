#include "serveur/hall.hpp"

#include "files/lecture_texte.hpp"
#include "serveur/classement.hpp"
#include "serveur/dossier_compte.hpp"
#include "serveur/en_cours.hpp"
#include "serveur/journal.hpp"
#include "serveur/lancement.hpp"
#include "serveur/lecture_journal.hpp"
#include "serveur/parties.hpp"
#include "serveur/regles.hpp"
#include "serveur/saisie.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace korva::serveur {

namespace {

// The lines of a list that fit under a screen's heading and prompt.
constexpr std::size_t LIGNES_LISTE = 15;
constexpr std::size_t LIGNES_CLASSEMENT = 18;
// A name's column in the ranking: a hero, an account and the widest score fit in 80 columns.
constexpr std::size_t COLONNE_NOM = 30;

std::string duree(std::time_t secondes) {
    return std::to_string(secondes / 60) + " min " + std::to_string(secondes % 60) + " s";
}

// Words cut or padded to a column's width.
std::string colonne(const std::string& texte, std::size_t largeur) {
    std::string cellule = texte.substr(0, largeur);
    return cellule + std::string(largeur + 1 - cellule.size(), ' ');
}

// A list's line number, as the player types it to choose the line.
std::string numero(std::size_t rang) {
    char texte[32];
    std::snprintf(texte, sizeof texte, "%2zu: ", rang + 1);
    return texte;
}

std::string date(std::time_t t) {
    char texte[32] = "";
    if (const std::tm* utc = std::gmtime(&t)) {
        std::strftime(texte, sizeof texte, "%Y-%m-%d %H:%M", utc);
    }
    return texte;
}

} // namespace

std::optional<Fin> Hall::lancer_jeu(const std::string& nom,
                                    const std::vector<std::string>& arguments, int inactivite_s) {
    std::string raison;
    if (!preparer_dossier(c_, nom, raison)) {
        dire("Your folder cannot be made ready: " + raison);
        return std::nullopt;
    }
    std::vector<std::string> commande{c_.jeu};
    commande.insert(commande.end(), arguments.begin(), arguments.end());
    const std::string dossier = dossier_du_compte(c_, nom);
    console_.reset(); // the terminal is the program's until it ends
    const Fin fin = lancer(commande, dossier, inactivite_s, dossier + "/fichiers/enregistrements");
    if (fin == Fin::echec) {
        // The program's report stands on the terminal's own screen, which the lobby's would hide.
        std::fputs("\nPress Enter to go back to the lobby.", stdout);
        std::fflush(stdout);
        if (!attendre_entree(delai_ms())) {
            journal("lobby of %s closed, idle for %d s", adresse_.c_str(), c_.inactivite_hall_s);
            std::exit(0);
        }
    }
    if (fin != Fin::connexion_perdue) {
        ouvrir_console();
    }
    return fin;
}

void Hall::noter_fin(const std::string& nom, Fin fin, std::uintmax_t debut) {
    std::string issues;
    for (const PartieFinie& p : parties_depuis(chemin_journal_parties(c_), debut)) {
        if (p.compte == nom) {
            issues +=
                (issues.empty() ? "" : ", ") + p.heros + " " + std::string(mot_issue(p.issue));
        }
    }
    issues = issues.empty() ? "no game ended" : issues;
    if (fin == Fin::inactive) {
        journal("game of %s hung up, idle for %d s: %s", nom.c_str(), c_.inactivite_s,
                issues.c_str());
    } else if (fin == Fin::connexion_perdue) {
        journal("game of %s ended, the connection lost: %s", nom.c_str(), issues.c_str());
    } else {
        journal("game ended by %s: %s", nom.c_str(), issues.c_str());
    }
}

void Hall::jouer(const std::string& nom) {
    if (!ouvert(nom)) {
        return;
    }
    std::string raison;
    if (!preparer_dossier(c_, nom, raison)) {
        return dire("Your folder cannot be made ready: " + raison);
    }
    const std::optional<PartieTenue> seule = PartieTenue::prendre(c_, nom);
    if (!seule) {
        return dire("Your account's game is being played on another connection: you may "
                    "watch it.");
    }
    const Admission place = admettre_partie(c_, adresse_);
    if (place.refus) {
        return dire(place.refus->message);
    }
    journal("game started by %s", nom.c_str());
    const std::uintmax_t debut = fin_du_journal(chemin_journal_parties(c_));
    const std::optional<Fin> fin = lancer_jeu(nom, {}, c_.inactivite_s);
    if (fin) {
        noter_fin(nom, *fin, debut);
    }
    elaguer_enregistrements(c_, nom);
    if (fin == Fin::connexion_perdue) {
        std::exit(0);
    }
    if (fin == Fin::inactive) {
        console_->ecrire("Your game stood idle too long: it was hung up (a game under way is "
                         "saved), and the connection is closed.\n");
        partir(0);
    }
}

void Hall::regarder(const std::string& nom, bool en_cours) {
    if (!ouvert(nom)) {
        return;
    }
    ecran(en_cours ? "games in progress" : "recordings, the newest first");
    std::vector<std::string> chemins, comptes;
    if (en_cours) {
        const std::vector<Partie> parties = parties_en_cours(c_);
        if (!parties.empty()) {
            console_->ecrire("    " + colonne("account", 20) + colonne("hero", 20) +
                             "level score  idle\n");
        }
        const std::time_t maintenant = std::time(nullptr);
        for (std::size_t i = 0; i < std::min(parties.size(), LIGNES_LISTE); ++i) {
            const Partie& p = parties[i];
            console_->ecrire(numero(i) + colonne(p.compte, 20) + colonne(p.heros, 20) +
                             colonne(std::to_string(p.niveau), 5) +
                             colonne(std::to_string(p.score), 6) +
                             duree(std::max<std::time_t>(0, maintenant - p.ecrite)) + "\n");
            chemins.push_back(p.chemin);
            comptes.push_back(p.compte);
        }
    } else {
        const std::vector<PartieFinie> parties = parties_finies(c_, LIGNES_LISTE);
        if (!parties.empty()) {
            console_->ecrire("    " + colonne("account", 16) + colonne("hero", 16) +
                             colonne("outcome", 7) + colonne("level", 5) + colonne("score", 6) +
                             "ended (UTC)\n");
        }
        for (std::size_t i = 0; i < parties.size(); ++i) {
            const PartieFinie& p = parties[i];
            console_->ecrire(numero(i) + colonne(p.compte, 16) + colonne(p.heros, 16) +
                             colonne(std::string(mot_issue(p.issue)), 7) +
                             colonne(std::to_string(p.niveau), 5) +
                             colonne(std::to_string(p.score), 6) + date(p.fin) + "\n");
            chemins.push_back(chemin_enregistrement(c_, p));
            comptes.push_back(p.compte);
        }
    }
    if (chemins.empty()) {
        return dire(en_cours ? "No game is being played now." : "No game was recorded yet.");
    }
    const std::optional<std::string> choix =
        demander("\nThe number of the game to watch (Enter: back): ");
    const std::optional<int> n = choix ? nombre_entier(*choix) : std::nullopt;
    if (!n || *n < 1 || static_cast<std::size_t>(*n) > chemins.size()) {
        return;
    }
    const auto rang = static_cast<std::size_t>(*n) - 1;
    std::vector<std::string> arguments{"--replay", chemins[rang]};
    Admission regard;
    if (en_cours) {
        regard = admettre_regard(c_, comptes[rang], adresse_, false);
        if (regard.refus) {
            return dire(regard.refus->message);
        }
        arguments.emplace_back("--follow");
    }
    if (lancer_jeu(nom, arguments, 0) == Fin::connexion_perdue) {
        std::exit(0);
    }
}

void Hall::classement(const std::string&) {
    ecran("the ranking of every account's heroes");
    const std::vector<Rang> rangs = serveur::classement(c_, LIGNES_CLASSEMENT);
    if (rangs.empty()) {
        return dire("No hero was saved yet.");
    }
    console_->ecrire("     " + colonne("hero", COLONNE_NOM) + colonne("account", COLONNE_NOM) +
                     "score\n");
    for (std::size_t i = 0; i < rangs.size(); ++i) {
        char place[32];
        std::snprintf(place, sizeof place, "%3zu. ", i + 1);
        console_->ecrire(place + colonne(rangs[i].heros, COLONNE_NOM) +
                         colonne(rangs[i].compte, COLONNE_NOM) + std::to_string(rangs[i].score) +
                         "\n");
    }
    attendre_touche();
}

void Hall::changer_mot_de_passe(const std::string& nom) {
    if (!ouvert(nom)) {
        return;
    }
    ecran("change the password");
    const std::optional<std::string> ancien = demander_mot_de_passe("Your password now: ");
    const std::optional<std::string> mot =
        ancien ? demander_mot_de_passe("The new password: ") : std::nullopt;
    const std::optional<std::string> encore =
        mot ? demander_mot_de_passe("The new password again: ") : std::nullopt;
    if (!encore) {
        return;
    }
    int echecs = 0;
    const Issue juste = comptes_.connecter(nom, *ancien, echecs);
    if (juste == Issue::verrouille) {
        fermer_verrouille(nom); // locked while the passwords were typed
    }
    if (juste != Issue::accepte) {
        journal("failed login %s from %s, changing the password", nom.c_str(), adresse_.c_str());
        return dire("That is not your password: it stays as it was.");
    }
    if (*encore != *mot) {
        return dire("The two passwords differ: the password stays as it was.");
    }
    const Issue issue = comptes_.changer_mot_de_passe(nom, *mot);
    switch (issue) {
    case Issue::accepte:
        return dire("Your password is changed.");
    case Issue::trop_court:
    case Issue::trop_long:
        return dire_regle(issue);
    default:
        return dire("The accounts cannot be written now: try again later.");
    }
}

} // namespace korva::serveur
