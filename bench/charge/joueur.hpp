// A player of the load benchmark, whatever way in it takes: it logs in to its account through
// the lobby's screens, makes a hero, then, while a window is open, presses keys at a human pace
// in open loop (each key at its own random moment, whether the last one was answered or not),
// and times each from its sending to the first byte of its answer and to its whole screen.
#pragma once

#include "lien.hpp"
#include "mesures.hpp"

#include <deque>
#include <optional>
#include <random>

namespace korva::charge {

// The keys of a window: the times of their answers, in milliseconds.
struct Collecte {
    std::vector<double> premier, entier;
    long envoyees = 0, sans_reponse = 0;
    double retard_max_ms = 0; // how late the benchmark sent a key past its moment, at most
    void ajouter(const Collecte& autre);
};

// A key's answer is whole once nothing came for this long after its last byte.
inline constexpr auto CALME = std::chrono::milliseconds(100);
// The hero's room in the benchmark's level: rows and columns of floor, and where he starts.
inline constexpr int LIGNES_SALLE = 18, COLONNES_SALLE = 48;
inline constexpr int LIGNE_DEPART = 9, COLONNE_DEPART = 24;

class Joueur {
public:
    enum class Etat { connexion, menu, jeu, perdu };

    // Logs in as `compte`; into a game with a hero named `heros` unless it is empty.
    Joueur(asio::io_context& io, std::unique_ptr<Lien> lien, std::string compte,
           std::string mot_de_passe, std::string heros, unsigned graine);

    void commencer();
    Etat etat() const { return etat_; }
    // Keys at their random moments until `fin`, timed into `collecte`.
    void jouer(Horloge::time_point fin, Collecte* collecte);
    // The keys from now on timed into `collecte`, the pace kept.
    void recolter(Collecte* collecte) {
        if (collecte_ != nullptr) {
            collecte_ = collecte;
        }
    }
    // Ends the window: every key answered so far counted, the others as unanswered.
    void clore();
    bool attend_reponse() const;
    void fermer();
    pid_t processus() const { return lien_->processus(); }

    // Each key's moment, told to whoever watches this player's game.
    std::vector<std::function<void(Horloge::time_point)>> quand_touche;

    Horloge::time_point ouvert, mot_de_passe_tape, au_menu;
    std::string vu_en_dernier; // the lobby's last bytes, for a player lost on the way

private:
    struct EnAttente {
        Horloge::time_point envoi;
        std::optional<Horloge::time_point> premier, dernier;
    };
    void recu(std::string_view octets);
    void etape();
    void programmer();
    std::string touche_suivante();
    void archiver(const EnAttente& k);

    asio::io_context& io_;
    std::unique_ptr<Lien> lien_;
    asio::steady_timer minuterie_;
    std::mt19937 hasard_;
    std::vector<std::pair<std::string, std::string>> etapes_; // text awaited, then keys typed
    std::size_t etape_ = 0;
    std::string vu_;
    Etat etat_ = Etat::connexion;
    std::deque<EnAttente> attente_;
    Collecte* collecte_ = nullptr;
    Horloge::time_point fin_, prevue_;
    int ligne_ = LIGNE_DEPART, colonne_ = COLONNE_DEPART;
    char derniere_ = 0;
};

} // namespace korva::charge
