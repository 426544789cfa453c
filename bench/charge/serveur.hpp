// The servers the load benchmark plays against, laid out in a folder of its own: the game's data
// with a level of the benchmark's (a room where walking never ends the game), the lobby's
// configuration with limits high enough for the run, accounts made beforehand with one password
// hashed once, and the two web services (korva-web, and the web terminal bridge it is compared
// with), each started on 127.0.0.1 and stopped with every process it started.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace korva::charge {

namespace fs = std::filesystem;

inline constexpr const char* MOT_DE_PASSE = "secret-du-banc";
inline constexpr const char* ORIGINE = "http://bench.korva";

// The name of account `numero`, and of its hero.
std::string nom_compte(int numero);
std::string nom_heros(int numero);

// The game's data (levels, title, parchments) into `dossier`, level 1 the benchmark's own room.
void ecrire_donnees_du_jeu(const fs::path& dossier);

// The lobby's configuration: its data folder, the game, the game's data, the log.
void ecrire_configuration(const fs::path& fichier, const fs::path& donnees, const std::string& jeu,
                          const fs::path& donnees_jeu);

// `nombre` accounts in the data folder `donnees`, each with MOT_DE_PASSE, hashed once with the
// costs a registration uses.
void ecrire_comptes(const fs::path& donnees, int nombre);

// A port of 127.0.0.1 that nothing listens on now; a whole file's text.
int port_libre();
std::string lire_texte(const fs::path& chemin);

// A program started with these variables added, its error stream into `journal`.
pid_t lancer(const std::vector<std::string>& commande, const std::vector<std::string>& variables,
             const fs::path& journal);

// Ends a process and everything it started: SIGTERM first (korva-web hangs up every terminal, so
// that games save), then SIGKILL for what is left after `attente_s`.
void arreter(pid_t pid, int attente_s);

struct Service {
    pid_t pid = -1;
    int port = 0;
    std::string raison; // why it did not start
};

// korva-web, its lobby run with the configuration `hall`.
Service demarrer_korva_web(const fs::path& dossier, const fs::path& hall);

// The bridge from `modules` (its npm folder), running the lobby with `hall` for each page.
Service demarrer_pont(const fs::path& modules, const fs::path& dossier, const fs::path& hall);

} // namespace korva::charge
