// The transcripts' own notation: levels drawn as maps, and input written as tokens.
#include "support/transcription.hpp"

#include "files/sauvegarde.hpp"
#include "records/enregistrements.hpp"
#include "records/sortes_cases.hpp"
#include "records/touches_jeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dore.hpp"

#include <algorithm>
#include <cstdint>
#include <iomanip>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace korva::test {

std::string niveau_depuis_carte(const std::string& carte, int niveau, bool vu) {
    std::istringstream rangees(carte);
    std::vector<std::pair<std::string, std::string>> lignes; // the cells, and what is seen
    for (std::string r; std::getline(rangees, r);) {
        const std::size_t vue = r.find("  ");
        lignes.emplace_back(r.substr(0, vue), vue == std::string::npos ? "" : r.substr(vue + 2));
    }
    std::ostringstream texte;
    texte << lignes.size() << "\n" << (lignes.empty() ? 0 : lignes[0].first.size()) << "\n";
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        const auto& [cases, vues] = lignes[i];
        for (std::size_t j = 0; j < cases.size(); ++j) {
            const char signe = cases[j];
            int type = signe == 'S' ? CASE_VIDE : -1;
            int statut = signe == 'S' ? STATUT_HEROS : 0;
            for (const SorteCase& s : SORTES_CASES) {
                if (const int numero = numero_du_signe(s, signe); numero != 0) {
                    type = s.code;
                    statut = s.numero ? numero + DECALAGE_CLE : 0;
                }
            }
            if (type < 0) {
                throw std::invalid_argument(std::string("no cell is drawn as ") + signe);
            }
            statut = i + j == 0 ? niveau + DECALAGE_NIVEAU : statut;
            const bool vue = vues.empty() ? vu || signe == 'S' : j < vues.size() && vues[j] != '-';
            texte << '{' << type << ',' << statut << ',' << vue << "},";
        }
        texte << "\n";
    }
    return texte.str();
}

std::string sauvegarde_depuis_carte(const std::string& bloc) {
    const std::size_t niveau = bloc.find("level ");
    const std::string plateau = niveau_depuis_carte(bloc.substr(bloc.find('\n', niveau) + 1),
                                                    std::stoi(bloc.substr(niveau + 6)), true);
    const std::size_t taille = plateau.find('\n', plateau.find('\n') + 1) + 1;
    return plateau.substr(0, taille) + bloc.substr(0, niveau) + plateau.substr(taille);
}

std::optional<std::string> carte_depuis_sauvegarde(const std::string& texte) {
    std::istringstream lignes(texte);
    std::vector<std::string> l(3);
    std::getline(lignes, l[0]) && std::getline(lignes, l[1]) && std::getline(lignes, l[2]);
    auto partie = std::make_unique<PartieSauvee>();
    const Plateau& plateau = partie->plateau;
    std::string erreur, bloc = l[2] + "\n";
    if (!lire_sauvegarde(texte, l[2], *partie, erreur)) {
        return std::nullopt;
    }
    for (int k = 0; k < 10 + partie->sacoche[0].nbObjet && std::getline(lignes, l[0]); ++k) {
        bloc += l[0] + "\n";
    }
    const long long niveau = static_cast<long long>(plateau[0][0].statutCase) - DECALAGE_NIVEAU;
    if (niveau < INT32_MIN) {
        return std::nullopt; // no level has that number
    }
    bloc += "level " + std::to_string(niveau) + "\n";
    for (int i = 0; i < partie->l; ++i) {
        std::string cases, vues;
        for (int j = 0; j < partie->c; ++j) {
            const sCaseJeu& c = plateau[i][j];
            const int numero =
                i + j == 0 ? 1 : c.statutCase - (sorte(c.typeCase).numero ? DECALAGE_CLE : -1);
            cases += c.statutCase == STATUT_HEROS && i + j > 0
                         ? 'S'
                         : static_cast<char>(sorte(c.typeCase).lettre + numero - 1);
            vues += c.visible != 0 ? cases.back() : '-';
        }
        bloc += vues == cases ? cases + "\n" : cases + "  " + vues + "\n";
    }
    // A save the maps cannot say (the hero on a passage, a status no map gives) stays as it is.
    return sauvegarde_depuis_carte(bloc) == texte ? std::optional(bloc) : std::nullopt;
}

void ajouter_jetons(ConsoleScriptee& console, const std::string& ligne, std::size_t& entrees) {
    static const std::map<std::string, int> FLECHES{{"up", FLECHE_HAUT},
                                                    {"down", FLECHE_BAS},
                                                    {"left", FLECHE_GAUCHE},
                                                    {"right", FLECHE_DROITE}};
    // Ctrl-C, and the terminal lost as a hang-up, SIGTERM or a server's hang-up for idleness
    // (SIGUSR1) leave it, with the status they give.
    static const std::map<std::string, PartieInterrompue> INTERRUPTIONS{
        {"^C", {Interruption::ctrl_c, 130}},
        {"hangup", {Interruption::terminal_perdu, 129}},
        {"sigterm", {Interruption::terminal_perdu, 143}},
        {"idle", {Interruption::terminal_perdu, 138, true}}};
    std::istringstream mots(ligne.substr(1));
    while (mots >> std::ws && !mots.eof()) {
        const bool tapee = mots.peek() == '"';
        std::string jeton;
        mots >> std::quoted(jeton, '"', '\0'); // backslashes are the game's bytes, below
        int fois = 1;
        if (const std::size_t etoile = jeton.rfind('*');
            !tapee && etoile != std::string::npos && etoile > 0) {
            fois = std::stoi(jeton.substr(etoile + 1));
            jeton.resize(etoile);
        }
        jeton = tapee ? octets_de(jeton) : jeton;
        for (int k = 0; k < fois; ++k, ++entrees) {
            if (tapee) {
                console.ligne(jeton);
            } else if (jeton == "^D") {
                console.fin_de_saisie();
            } else if (INTERRUPTIONS.contains(jeton)) {
                console.interruption(INTERRUPTIONS.at(jeton));
            } else if (FLECHES.contains(jeton)) {
                console.fleche(FLECHES.at(jeton));
                ++entrees;
            } else {
                console.touche(jeton.size() > 1 && jeton.front() == '#'
                                   ? std::stoi(jeton.substr(1))
                                   : static_cast<unsigned char>(jeton.front()));
            }
        }
    }
}

} // namespace korva::test
