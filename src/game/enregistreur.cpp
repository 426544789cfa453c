#include "game/enregistreur.hpp"

#include "characters/hasard.hpp"
#include "characters/personnage.hpp"
#include "files/fichier_sur.hpp"
#include "files/niveaux.hpp"
#include "files/sauvegarde.hpp"
#include "files/suivi_fichier.hpp"
#include "items/objets.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace korva {

namespace fs = std::filesystem;

namespace {

// A recording's file name: the time the game started, then the hero's name, so that names
// sort as the games were played.
constexpr const char* FORMAT_DATE = "%Y%m%d-%H%M%S";
constexpr std::size_t LONGUEUR_DATE = 15; // YYYYMMDD-HHMMSS

bool nom_d_enregistrement(const std::string& nom) {
    return nom.size() > LONGUEUR_DATE + 1 && nom.ends_with(".txt") &&
           std::all_of(nom.begin(), nom.begin() + 8, [](char c) { return c >= '0' && c <= '9'; }) &&
           nom[8] == '-' && nom[LONGUEUR_DATE] == '-';
}

// Only the most recent games stay; a recording that cannot go is left where it is.
void oublier_les_plus_anciens() {
    std::error_code erreur;
    std::vector<fs::path> enregistrements;
    for (fs::directory_iterator i(DOSSIER_ENREGISTREMENTS, erreur), fin; !erreur && i != fin;
         i.increment(erreur)) {
        if (i->is_regular_file(erreur) && nom_d_enregistrement(i->path().filename().string())) {
            enregistrements.push_back(i->path());
        }
    }
    std::sort(enregistrements.begin(), enregistrements.end());
    const auto gardes = static_cast<std::size_t>(ENREGISTREMENTS_GARDES);
    for (std::size_t k = 0; k + gardes < enregistrements.size(); ++k) {
        fs::remove(enregistrements[k], erreur);
    }
}

// The hero's name as a file name reads it the same on every system: plain ASCII, any other
// byte a '_'.
std::string nom_de_fichier(const std::string& nom) {
    std::string sur = nom;
    for (char& octet : sur) {
        const auto code = static_cast<unsigned char>(octet);
        if (code >= 0x80) {
            octet = '_';
        }
    }
    return sur;
}

std::string chemin_nouveau(const std::string& nom) {
    const std::time_t maintenant = heure_du_jeu();
    char date[32] = "00000000-000000";
    if (const std::tm* local = std::localtime(&maintenant)) {
        std::strftime(date, sizeof date, FORMAT_DATE, local);
    }
    const std::string base =
        std::string(DOSSIER_ENREGISTREMENTS) + "/" + date + "-" + nom_de_fichier(nom);
    std::string chemin = base + ".txt";
    for (int n = 2; fichier_existe(chemin); ++n) {
        chemin = base + "-" + std::to_string(n) + ".txt";
    }
    return chemin;
}

} // namespace

std::vector<std::string> fichiers_joues() {
    std::vector<std::string> fichiers = fichiers_des_niveaux();
    for (int n = 1; n <= NOMBRE_PARCHEMINS; ++n) {
        fichiers.push_back(std::string(CHEMIN_PARCHEMINS) + FICHIER_PARCHEMIN + std::to_string(n) +
                           EXTENSION_PARCHEMIN);
    }
    return fichiers;
}

EnTeteEnregistrement en_tete_de(const Plateau& plateau, int l, int c, const sPerso& p,
                                const Sacoche& sacoche, const uneSerrure& f, bool nouveau) {
    EnTeteEnregistrement en_tete;
    en_tete.version = VERSION_JEU;
    en_tete.empreinte = empreinte_fichiers(fichiers_joues());
    en_tete.nouveau = nouveau;
    en_tete.nom = std::string(p.nom, strnlen(p.nom, TAILLE_NOM));
    en_tete.serrure = f;
    en_tete.depart = texte_sauvegarde(plateau, l, c, p, sacoche);
    return en_tete;
}

FichierEnregistrement::FichierEnregistrement(const EnTeteEnregistrement& en_tete) {
    std::error_code erreur;
    fs::create_directories(DOSSIER_ENREGISTREMENTS, erreur);
    if (erreur || !fs::is_directory(DOSSIER_ENREGISTREMENTS, erreur)) {
        signaler_erreur("%s: not a folder, nor can one be made there: this game is not "
                        "recorded\n",
                        DOSSIER_ENREGISTREMENTS);
        console().pause(); // reported once: the game goes on unrecorded
        return;
    }
    chemin_ = chemin_nouveau(en_tete.nom);
    fichier_ = std::fopen(chemin_.c_str(), "wb");
    if (fichier_ == nullptr) {
        signaler_fichier(chemin_, errno);
        chemin_.clear();
        console().pause(); // reported once: the game goes on unrecorded
        return;
    }
    marquer_en_ecriture(fichier_); // a game watched live is known to go on
    ecrire(texte_en_tete(en_tete));
    oublier_les_plus_anciens();
}

FichierEnregistrement::~FichierEnregistrement() {
    if (fichier_ != nullptr) {
        std::fclose(fichier_);
    }
}

std::string FichierEnregistrement::nom() const {
    return chemin_.substr(chemin_.rfind('/') + 1); // npos + 1: all of an empty one
}

void FichierEnregistrement::noter(const Evenement& evenement) {
    ecrire(ligne_evenement(evenement));
}

void FichierEnregistrement::ecrire(const std::string& texte) {
    if (fichier_ == nullptr) {
        return;
    }
    errno = 0;
    if (std::fputs(texte.c_str(), fichier_) < 0 || std::fflush(fichier_) != 0) {
        const int numero_erreur = errno != 0 ? errno : EIO;
        std::fclose(fichier_);
        fichier_ = nullptr;
        signaler_fichier(chemin_, numero_erreur);
        if (!en_tete_ecrit_) {
            // A heading cut short (a full disk) is no recording: nothing of it stays, even
            // should the process end at the report.
            std::remove(chemin_.c_str());
            chemin_.clear();
        }
        console().pause(); // reported once: the game goes on unrecorded
        return;
    }
    en_tete_ecrit_ = true;
}

ConsoleEnregistreuse::ConsoleEnregistreuse(Console& dessous, FichierEnregistrement& fichier)
    : ConsoleRelais(dessous), fichier_(fichier) {}

void ConsoleEnregistreuse::ecrire_erreur(std::string_view texte) {
    if (rapports_) {
        fichier_.noter({Evenement::Sorte::rapport, 0, std::string(texte)});
    }
    dessous_.ecrire_erreur(texte);
}

void ConsoleEnregistreuse::noter_prefixe() {
    if (prefixe_) {
        prefixe_ = false;
        fichier_.noter({Evenement::Sorte::touche, TOUCHE_PREFIXE, {}});
    }
}

void ConsoleEnregistreuse::interrompue(const PartieInterrompue& interruption, const char* attente) {
    noter_prefixe();
    if (interruption.cause == Interruption::ctrl_c) {
        fichier_.noter({Evenement::Sorte::ctrl_c, 0, attente});
    } else {
        fichier_.noter({Evenement::Sorte::perdu, interruption.statut, attente});
    }
    throw interruption;
}

int ConsoleEnregistreuse::lire_touche() {
    int code = 0;
    try {
        code = dessous_.lire_touche();
    } catch (const PartieInterrompue& interruption) {
        interrompue(interruption, "key");
    }
    // An arrow is noted as one: its prefix code waits for the code that follows it.
    const bool fleche =
        code == FLECHE_HAUT || code == FLECHE_BAS || code == FLECHE_GAUCHE || code == FLECHE_DROITE;
    if (prefixe_ && fleche) {
        prefixe_ = false;
        fichier_.noter({Evenement::Sorte::fleche, code, {}});
        return code;
    }
    noter_prefixe();
    if (code == TOUCHE_PREFIXE) {
        prefixe_ = true;
    } else {
        fichier_.noter({Evenement::Sorte::touche, code, {}});
    }
    return code;
}

std::string ConsoleEnregistreuse::lire_ligne() {
    std::string ligne;
    try {
        ligne = dessous_.lire_ligne();
    } catch (const PartieInterrompue& interruption) {
        interrompue(interruption, "line");
    }
    noter_prefixe();
    fichier_.noter({Evenement::Sorte::ligne, 0, ligne});
    return ligne;
}

void ConsoleEnregistreuse::pause() {
    try {
        dessous_.pause();
    } catch (const PartieInterrompue& interruption) {
        interrompue(interruption, "pause");
    }
    noter_prefixe();
    fichier_.noter({Evenement::Sorte::pause, 0, {}});
}

void ConsoleEnregistreuse::dormir(int millisecondes) {
    try {
        dessous_.dormir(millisecondes);
    } catch (const PartieInterrompue& interruption) {
        interrompue(interruption, "sleep");
    }
}

void ConsoleEnregistreuse::terminer(int statut) {
    noter_prefixe();
    fichier_.noter({Evenement::Sorte::fin, statut, {}});
    dessous_.terminer(statut);
    std::abort(); // a console that comes back from ending the process is broken
}

PartieEnregistree::PartieEnregistree(const EnTeteEnregistrement& en_tete)
    : fichier_(en_tete), console_(console(), fichier_), precedente_(installer_console(&console_)) {
    temoin_.avant_sauvegarde = [this] { console_.noter_rapports(true); };
    temoin_.apres_sauvegarde = [this](int resultat) {
        console_.noter_rapports(false);
        fichier_.noter({Evenement::Sorte::sauvegarde, resultat, {}});
    };
    // Every number the dice draw, as drawn.
    ancien_hasard_ = installer_hasard({});
    installer_hasard({ancien_hasard_.semer, [this, tirer = ancien_hasard_.tirer] {
                          const int nombre = tirer();
                          fichier_.noter({Evenement::Sorte::de, nombre, {}});
                          return nombre;
                      }});
}

PartieEnregistree::~PartieEnregistree() {
    installer_hasard(ancien_hasard_);
    installer_console(precedente_);
}

} // namespace korva
