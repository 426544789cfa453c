// The lobby a player meets over ssh, drawn through the game's console on 80 columns by 24
// lines: log in or register, then play, watch a game in progress or a recording, read the
// ranking, change the password, leave.
#pragma once

#include "console/console.hpp"
#include "serveur/comptes.hpp"
#include "serveur/configuration.hpp"
#include "serveur/lancement.hpp"
#include "serveur/listes_hall.hpp"
#include "serveur/menu.hpp"
#include "serveur/places.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korva::serveur {

class Session;

inline constexpr int HALL_LIGNES = 24;
inline constexpr int HALL_COLONNES = 80;

class Hall {
public:
    // `adresse`: the client's, for the log and the registrations' limit.
    Hall(const Configuration& c, std::string adresse);
    ~Hall();
    Hall(const Hall&) = delete;
    Hall& operator=(const Hall&) = delete;

    // Runs the lobby until the player leaves or the connection ends; never returns.
    [[noreturn]] void accueillir();

private:
    // The lobby's menus (serveur/menus.cpp), and what their entries do, each for the account
    // logged in, if any.
    static const Menu ACCUEIL;
    static const Menu COMPTE;
    void connexion(const std::string&);
    void inscription(const std::string&);
    void jouer(const std::string& nom);
    void regarder_en_cours(const std::string& nom);
    void regarder_enregistrement(const std::string& nom);
    void mes_parties(const std::string& nom);
    void classement(const std::string&);
    void changer_mot_de_passe(const std::string& nom);
    [[noreturn]] void quitter(const std::string&) { partir(0); }

    // Draws `menu`, then does what the key chosen says, again and again.
    [[noreturn]] void menu(const Menu& menu, const std::string& nom);
    void compte(const std::string& nom);
    // A list of games, one chosen and watched, the list again, until the player goes back.
    void regarder(const std::string& nom, const std::function<ListeHall()>& lister);
    void ecrire_cellules(const std::vector<Cellule>& cellules);
    // Whether the account may go on, as the accounts file says now: the operator may have locked
    // it since it logged in. A locked one is told so, and the connection ends.
    bool ouvert(const std::string& nom);
    [[noreturn]] void fermer_verrouille(const std::string& nom);

    // Starts a screen of the lobby under its heading.
    void ecran(const std::string& titre);
    // A message under what the screen shows, until a key is pressed.
    void dire(const std::string& message);
    // The pause's prompt, and a key; the lobby closes when none comes within its idle time.
    void attendre_touche();
    // The lobby's idle time at a menu or prompt, in milliseconds.
    int delai_ms() const;
    // A password refused for its length (trop_court, trop_long), with the rule.
    void dire_regle(Issue issue);
    std::optional<std::string> demander(const std::string& invite);
    // A password, read one byte past its longest, so that a longer one is refused, never cut.
    std::optional<std::string> demander_mot_de_passe(const std::string& invite);
    // Runs the game's program with `arguments` in the account's folder, the lobby's console let
    // go meanwhile; nothing when the folder could not be made (said on the screen). A lost
    // connection ends the lobby, once the game's end is in the log.
    std::optional<Fin> lancer_jeu(const std::string& nom, const std::vector<std::string>& arguments,
                                  int inactivite_s);
    // The log's line at the end of a game program: how it ended, and how each of its games
    // ended as the games log tells it (those whose lines follow `debut` there).
    void noter_fin(const std::string& nom, Fin fin, std::uintmax_t debut);
    void ouvrir_console();
    [[noreturn]] void partir(int statut);

    const Configuration& c_;
    Comptes comptes_;
    std::string adresse_;
    int echecs_ = 0;            // failed logins on this connection
    std::vector<Place> places_; // the lobby's own among the server's, held until it ends
    std::unique_ptr<Console> console_;
    std::unique_ptr<Session> session_; // once logged in
};

} // namespace korva::serveur
