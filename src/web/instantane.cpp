#include "web/instantane.hpp"

#include "files/fichier_sur.hpp"
#include "web/json.hpp"
#include "web/protocole.hpp"

#include <algorithm>
#include <ctime>

namespace korva::web {

namespace {

// The lists' lengths, as the page shows them.
constexpr std::size_t RANGS_MONTRES = 20;
constexpr std::size_t VICTOIRES_MONTREES = 10;
constexpr std::size_t DERNIERES_MONTREES = 10;
constexpr std::size_t EN_COURS_MONTREES = 30;
constexpr std::time_t MINUTE = 60;

std::string nombre(long long n) {
    return std::to_string(n);
}

// A game in progress's name for a watch: its account, whose game in progress it asks for
// whichever game that is by then.
std::string nom_regard(const serveur::Partie& p) {
    return hexa(p.compte);
}

// A game ended's name for a replay: its account and its recording, which name no other game.
std::string nom_rejeu(const PartieFinie& p) {
    return hexa(p.compte + "/" + p.enregistrement);
}

// The games in progress, each idle time counted in `unite` seconds.
std::string en_cours_json(const std::vector<serveur::Partie>& en_cours, std::time_t unite) {
    const std::time_t maintenant = std::time(nullptr);
    return liste(en_cours, EN_COURS_MONTREES, [&](const serveur::Partie& p) {
        return objet(
            {{CHAMP_COMPTE, chaine(p.compte)},
             {CHAMP_HEROS, chaine(p.heros)},
             {CHAMP_NIVEAU, nombre(p.niveau)},
             {CHAMP_SCORE, nombre(p.score)},
             {CHAMP_INACTIF, nombre(std::max<std::time_t>(0, maintenant - p.ecrite) / unite)},
             {CHAMP_REGARD, chaine(nom_regard(p))}});
    });
}

} // namespace

void JournalLu::ajouter(std::vector<PartieFinie> parties) {
    for (PartieFinie& p : parties) {
        if (p.compte.empty()) {
            continue; // a game played alone, not on the server
        }
        if (p.issue == IssuePartie::gagnee) {
            gagnees.push_front(p);
            gagnees.resize(std::min(gagnees.size(), VICTOIRES_MONTREES));
        }
        dernieres.push_front(std::move(p));
        dernieres.resize(std::min(dernieres.size(), PARTIES_RETENUES));
    }
}

std::shared_ptr<const Index> indexer(const JournalLu& lu) {
    auto index = std::make_shared<Index>();
    const auto rejouable = [&](const PartieFinie& p) {
        if (!p.enregistrement.empty()) {
            index->rejeux.emplace(nom_rejeu(p), p);
        }
    };
    for (const PartieFinie& p : lu.dernieres) {
        std::vector<PartieFinie>& siennes = index->par_compte[hexa(p.compte)];
        if (siennes.size() < PARTIES_PAR_COMPTE) {
            siennes.push_back(p);
            rejouable(p);
        }
    }
    std::for_each(lu.gagnees.begin(), lu.gagnees.end(), rejouable);
    return index;
}

std::string json_partie_finie(const serveur::Configuration& c, const PartieFinie& p) {
    const bool gardee =
        !p.enregistrement.empty() && fichier_existe(serveur::chemin_enregistrement(c, p));
    return objet({{CHAMP_COMPTE, chaine(p.compte)},
                  {CHAMP_HEROS, chaine(p.heros)},
                  {CHAMP_CLASSE, chaine(p.classe)},
                  {CHAMP_ISSUE, chaine(mot_issue(p.issue))},
                  {CHAMP_NIVEAU, nombre(p.niveau)},
                  {CHAMP_SCORE, nombre(p.score)},
                  {CHAMP_FIN, nombre(p.fin)},
                  {CHAMP_REJEU, gardee ? chaine(nom_rejeu(p)) : "null"}});
}

Fait faire_instantane(const serveur::Configuration& c, const JournalLu& lu,
                      std::shared_ptr<const Index> index, Memoires& memoires) {
    auto instantane = std::make_shared<Instantane>();
    instantane->index = std::move(index);
    const std::vector<serveur::Partie> en_cours = memoires.en_cours.parties_en_cours(c);
    // The page lists the freshest only, but every game in progress can be watched: a game
    // that just fell off the list is still the one its watcher clicked on.
    for (const serveur::Partie& p : en_cours) {
        instantane->en_cours.emplace(nom_regard(p), p);
    }
    const auto finie = [&](const PartieFinie& p) { return json_partie_finie(c, p); };
    const std::string listes =
        "{" + chaine(CHAMP_CLASSEMENT) + ":" +
        liste(memoires.registres.classement(c, RANGS_MONTRES), RANGS_MONTRES,
              [&](const serveur::Rang& r) {
                  return objet({{CHAMP_COMPTE, chaine(r.compte)},
                                {CHAMP_HEROS, chaine(r.heros)},
                                {CHAMP_SCORE, nombre(r.score)}});
              }) +
        "," + chaine(CHAMP_GAGNEES) + ":" + liste(lu.gagnees, VICTOIRES_MONTREES, finie) + "," +
        chaine(CHAMP_DERNIERES) + ":" + liste(lu.dernieres, DERNIERES_MONTREES, finie) + "," +
        chaine(CHAMP_EN_COURS) + ":";
    instantane->json =
        std::make_shared<const std::string>(listes + en_cours_json(en_cours, 1) + "}\n");
    return {std::move(instantane), listes + en_cours_json(en_cours, MINUTE)};
}

} // namespace korva::web
