#include "serveur/parties.hpp"

#include "files/enregistrement.hpp"
#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "files/suivi_fichier.hpp"
#include "serveur/dossier_compte.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <system_error>

namespace korva::serveur {

namespace fs = std::filesystem;

namespace {

// A recording's heading names its hero on its fourth line: "hero new NAME" or "hero loaded".
constexpr std::size_t LIGNE_HEROS = 3;

std::string heros_de(const std::string& chemin) {
    std::string texte;
    int numero_erreur = 0;
    lire_fichier(chemin, texte, numero_erreur);
    std::size_t debut = 0;
    for (std::size_t n = 0; n < LIGNE_HEROS && debut != std::string::npos; ++n) {
        debut = texte.find('\n', debut);
        debut = debut == std::string::npos ? debut : debut + 1;
    }
    std::size_t position = debut == std::string::npos ? texte.size() : debut;
    lire_mot(texte, position); // "hero"
    lire_mot(texte, position); // "new" or "loaded"
    return std::string(lire_mot(texte, position));
}

// Every recording of every account, in no order.
std::vector<Partie> toutes(const Configuration& c) {
    std::vector<Partie> parties;
    std::error_code erreur;
    const fs::path comptes = fs::absolute(fs::path(c.donnees) / "comptes", erreur);
    for (fs::directory_iterator i(comptes, erreur), fin; !erreur && i != fin; i.increment(erreur)) {
        const std::string compte = i->path().filename().string();
        std::error_code e;
        for (fs::directory_iterator j(i->path() / DOSSIER_ENREGISTREMENTS, e), f; !e && j != f;
             j.increment(e)) {
            const auto t = j->last_write_time(e);
            if (!e && j->is_regular_file(e) && j->path().extension() == ".txt") {
                parties.push_back(
                    {compte, heros_de(j->path().string()), j->path().string(),
                     std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(t)), t});
            }
        }
    }
    return parties;
}

// The level and score of a game in progress: its hero's save, when it saved already, or the
// game as its recording began.
void lire_etat(const Configuration& c, Partie& p) {
    std::string texte;
    int numero_erreur = 0;
    Enregistrement enregistrement;
    std::string erreur;
    if (!lire_fichier(dossier_du_compte(c, p.compte) + "/" + chemin_sauvegarde(p.heros), texte,
                      numero_erreur)) {
        lire_fichier(p.chemin, texte, numero_erreur);
        texte.resize(texte.rfind('\n') + 1); // a line still being written waits
        lire_enregistrement(texte, enregistrement, erreur);
        texte = enregistrement.en_tete.depart;
    }
    auto plateau = std::make_unique<Plateau>();
    auto sacoche = std::make_unique<Sacoche>();
    sPerso heros{};
    int l = 0;
    int colonnes = 0;
    if (lire_sauvegarde(texte, p.heros, *plateau, l, colonnes, heros, *sacoche, erreur)) {
        p.niveau = niveau_selon_taille(l, colonnes);
        p.score = heros.score;
    }
}

} // namespace

std::vector<Partie> parties_en_cours(const Configuration& c) {
    std::vector<Partie> parties = toutes(c);
    std::erase_if(parties, [](const Partie& p) { return !ecrit_en_ce_moment(p.chemin); });
    for (Partie& p : parties) {
        lire_etat(c, p);
    }
    std::sort(parties.begin(), parties.end(),
              [](const Partie& a, const Partie& b) { return a.ecrite > b.ecrite; });
    return parties;
}

std::vector<Partie> enregistrements(const Configuration& c) {
    std::vector<Partie> parties = toutes(c);
    // Not by their names: those of games begun in one second stand in the order of their heroes.
    std::sort(parties.begin(), parties.end(),
              [](const Partie& a, const Partie& b) { return a.modifiee > b.modifiee; });
    return parties;
}

void elaguer_enregistrements(const Configuration& c, const std::string& compte) {
    std::vector<Partie> parties = enregistrements(c);
    std::erase_if(parties, [&compte](const Partie& p) { return p.compte != compte; });
    std::error_code erreur;
    for (std::size_t i = static_cast<std::size_t>(c.enregistrements_max); i < parties.size(); ++i) {
        fs::remove(parties[i].chemin, erreur);
    }
}

std::vector<Rang> classement(const Configuration& c) {
    std::string texte;
    int numero_erreur = 0;
    std::vector<Rang> rangs;
    if (!lire_fichier(c.donnees + "/" + REGISTRE_PARTAGE, texte, numero_erreur)) {
        return rangs;
    }
    std::size_t position = 0;
    int nombre = 0;
    lire_nombre(texte, position, nombre);
    for (int i = 0; i < nombre; ++i) {
        Rang r{std::string(lire_mot(texte, position)), 0};
        if (r.heros.empty() || !lire_nombre(texte, position, r.score)) {
            break;
        }
        rangs.push_back(std::move(r));
    }
    return rangs;
}

} // namespace korva::serveur
