#include "web/etat.hpp"

#include "serveur/classement.hpp"
#include "serveur/lecture_journal.hpp"
#include "web/protocole.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace korva::web {

namespace {

// The lists' lengths, as the page shows them.
constexpr std::size_t RANGS_MONTRES = 20;
constexpr std::size_t VICTOIRES_MONTREES = 10;
constexpr std::size_t EN_COURS_MONTREES = 30;
constexpr int CONTROLE_MAX = 0x20;
// How often the server is looked at.
constexpr auto PERIODE = std::chrono::seconds(1);

std::string chaine(std::string_view texte) {
    std::string json = "\"";
    for (const char octet : texte) {
        const auto u = static_cast<unsigned char>(octet);
        if (octet == '"' || octet == '\\') {
            json += '\\';
            json += octet;
        } else if (u < CONTROLE_MAX || u >= 0x7F) {
            char echappe[8];
            std::snprintf(echappe, sizeof echappe, "\\u%04x", u); // names are plain ASCII
            json += echappe;
        } else {
            json += octet;
        }
    }
    return json + "\"";
}

// A game's name for a watch: its account, whose game in progress it asks for whichever game
// that is by then; in hexadecimal, so that it travels in a URL as it stands and is only ever
// compared, never taken as a path.
std::string nom_de(const serveur::Partie& p) {
    const std::string& texte = p.compte;
    std::string hexa;
    for (const char octet : texte) {
        char chiffres[3];
        std::snprintf(chiffres, sizeof chiffres, "%02x", static_cast<unsigned char>(octet));
        hexa += chiffres;
    }
    return hexa;
}

template <class Liste, class Ecrire>
std::string liste(const Liste& elements, std::size_t nombre, Ecrire ecrire) {
    std::string json = "[";
    for (std::size_t i = 0; i < std::min(nombre, elements.size()); ++i) {
        json += (i == 0 ? "" : ",") + ecrire(elements[i]);
    }
    return json + "]";
}

// An object of these fields, in this order, each value JSON already.
std::string objet(std::initializer_list<std::pair<std::string_view, std::string>> champs) {
    std::string json = "{";
    for (const auto& [nom, valeur] : champs) {
        json += (json.size() == 1 ? "" : ",") + chaine(nom) + ":" + valeur;
    }
    return json + "}";
}

std::shared_ptr<const Instantane> instantane_de(const serveur::Configuration& c,
                                                const std::deque<PartieFinie>& gagnees,
                                                serveur::Registres& registres,
                                                serveur::MemoireEnCours& memoire) {
    auto instantane = std::make_shared<Instantane>();
    const std::vector<serveur::Partie> en_cours = memoire.parties_en_cours(c);
    for (std::size_t i = 0; i < std::min(en_cours.size(), EN_COURS_MONTREES); ++i) {
        instantane->en_cours.emplace(nom_de(en_cours[i]), en_cours[i]);
    }
    const std::time_t maintenant = std::time(nullptr);
    const auto nombre = [](auto n) { return std::to_string(n); };
    instantane->json =
        objet({{CHAMP_CLASSEMENT, liste(registres.classement(c, RANGS_MONTRES), RANGS_MONTRES,
                                        [&](const serveur::Rang& r) {
                                            return objet({{CHAMP_COMPTE, chaine(r.compte)},
                                                          {CHAMP_HEROS, chaine(r.heros)},
                                                          {CHAMP_SCORE, nombre(r.score)}});
                                        })},
               {CHAMP_GAGNEES, liste(gagnees, VICTOIRES_MONTREES,
                                     [&](const PartieFinie& p) {
                                         return objet({{CHAMP_COMPTE, chaine(p.compte)},
                                                       {CHAMP_HEROS, chaine(p.heros)},
                                                       {CHAMP_SCORE, nombre(p.score)},
                                                       {CHAMP_FIN, nombre(p.fin)}});
                                     })},
               {CHAMP_EN_COURS,
                liste(en_cours, EN_COURS_MONTREES,
                      [&](const serveur::Partie& p) {
                          return objet({{CHAMP_COMPTE, chaine(p.compte)},
                                        {CHAMP_HEROS, chaine(p.heros)},
                                        {CHAMP_NIVEAU, nombre(p.niveau)},
                                        {CHAMP_SCORE, nombre(p.score)},
                                        {CHAMP_INACTIF,
                                         nombre(std::max<std::time_t>(0, maintenant - p.ecrite))},
                                        {CHAMP_REGARD, chaine(nom_de(p))}});
                      })}}) +
        "\n";
    return instantane;
}

} // namespace

Etat::~Etat() {
    if (fil_.joinable()) {
        fil_.request_stop();
        reveil_.notify_all();
    }
}

void Etat::demarrer(const serveur::Configuration& c) {
    c_ = &c;
    fil_ = std::jthread([this](std::stop_token arret) { regarder(arret); });
}

std::shared_ptr<const Instantane> Etat::instantane() const {
    const std::lock_guard verrou(garde_);
    return instantane_;
}

void Etat::regarder(std::stop_token arret) {
    serveur::SuiviJournal journal(serveur::chemin_journal_parties(*c_));
    std::deque<PartieFinie> gagnees; // the newest first
    serveur::Registres registres;    // each read again only once changed
    serveur::MemoireEnCours memoire; // each game's files read again only once changed
    while (!arret.stop_requested()) {
        for (PartieFinie& p : journal.suite()) {
            if (p.issue == IssuePartie::gagnee) {
                gagnees.push_front(std::move(p));
                gagnees.resize(std::min(gagnees.size(), VICTOIRES_MONTREES));
            }
        }
        std::shared_ptr<const Instantane> nouvel = instantane_de(*c_, gagnees, registres, memoire);
        std::unique_lock verrou(garde_);
        instantane_ = std::move(nouvel);
        reveil_.wait_for(verrou, arret, PERIODE, [] { return false; });
    }
}

} // namespace korva::web
