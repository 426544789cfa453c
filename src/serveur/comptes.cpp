#include "serveur/comptes.hpp"

#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "files/nom_joueur.hpp"
#include "serveur/places.hpp"

#include <sodium.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace korva::serveur {

namespace {

// Where the registrations of the last hour are noted, "time address" a line.
constexpr const char* FICHIER_INSCRIPTIONS = "inscriptions.txt";

// A password out of the rule's range: too short or too long; accepte when in it.
Issue longueur(std::string_view mot_de_passe) {
    return mot_de_passe.size() < MOT_DE_PASSE_MIN   ? Issue::trop_court
           : mot_de_passe.size() > MOT_DE_PASSE_MAX ? Issue::trop_long
                                                    : Issue::accepte;
}
// Its presence closes registrations.
constexpr const char* FICHIER_FERMEES = "inscriptions-fermees";
constexpr std::time_t UNE_HEURE = 3600;
constexpr std::string_view OUVERT = "open";
constexpr std::string_view FERME = "locked";

std::vector<std::string_view> lignes_de(std::string_view texte) {
    std::vector<std::string_view> lignes;
    for (std::size_t fin; !texte.empty(); texte.remove_prefix(std::min(fin + 1, texte.size()))) {
        fin = std::min(texte.find('\n'), texte.size());
        lignes.push_back(texte.substr(0, fin));
    }
    return lignes;
}

std::optional<std::vector<Compte>> lire_comptes(const std::string& texte) {
    std::vector<Compte> comptes;
    for (const std::string_view ligne : lignes_de(texte)) {
        std::size_t position = 0;
        Compte c;
        c.nom = lire_mot(ligne, position);
        c.empreinte = lire_mot(ligne, position);
        const std::string_view etat = lire_mot(ligne, position);
        c.verrouille = etat == FERME;
        if (c.empreinte.empty() || (etat != OUVERT && etat != FERME) ||
            !lire_nombre(ligne, position, c.echecs)) {
            return std::nullopt;
        }
        comptes.push_back(std::move(c));
    }
    return comptes;
}

std::string texte_comptes(const std::vector<Compte>& comptes) {
    std::string texte;
    for (const Compte& c : comptes) {
        texte += c.nom + " " + c.empreinte + " " + std::string(c.verrouille ? FERME : OUVERT) +
                 " " + std::to_string(c.echecs) + "\n";
    }
    return texte;
}

template <typename Comptes> auto trouver(Comptes& comptes, std::string_view nom) {
    const auto i = std::find_if(comptes.begin(), comptes.end(),
                                [nom](const Compte& c) { return c.nom == nom; });
    return i == comptes.end() ? nullptr : &*i;
}

// An unknown name is checked against this hash of no password, at the costs a real hash has now,
// so that the time a login takes tells nobody which names have accounts; being written out, it
// costs no hash of its own to make.
std::string empreinte_factice() {
    return "$argon2id$v=19$m=" + std::to_string(crypto_pwhash_MEMLIMIT_INTERACTIVE / 1024) +
           ",t=" + std::to_string(crypto_pwhash_OPSLIMIT_INTERACTIVE) +
           ",p=1$bm9ib2R5J3Mgc2FsdCEhIQ$bm9ib2R5J3MgcGFzc3dvcmQsIGtlcHQgbm93aGVyZSE";
}

// The line of turns of a name's logins: a line chosen by the name alone, known or not, so that
// the wait tells nothing of which names have accounts.
unsigned file_du_nom(std::string_view nom) {
    std::uint32_t h = 2166136261u; // FNV-1a: the same line in every process and build
    for (const unsigned char octet : nom) {
        h = (h ^ octet) * 16777619u;
    }
    return h % FILES_DE_NOMS;
}

} // namespace

std::string Comptes::empreinte(std::string_view mot_de_passe) const {
    const Place place = attendre_place(chemin(PLACES_VERIFICATIONS), c_.verifications_max);
    char empreinte[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(empreinte, mot_de_passe.data(), mot_de_passe.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        return {}; // out of memory: no account is made or changed with it
    }
    return empreinte;
}

bool Comptes::juste(const std::string& nom, const std::string& empreinte,
                    std::string_view mot_de_passe) const {
    // The guessers of one account take one of the server's places at most, by turns, and leave
    // the others to every other account's logins.
    std::error_code erreur;
    std::filesystem::create_directory(chemin(DOSSIER_VERIFICATIONS), erreur);
    const Place tour =
        attendre_place(chemin(DOSSIER_VERIFICATIONS) + ("/" + std::to_string(file_du_nom(nom))), 1);
    const Place place = attendre_place(chemin(PLACES_VERIFICATIONS), c_.verifications_max);
    return crypto_pwhash_str_verify(empreinte.c_str(), mot_de_passe.data(), mot_de_passe.size()) ==
           0;
}

std::optional<std::vector<Compte>> Comptes::lire() const {
    std::string texte;
    int numero_erreur = 0;
    if (!lire_fichier(chemin(FICHIER_COMPTES), texte, numero_erreur)) {
        return numero_erreur == ENOENT ? std::optional(std::vector<Compte>{}) : std::nullopt;
    }
    return lire_comptes(texte);
}

Issue Comptes::modifier(const std::function<Issue(std::vector<Compte>&)>& changer) {
    const VerrouFichier verrou(chemin(FICHIER_COMPTES));
    std::optional<std::vector<Compte>> comptes = lire();
    if (!verrou.tenu() || !comptes) {
        return Issue::illisible;
    }
    const Issue issue = changer(*comptes);
    int numero_erreur = 0;
    // A failed login is counted too, and a right password on a locked account clears the count.
    const bool ecrire =
        issue == Issue::accepte || issue == Issue::refuse || issue == Issue::verrouille;
    if (ecrire &&
        !ecrire_fichier_atomique(chemin(FICHIER_COMPTES), texte_comptes(*comptes), numero_erreur)) {
        return Issue::illisible;
    }
    return issue;
}

Issue Comptes::etat(const std::string& nom) const {
    const std::optional<std::vector<Compte>> comptes = lire();
    const Compte* c = comptes ? trouver(*comptes, nom) : nullptr;
    return !comptes ? Issue::illisible
           : !c     ? Issue::nom_refuse
                    : (c->verrouille ? Issue::verrouille : Issue::accepte);
}

Issue Comptes::connecter(const std::string& nom, std::string_view mot_de_passe, int& echecs) {
    if (longueur(mot_de_passe) == Issue::trop_long) {
        return Issue::trop_long;
    }
    // The file is replaced whole at each change: read without the lock, it is one version of it.
    const std::optional<std::vector<Compte>> comptes = lire();
    if (!comptes) {
        return Issue::illisible;
    }
    const Compte* lu = trouver(*comptes, nom);
    const std::string empreinte = lu != nullptr ? lu->empreinte : empreinte_factice();
    const bool bon = juste(nom, empreinte, mot_de_passe);
    echecs = 1;
    if (lu == nullptr) { // written again as a failure is, so that time tells nothing of names
        return modifier([](std::vector<Compte>&) { return Issue::refuse; });
    }
    if (bon && lu->echecs == 0) {
        echecs = 0; // nothing to write: the lock is not even asked for
        return lu->verrouille ? Issue::verrouille : Issue::accepte;
    }
    return modifier([&](std::vector<Compte>& tous) {
        Compte* c = trouver(tous, nom);
        if (c == nullptr || c->empreinte != empreinte) {
            return Issue::refuse; // changed while it was checked: the password checked is gone
        }
        c->echecs = bon ? 0 : c->echecs + 1;
        echecs = c->echecs;
        return !bon ? Issue::refuse : c->verrouille ? Issue::verrouille : Issue::accepte;
    });
}

Issue Comptes::inscrire(const std::string& nom, std::string_view mot_de_passe,
                        const std::string& adresse, std::string& raison) {
    if (!inscriptions_ouvertes()) {
        return Issue::fermees;
    }
    if (!nom_valide(nom, raison)) {
        return Issue::nom_refuse;
    }
    if (longueur(mot_de_passe) != Issue::accepte) {
        return longueur(mot_de_passe);
    }
    const std::string empreinte = Comptes::empreinte(mot_de_passe);
    return modifier([&](std::vector<Compte>& comptes) {
        // Account names name folders too: two that differ only by letter case never coexist.
        if (std::any_of(comptes.begin(), comptes.end(),
                        [&nom](const Compte& c) { return egal_sans_casse(c.nom, nom); })) {
            raison = "that name is taken";
            return Issue::nom_refuse;
        }
        std::string texte;
        int numero_erreur = 0;
        lire_fichier(chemin(FICHIER_INSCRIPTIONS), texte, numero_erreur);
        const std::time_t maintenant = std::time(nullptr);
        std::string recentes;
        int de_la = 0;
        for (const std::string_view ligne : lignes_de(texte)) {
            std::size_t position = 0;
            int quand = 0;
            if (lire_nombre(ligne, position, quand) && maintenant - quand < UNE_HEURE) {
                recentes += std::string(ligne) + "\n";
                de_la += lire_mot(ligne, position) == adresse ? 1 : 0;
            }
        }
        if (de_la >= c_.inscriptions_par_heure) {
            return Issue::trop_tot;
        }
        recentes += std::to_string(maintenant) + " " + adresse + "\n";
        if (empreinte.empty() ||
            !ecrire_fichier_atomique(chemin(FICHIER_INSCRIPTIONS), recentes, numero_erreur)) {
            return Issue::illisible;
        }
        comptes.push_back({nom, empreinte, false, 0});
        return Issue::accepte;
    });
}

Issue Comptes::changer_mot_de_passe(const std::string& nom, std::string_view mot_de_passe) {
    if (longueur(mot_de_passe) != Issue::accepte) {
        return longueur(mot_de_passe);
    }
    const std::string empreinte = Comptes::empreinte(mot_de_passe);
    return modifier([&](std::vector<Compte>& comptes) {
        Compte* c = trouver(comptes, nom);
        if (c == nullptr || empreinte.empty()) {
            return Issue::illisible;
        }
        c->empreinte = empreinte;
        c->echecs = 0;
        return Issue::accepte;
    });
}

Issue Comptes::verrouiller(const std::string& nom, bool verrouille) {
    return modifier([&](std::vector<Compte>& comptes) {
        Compte* c = trouver(comptes, nom);
        if (c == nullptr) {
            return Issue::nom_refuse;
        }
        c->verrouille = verrouille;
        return Issue::accepte;
    });
}

bool Comptes::inscriptions_ouvertes() const {
    return !fichier_existe(chemin(FICHIER_FERMEES));
}

bool Comptes::ouvrir_inscriptions(bool ouvertes) {
    int numero_erreur = 0;
    if (ouvertes) {
        return std::remove(chemin(FICHIER_FERMEES).c_str()) == 0 ||
               !fichier_existe(chemin(FICHIER_FERMEES));
    }
    return ecrire_fichier_atomique(chemin(FICHIER_FERMEES), "closed by the operator\n",
                                   numero_erreur);
}

} // namespace korva::serveur
