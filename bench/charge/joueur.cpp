#include "joueur.hpp"

#include <algorithm>

namespace korva::charge {

namespace {

// The texts each screen is known by, as the lobby and the game write them, and the keys then
// typed. The account's menu is known by its last entry but one.
constexpr const char* ACCUEIL = "Ctrl-D goes back to the menu.";
constexpr const char* NOM = "Account name:";
constexpr const char* MOT = "Password:";
constexpr const char* MENU = "change the password";
constexpr const char* PLATEAU = "save and quit";

// A player's keys between two, at random: most are steps, some open the help screen or the
// bag, the key after them leaves it.
constexpr const char* HAUT = "\x1b[A";
constexpr const char* BAS = "\x1b[B";
constexpr const char* DROITE = "\x1b[C";
constexpr const char* GAUCHE = "\x1b[D";
constexpr double PART_AIDE = 0.075, PART_SAC = 0.075;
// Between two keys of a player: at random, evenly between these, one a second on average.
constexpr double ECART_MIN_S = 0.5, ECART_MAX_S = 1.5;

} // namespace

void Collecte::ajouter(const Collecte& autre) {
    premier.insert(premier.end(), autre.premier.begin(), autre.premier.end());
    entier.insert(entier.end(), autre.entier.begin(), autre.entier.end());
    envoyees += autre.envoyees;
    sans_reponse += autre.sans_reponse;
    retard_max_ms = std::max(retard_max_ms, autre.retard_max_ms);
}

Joueur::Joueur(asio::io_context& io, std::unique_ptr<Lien> lien, std::string compte,
               std::string mot_de_passe, std::string heros, unsigned graine)
    : io_(io), lien_(std::move(lien)), minuterie_(io), hasard_(graine) {
    etapes_ = {{ACCUEIL, "1"}, {NOM, compte + "\r"}, {MOT, mot_de_passe + "\r"}, {MENU, ""}};
    if (!heros.empty()) {
        etapes_.back().second = "1";
        etapes_.insert(etapes_.end(), {{"Press any key", " "},
                                       {"3 : quit", "1"},
                                       {"persona", heros + "\r1\r"},
                                       {"Here we are", " "},
                                       {PLATEAU, ""}});
    }
    lien_->quand_recu = [this](std::string_view octets) { recu(octets); };
    lien_->quand_perdu = [this](int) {
        etat_ = Etat::perdu;
        minuterie_.cancel();
    };
}

void Joueur::commencer() {
    ouvert = Horloge::now();
    lien_->ouvrir();
}

void Joueur::recu(std::string_view octets) {
    const Horloge::time_point maintenant = Horloge::now();
    if (etat_ == Etat::connexion) {
        vu_.append(octets);
        vu_en_dernier = vu_.substr(vu_.size() - std::min<std::size_t>(vu_.size(), 300));
        while (etape_ < etapes_.size()) {
            const std::size_t trouve = vu_.find(etapes_[etape_].first);
            if (trouve == std::string::npos) {
                return;
            }
            vu_.erase(0, trouve + etapes_[etape_].first.size());
            etape();
        }
        return;
    }
    if (etat_ != Etat::jeu || collecte_ == nullptr) {
        return;
    }
    // The bytes answer the oldest key whose answer is not over yet.
    while (!attente_.empty() && attente_.front().dernier &&
           maintenant - *attente_.front().dernier > CALME) {
        archiver(attente_.front());
        attente_.pop_front();
    }
    if (attente_.empty()) {
        return; // nothing asked for them
    }
    EnAttente& k = attente_.front();
    k.premier = k.premier.value_or(maintenant);
    k.dernier = maintenant;
}

void Joueur::etape() {
    const auto& [attendu, touches] = etapes_[etape_++];
    if (attendu == MOT) {
        mot_de_passe_tape = Horloge::now();
    } else if (attendu == MENU) {
        au_menu = Horloge::now();
        if (touches.empty()) {
            etat_ = Etat::menu;
        }
    } else if (attendu == PLATEAU) {
        etat_ = Etat::jeu;
        vu_.clear();
    }
    if (!touches.empty()) {
        lien_->envoyer(touches);
    }
}

void Joueur::jouer(Horloge::time_point fin, Collecte* collecte) {
    if (etat_ != Etat::jeu) {
        return;
    }
    collecte_ = collecte;
    fin_ = fin;
    // The first key at a random moment of the first second, so that players do not keep step.
    prevue_ = Horloge::now() +
              std::chrono::duration_cast<Horloge::duration>(std::chrono::duration<double>(
                  std::uniform_real_distribution<double>(0, 1)(hasard_)));
    programmer();
}

void Joueur::programmer() {
    if (prevue_ >= fin_ || etat_ != Etat::jeu) {
        return;
    }
    minuterie_.expires_at(prevue_);
    minuterie_.async_wait([this](boost::system::error_code e) {
        if (e || etat_ != Etat::jeu || collecte_ == nullptr) {
            return;
        }
        const Horloge::time_point maintenant = Horloge::now();
        collecte_->retard_max_ms =
            std::max(collecte_->retard_max_ms, millisecondes(maintenant - prevue_));
        ++collecte_->envoyees;
        attente_.push_back({maintenant, std::nullopt, std::nullopt});
        lien_->envoyer(touche_suivante());
        for (const auto& dire : quand_touche) {
            dire(maintenant);
        }
        prevue_ += std::chrono::duration_cast<Horloge::duration>(std::chrono::duration<double>(
            std::uniform_real_distribution<double>(ECART_MIN_S, ECART_MAX_S)(hasard_)));
        programmer();
    });
}

std::string Joueur::touche_suivante() {
    if (derniere_ == 'h') { // any key leaves the help screen
        derniere_ = ' ';
        return " ";
    }
    if (derniere_ == 'i') { // the bag's "return to the previous screen"
        derniere_ = '2';
        return "2";
    }
    const double tirage = std::uniform_real_distribution<double>(0, 1)(hasard_);
    if (tirage < PART_AIDE + PART_SAC) {
        derniere_ = tirage < PART_AIDE ? 'h' : 'i';
        return std::string(1, derniere_);
    }
    // A step that stays in the room, so that every step moves the hero and shows it.
    derniere_ = '>';
    std::vector<std::pair<const char*, std::pair<int, int>>> pas;
    for (const auto& p :
         {std::pair{HAUT, std::pair{-1, 0}}, std::pair{BAS, std::pair{1, 0}},
          std::pair{DROITE, std::pair{0, 1}}, std::pair{GAUCHE, std::pair{0, -1}}}) {
        const int l = ligne_ + p.second.first, c = colonne_ + p.second.second;
        if (l >= 0 && l < LIGNES_SALLE && c >= 0 && c < COLONNES_SALLE) {
            pas.push_back(p);
        }
    }
    const auto& choisi =
        pas[std::uniform_int_distribution<std::size_t>(0, pas.size() - 1)(hasard_)];
    ligne_ += choisi.second.first;
    colonne_ += choisi.second.second;
    return choisi.first;
}

void Joueur::archiver(const EnAttente& k) {
    if (collecte_ == nullptr) {
        return;
    }
    if (!k.premier) {
        ++collecte_->sans_reponse;
        return;
    }
    collecte_->premier.push_back(millisecondes(*k.premier - k.envoi));
    collecte_->entier.push_back(millisecondes(*k.dernier - k.envoi));
}

bool Joueur::attend_reponse() const {
    return std::any_of(attente_.begin(), attente_.end(),
                       [](const EnAttente& k) { return !k.premier; });
}

void Joueur::clore() {
    minuterie_.cancel();
    for (const EnAttente& k : attente_) {
        archiver(k);
    }
    attente_.clear();
    collecte_ = nullptr;
}

void Joueur::fermer() {
    minuterie_.cancel();
    if (etat_ != Etat::perdu) {
        etat_ = Etat::perdu;
        lien_->fermer();
    }
}

} // namespace korva::charge
