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

constexpr std::size_t LIGNES_CLASSEMENT = 18;
// A name's column in the ranking: a hero, an account and the widest score fit in 80 columns.
constexpr std::size_t COLONNE_NOM = 30;
constexpr std::size_t LARGEUR_SCORE = 11;

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

void Hall::classement(const std::string&) {
    ecran("the ranking of every account's heroes");
    const std::vector<Rang> rangs = serveur::classement(c_, LIGNES_CLASSEMENT);
    if (rangs.empty()) {
        return dire("No hero was saved yet.");
    }
    console_->ecrire("     ");
    ecrire_cellules({{"hero", COLONNE_NOM}, {"account", COLONNE_NOM}, {"score", LARGEUR_SCORE}});
    for (std::size_t i = 0; i < rangs.size(); ++i) {
        char place[32];
        std::snprintf(place, sizeof place, "%3zu. ", i + 1);
        console_->ecrire(place);
        ecrire_cellules({{rangs[i].heros, COLONNE_NOM, true},
                         {rangs[i].compte, COLONNE_NOM, true},
                         {std::to_string(rangs[i].score), LARGEUR_SCORE}});
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
