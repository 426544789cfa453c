#include "serveur/hall.hpp"

#include "files/lecture_texte.hpp"
#include "serveur/dossier_compte.hpp"
#include "serveur/journal.hpp"
#include "serveur/lancement.hpp"
#include "serveur/parties.hpp"
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

std::string duree(std::time_t secondes) {
    return std::to_string(secondes / 60) + " min " + std::to_string(secondes % 60) + " s";
}

// Words cut or padded to a column's width.
std::string colonne(const std::string& texte, std::size_t largeur) {
    std::string cellule = texte.substr(0, largeur);
    return cellule + std::string(largeur + 1 - cellule.size(), ' ');
}

} // namespace

bool Hall::lancer_jeu(const std::string& nom, const std::vector<std::string>& arguments,
                      int inactivite_s) {
    std::string raison;
    if (!preparer_dossier(c_, nom, raison)) {
        dire("Your folder cannot be made ready: " + raison);
        return false;
    }
    std::vector<std::string> commande{c_.jeu};
    commande.insert(commande.end(), arguments.begin(), arguments.end());
    const std::string dossier = dossier_du_compte(c_, nom);
    console_.reset(); // the terminal is the program's until it ends
    const Fin fin = lancer(commande, dossier, inactivite_s, dossier + "/fichiers/enregistrements");
    if (fin == Fin::connexion_perdue) {
        std::exit(0);
    }
    if (fin == Fin::echec) {
        // The program's report stands on the terminal's own screen, which the lobby's would hide.
        std::fputs("\nPress Enter to go back to the lobby.", stdout);
        std::fflush(stdout);
        for (int c = 0; c != EOF && c != '\n' && c != '\r';) {
            c = std::getchar();
        }
    }
    ouvrir_console();
    if (fin == Fin::inactive) {
        journal("game of %s hung up, idle for %d s", nom.c_str(), inactivite_s);
        console_->ecrire("Your game stood idle too long: it was hung up (a game under way is "
                         "saved), and the connection is closed.\n");
        partir(0);
    }
    return true;
}

void Hall::jouer(const std::string& nom) {
    if (!ouvert(nom)) {
        return;
    }
    std::string raison;
    if (!preparer_dossier(c_, nom, raison)) {
        return dire("Your folder cannot be made ready: " + raison);
    }
    const VerrouExclusif seule(dossier_du_compte(c_, nom) + "/partie.lock");
    if (!seule.tenu()) {
        return dire("Your account's game is being played on another connection: you may "
                    "watch it.");
    }
    std::unique_ptr<VerrouExclusif> place;
    for (int i = 0; i < c_.parties_max && !(place && place->tenu()); ++i) {
        place = std::make_unique<VerrouExclusif>(c_.donnees + "/place-" + std::to_string(i));
    }
    if (!place || !place->tenu()) {
        return dire("The server is full: " + std::to_string(c_.parties_max) +
                    " games are being played. Try again later.");
    }
    journal("game started by %s", nom.c_str());
    const bool joue = lancer_jeu(nom, {}, c_.inactivite_s);
    if (joue) {
        journal("game ended by %s", nom.c_str());
    }
    elaguer_enregistrements(c_, nom);
}

void Hall::regarder(const std::string& nom, bool en_cours) {
    if (!ouvert(nom)) {
        return;
    }
    const std::vector<Partie> parties = en_cours ? parties_en_cours(c_) : enregistrements(c_);
    ecran(en_cours ? "games in progress" : "recordings, the newest first");
    if (parties.empty()) {
        return dire(en_cours ? "No game is being played now." : "No game was recorded yet.");
    }
    console_->ecrire("    " + colonne("account", 20) + colonne("hero", 20) +
                     (en_cours ? "level score  idle\n" : "file\n"));
    const std::time_t maintenant = std::time(nullptr);
    for (std::size_t i = 0; i < std::min(parties.size(), LIGNES_LISTE); ++i) {
        const Partie& p = parties[i];
        char numero[8];
        std::snprintf(numero, sizeof numero, "%2zu: ", i + 1);
        console_->ecrire(numero + colonne(p.compte, 20) + colonne(p.heros, 20) +
                         (en_cours ? colonne(std::to_string(p.niveau), 5) +
                                         colonne(std::to_string(p.score), 6) +
                                         duree(std::max<std::time_t>(0, maintenant - p.ecrite))
                                   : p.chemin.substr(p.chemin.rfind('/') + 1, 30)) +
                         "\n");
    }
    const std::optional<std::string> choix =
        demander("\nThe number of the game to watch (Enter: back): ");
    const std::optional<int> n = choix ? nombre_entier(*choix) : std::nullopt;
    if (!n || *n < 1 || static_cast<std::size_t>(*n) > std::min(parties.size(), LIGNES_LISTE)) {
        return;
    }
    std::vector<std::string> arguments{"--replay",
                                       parties[static_cast<std::size_t>(*n) - 1].chemin};
    if (en_cours) {
        arguments.emplace_back("--follow");
    }
    lancer_jeu(nom, arguments, 0);
}

void Hall::classement() {
    ecran("the ranking of every account's heroes");
    const std::vector<Rang> rangs = serveur::classement(c_);
    if (rangs.empty()) {
        return dire("No hero was saved yet.");
    }
    for (std::size_t i = 0; i < std::min(rangs.size(), LIGNES_CLASSEMENT); ++i) {
        char numero[8];
        std::snprintf(numero, sizeof numero, "%3zu. ", i + 1);
        console_->ecrire(numero + colonne(rangs[i].heros, 50) + std::to_string(rangs[i].score) +
                         "\n");
    }
    console_->pause();
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
