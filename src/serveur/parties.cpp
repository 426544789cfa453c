#include "serveur/parties.hpp"

#include "files/enregistrement.hpp"
#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "files/suivi_fichier.hpp"
#include "serveur/dossier_compte.hpp"
#include "serveur/en_cours.hpp"
#include "serveur/lecture_journal.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <tuple>

namespace korva::serveur {

namespace fs = std::filesystem;

namespace {

// A recording's heading names its hero on its fourth line: "hero new NAME" or "hero loaded".
constexpr std::size_t LIGNE_HEROS = 3;
// A recording's name: YYYYMMDD-HHMMSS-HERO.txt, or HERO-N.txt for the Nth game of that hero in
// one second.
constexpr std::size_t LONGUEUR_DATE = 15;
// A recording's heading (the game's first board as a save holds it) is far smaller.
constexpr std::size_t TAILLE_EN_TETE_MAX = std::size_t{1} << 20;

// A recording's heading: its first lines, before any event. A long game's recording holds
// megabytes of events after it, which nothing here needs.
std::string en_tete_de(const std::string& chemin) {
    std::string texte(TAILLE_EN_TETE_MAX, '\0');
    std::ifstream fichier(chemin, std::ios::binary);
    fichier.read(texte.data(), static_cast<std::streamsize>(texte.size()));
    texte.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, fichier.gcount())));
    return texte;
}

std::string heros_de(const std::string& chemin) {
    const std::string texte = en_tete_de(chemin);
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

// The order of an account's recordings: the time their names begin with, then the number of
// a hero's game within one second, then the name.
std::tuple<std::string, int, std::string> cle(const std::string& nom) {
    const std::string base = nom.substr(0, nom.size() - std::min<std::size_t>(nom.size(), 4));
    const std::size_t tiret = base.rfind('-');
    const std::optional<int> rang = tiret != std::string::npos && tiret > LONGUEUR_DATE
                                        ? nombre_entier(base.substr(tiret + 1))
                                        : std::nullopt;
    return {nom.substr(0, LONGUEUR_DATE), rang.value_or(1), nom};
}

bool nom_d_enregistrement(const std::string& nom) {
    return nom.size() > LONGUEUR_DATE + 5 && nom.ends_with(".txt") && nom[8] == '-' &&
           nom[LONGUEUR_DATE] == '-' &&
           std::all_of(nom.begin(), nom.begin() + 8, [](char o) { return o >= '0' && o <= '9'; });
}

// The account's recordings, oldest first.
std::vector<fs::path> enregistrements_du_compte(const Configuration& c, const std::string& compte) {
    std::vector<fs::path> chemins;
    std::error_code erreur;
    for (fs::directory_iterator
             i(fs::path(dossier_du_compte(c, compte)) / DOSSIER_ENREGISTREMENTS, erreur),
         fin;
         !erreur && i != fin; i.increment(erreur)) {
        std::error_code e;
        if (i->is_regular_file(e) && nom_d_enregistrement(i->path().filename().string())) {
            chemins.push_back(i->path());
        }
    }
    std::sort(chemins.begin(), chemins.end(), [](const fs::path& a, const fs::path& b) {
        return cle(a.filename().string()) < cle(b.filename().string());
    });
    return chemins;
}

std::time_t ecrit_le(const fs::path& chemin) {
    std::error_code erreur;
    const auto t = fs::last_write_time(chemin, erreur);
    return erreur ? 0 : std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(t));
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
        texte = en_tete_de(p.chemin);
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

std::optional<std::string> enregistrement_en_cours(const Configuration& c,
                                                   const std::string& compte) {
    const std::vector<fs::path> chemins = enregistrements_du_compte(c, compte);
    if (chemins.empty() || !ecrit_en_ce_moment(chemins.back().string())) {
        return std::nullopt;
    }
    return fs::absolute(chemins.back()).string();
}

std::optional<Partie> partie_de(const Configuration& c, const std::string& compte) {
    const std::optional<std::string> chemin = enregistrement_en_cours(c, compte);
    if (!chemin) {
        return std::nullopt;
    }
    Partie p{compte, heros_de(*chemin), *chemin, ecrit_le(*chemin)};
    lire_etat(c, p);
    return p;
}

std::vector<Partie> parties_en_cours(const Configuration& c) {
    return MemoireEnCours().parties_en_cours(c);
}

std::vector<Partie> MemoireEnCours::parties_en_cours(const Configuration& c) {
    std::vector<Partie> parties;
    std::map<std::string, Suivie> suivies;
    for (const std::string& compte : comptes_en_jeu(c)) {
        std::error_code e;
        const fs::path dossier = fs::path(dossier_du_compte(c, compte)) / DOSSIER_ENREGISTREMENTS;
        const fs::file_time_type change = fs::last_write_time(dossier, e);
        auto connue = suivies_.find(compte);
        // A new recording changes its folder; the one known may have ended since.
        if (connue == suivies_.end() || connue->second.dossier != change ||
            !ecrit_en_ce_moment(connue->second.partie.chemin)) {
            std::optional<Partie> p = partie_de(c, compte);
            if (!p) {
                continue;
            }
            connue = suivies_.insert_or_assign(compte, Suivie{change, {}, std::move(*p)}).first;
        }
        Suivie& suivie = connue->second;
        const fs::file_time_type sauvee = fs::last_write_time(
            dossier_du_compte(c, compte) + "/" + chemin_sauvegarde(suivie.partie.heros), e);
        if (!e && sauvee != suivie.sauvegarde) {
            suivie.sauvegarde = sauvee;
            lire_etat(c, suivie.partie);
        }
        suivie.partie.ecrite = ecrit_le(suivie.partie.chemin);
        parties.push_back(suivie.partie);
        suivies.insert(*connue);
    }
    suivies_ = std::move(suivies); // the games ended are forgotten
    // The longest idle last; two alike by their accounts.
    std::sort(parties.begin(), parties.end(), [](const Partie& a, const Partie& b) {
        return std::tie(b.ecrite, a.compte) < std::tie(a.ecrite, b.compte);
    });
    return parties;
}

std::string chemin_enregistrement(const Configuration& c, const PartieFinie& p) {
    return fs::absolute(fs::path(dossier_du_compte(c, p.compte)) / DOSSIER_ENREGISTREMENTS /
                        p.enregistrement)
        .string();
}

std::vector<PartieFinie> parties_finies(const Configuration& c, std::size_t nombre,
                                        const std::function<bool(const PartieFinie&)>& garder) {
    return dernieres_parties(chemin_journal_parties(c), nombre, [&](const PartieFinie& p) {
        return !p.compte.empty() && !p.enregistrement.empty() && (!garder || garder(p)) &&
               fichier_existe(chemin_enregistrement(c, p));
    });
}

void elaguer_enregistrements(const Configuration& c, const std::string& compte) {
    std::vector<fs::path> chemins = enregistrements_du_compte(c, compte);
    std::error_code erreur;
    // An empty recording is a game that could not even write its heading: nothing to watch.
    std::erase_if(chemins, [&](const fs::path& p) {
        return fs::is_empty(p, erreur) && !ecrit_en_ce_moment(p.string()) && fs::remove(p, erreur);
    });
    const auto gardes = static_cast<std::size_t>(c.enregistrements_max);
    for (std::size_t i = 0; i + gardes < chemins.size(); ++i) {
        fs::remove(chemins[i], erreur);
    }
}

} // namespace korva::serveur
