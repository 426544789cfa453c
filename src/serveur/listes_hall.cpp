#include "serveur/listes_hall.hpp"

#include "files/journal_parties.hpp"
#include "serveur/parties.hpp"

#include <algorithm>
#include <ctime>

namespace korva::serveur {

namespace {

constexpr std::size_t NOM = 16; // a name's column, wide enough for most

Cellule nom(const std::string& texte) {
    return {texte, NOM, true};
}
Cellule nombre(int valeur, std::size_t largeur) {
    return {std::to_string(valeur), largeur};
}

std::string duree(std::time_t secondes) {
    return std::to_string(secondes / 60) + " min " + std::to_string(secondes % 60) + " s";
}

std::string date(std::time_t t) {
    char texte[32] = "";
    if (const std::tm* utc = std::gmtime(&t)) {
        std::strftime(texte, sizeof texte, "%Y-%m-%d %H:%M", utc);
    }
    return texte;
}

} // namespace

ListeHall liste_en_cours(const Configuration& c) {
    ListeHall l{"games in progress",
                {{"account", NOM}, {"hero", NOM}, {"level", 5}, {"score", 6}, {"idle", 10}},
                {},
                {},
                {},
                "No game is being played now.",
                true};
    const std::vector<Partie> parties = parties_en_cours(c);
    const std::time_t maintenant = std::time(nullptr);
    for (std::size_t i = 0; i < std::min(parties.size(), LIGNES_LISTE); ++i) {
        const Partie& p = parties[i];
        l.lignes.push_back({nom(p.compte),
                            nom(p.heros),
                            nombre(p.niveau, 5),
                            nombre(p.score, 6),
                            {duree(std::max<std::time_t>(0, maintenant - p.ecrite)), 10}});
        l.chemins.push_back(p.chemin);
        l.comptes.push_back(p.compte);
    }
    return l;
}

ListeHall liste_finies(const Configuration& c, const std::string& compte) {
    const bool les_siennes = !compte.empty();
    ListeHall l{les_siennes ? "your games, the last first" : "recordings, the newest first",
                {},
                {},
                {},
                {},
                les_siennes ? "You have played no game yet." : "No game was recorded yet.",
                false};
    // One's own games name their class; everyone's, their account.
    l.colonnes = {les_siennes ? Cellule{"class", 8} : Cellule{"account", NOM},
                  {"hero", NOM},
                  {"outcome", 7},
                  {"level", 5},
                  {"score", 6},
                  {"ended (UTC)", 16}};
    for (const PartieFinie& p : parties_finies(c, LIGNES_LISTE, [&](const PartieFinie& f) {
             return !les_siennes || f.compte == compte;
         })) {
        l.lignes.push_back({les_siennes ? Cellule{p.classe, 8} : nom(p.compte),
                            nom(p.heros),
                            {std::string(mot_issue(p.issue)), 7},
                            nombre(p.niveau, 5),
                            nombre(p.score, 6),
                            {date(p.fin), 16}});
        l.chemins.push_back(chemin_enregistrement(c, p));
        l.comptes.push_back(p.compte);
    }
    return l;
}

} // namespace korva::serveur
