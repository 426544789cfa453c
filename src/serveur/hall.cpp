#include "serveur/hall.hpp"

#include "console/terminal.hpp"
#include "files/journal_parties.hpp"
#include "records/touches_jeu.hpp"
#include "serveur/journal.hpp"
#include "serveur/regles.hpp"
#include "serveur/saisie.hpp"
#include "serveur/sessions.hpp"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace korva::serveur {

namespace {

constexpr const char* TITRE = "KORVA server";
// Failed logins a connection is allowed before it is closed.
constexpr int ECHECS_MAX = 3;
// The wait after a failure doubles with each one, up to this many times.
constexpr int DOUBLEMENTS_MAX = 6;
constexpr const char* VERROUILLE = "This account is locked: ask the server's operator.";

std::string en_secondes(int millisecondes) {
    char texte[32];
    std::snprintf(texte, sizeof texte, "%.1f", millisecondes / 1000.0);
    return texte;
}

} // namespace

Hall::Hall(const Configuration& c, std::string adresse)
    : c_(c), comptes_(c), adresse_(std::move(adresse)) {}

Hall::~Hall() = default;

void Hall::ouvrir_console() {
    std::string raison;
    console_ = creer_console_terminal(raison, HALL_LIGNES, HALL_COLONNES);
    if (!console_) {
        std::fprintf(stdout, "%s\n", raison.c_str());
        std::exit(1);
    }
    console_->titre(TITRE);
}

void Hall::partir(int statut) {
    console_->terminer(statut);
    std::abort(); // a console that comes back from ending the process is broken
}

void Hall::ecran(const std::string& titre) {
    console_->effacer();
    console_->couleur(0x0E);
    console_->ecrire(std::string(TITRE) + " - " + titre + "\n\n");
    console_->couleur(0x07);
}

void Hall::dire(const std::string& message) {
    console_->ecrire("\n" + message + "\n");
    attendre_touche();
}

void Hall::attendre_touche() {
    console_->ecrire(INVITE_DE_PAUSE);
    // An arrow is one key press even though it reads as two codes.
    if (touche_du_hall(*console_, delai_ms()) == TOUCHE_PREFIXE) {
        touche_du_hall(*console_, delai_ms());
    }
    console_->ecrire("\n");
}

int Hall::delai_ms() const {
    constexpr int MS = 1000;
    return std::min(c_.inactivite_hall_s, INT_MAX / MS) * MS;
}

std::optional<std::string> Hall::demander(const std::string& invite) {
    console_->ecrire(invite);
    return saisir(*console_, static_cast<std::size_t>(c_.longueur_ligne), false, delai_ms());
}

std::optional<std::string> Hall::demander_mot_de_passe(const std::string& invite) {
    console_->ecrire(invite);
    return saisir(*console_, MOT_DE_PASSE_MAX + 1, true, delai_ms());
}

void Hall::dire_regle(Issue issue) {
    dire((issue == Issue::trop_court ? "Too short: " : "Too long: ") + REGLE_MOT_DE_PASSE + ".");
}

bool Hall::ouvert(const std::string& nom) {
    switch (comptes_.etat(nom)) {
    case Issue::accepte:
        return true;
    case Issue::verrouille:
        fermer_verrouille(nom);
    default:
        dire("The accounts cannot be read now: try again later.");
        return false;
    }
}

void Hall::fermer_verrouille(const std::string& nom) {
    journal("%s from %s turned away: the account is locked", nom.c_str(), adresse_.c_str());
    dire(VERROUILLE);
    partir(0);
}

void Hall::accueillir() {
    // Counted before anything is shown: a refused client gets one line, and its connection ends.
    Admission admission = admettre_hall(c_, adresse_);
    if (admission.refus) {
        std::printf("%s\n", admission.refus->message.c_str());
        std::exit(1);
    }
    places_ = std::move(admission.places);
    ouvrir_console();
    try {
        menu(ACCUEIL, "");
    } catch (const HallInactif&) {
        journal("lobby of %s closed, idle for %d s", adresse_.c_str(), c_.inactivite_hall_s);
        console_->ecrire("\n\nThe lobby stood idle for " + std::to_string(c_.inactivite_hall_s) +
                         " seconds: the connection is closed.\n");
        partir(0);
    }
}

void Hall::menu(const Menu& menu, const std::string& nom) {
    std::string touches;
    for (const EntreeMenu& e : menu.entrees) {
        touches += e.touche;
    }
    for (;;) {
        ecran(menu.titre.empty() ? nom : std::string(menu.titre));
        for (const EntreeMenu& e : menu.entrees) {
            console_->ecrire("  " + std::string(1, e.touche) + " : " + std::string(e.texte) + "\n");
        }
        if (!menu.pied.empty()) {
            console_->ecrire("\n" + std::string(menu.pied) + "\n");
        }
        const char choix = choisir(*console_, touches, delai_ms());
        for (const EntreeMenu& e : menu.entrees) {
            if (e.touche == choix) {
                (this->*e.action)(nom);
            }
        }
    }
}

void Hall::connexion(const std::string&) {
    ecran("log in");
    const std::optional<std::string> nom = demander("Account name: ");
    const std::optional<std::string> mot = nom ? demander_mot_de_passe("Password: ") : std::nullopt;
    if (!mot) {
        return;
    }
    int echecs_compte = 0;
    const Issue issue = comptes_.connecter(*nom, *mot, echecs_compte);
    switch (issue) {
    case Issue::accepte:
        journal("login %s from %s", nom->c_str(), adresse_.c_str());
        compte(*nom);
        return;
    case Issue::verrouille: // the password was right: only then is the lock told
        journal("failed login %s from %s: the account is locked", nom->c_str(), adresse_.c_str());
        dire(VERROUILLE);
        return;
    case Issue::trop_long: // no account has such a password: nothing was checked
        return dire_regle(issue);
    case Issue::refuse:
        break;
    default:
        dire("The accounts cannot be read now: try again later.");
        return;
    }
    ++echecs_;
    journal("failed login %s from %s", nom->c_str(), adresse_.c_str());
    if (echecs_ >= ECHECS_MAX) {
        console_->ecrire("\nWrong account name or password, three times: goodbye.\n");
        partir(0);
    }
    // Slowed on this connection and on the account alike, whichever failed more.
    const int fois = std::min(std::max(echecs_, echecs_compte), DOUBLEMENTS_MAX) - 1;
    const int attente = c_.attente_echec_ms << fois;
    console_->ecrire("\nWrong account name or password: wait " + en_secondes(attente) +
                     " seconds.\n");
    console_->dormir(attente);
    console_->vider_entree();
}

void Hall::inscription(const std::string&) {
    ecran("register");
    if (!comptes_.inscriptions_ouvertes()) {
        dire("Registration is closed for now.");
        return;
    }
    console_->ecrire("An account's name follows a hero's: one word of plain ASCII;\n" +
                     REGLE_MOT_DE_PASSE + ".\n\n");
    const std::optional<std::string> nom = demander("Account name: ");
    const std::optional<std::string> mot = nom ? demander_mot_de_passe("Password: ") : std::nullopt;
    const std::optional<std::string> encore =
        mot ? demander_mot_de_passe("The same password again: ") : std::nullopt;
    if (!encore) {
        return;
    }
    if (*encore != *mot) {
        dire("The two passwords differ: nothing was made.");
        return;
    }
    std::string raison;
    const Issue issue = comptes_.inscrire(*nom, *mot, adresse_, raison);
    switch (issue) {
    case Issue::accepte:
        journal("registration %s from %s", nom->c_str(), adresse_.c_str());
        compte(*nom);
        return;
    case Issue::nom_refuse:
        return dire("That name cannot be taken: " + raison + ".");
    case Issue::trop_court:
    case Issue::trop_long:
        return dire_regle(issue);
    case Issue::fermees:
        return dire("Registration is closed for now.");
    case Issue::trop_tot:
        return dire("Too many registrations from your address this hour: try again later.");
    default:
        return dire("The accounts cannot be written now: try again later.");
    }
}

void Hall::compte(const std::string& nom) {
    // The account's games say whose they are in the games log.
    ::setenv(VARIABLE_COMPTE, nom.c_str(), 1);
    // Known to the operator's commands before the lock is read again: a lock that comes
    // meanwhile either finds this lobby, or is found by it.
    session_ = std::make_unique<Session>(c_, nom);
    if (!session_->tenue()) {
        session_.reset();
        return dire("The accounts cannot be written now: try again later.");
    }
    if (!ouvert(nom)) {
        session_.reset();
        return;
    }
    menu(COMPTE, nom);
}

} // namespace korva::serveur
