// The transcripts' own notation: levels drawn as maps, and input written as tokens.
#include "support/transcription.hpp"

#include "records/enregistrements.hpp"
#include "records/sortes_cases.hpp"
#include "records/touches_jeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dore.hpp"

#include <algorithm>
#include <iomanip>
#include <map>
#include <sstream>
#include <stdexcept>

namespace korva::test {

std::string niveau_depuis_carte(const std::string& carte, int niveau, bool vu) {
    std::ostringstream niveau_texte;
    niveau_texte << std::count(carte.begin(), carte.end(), '\n') << "\n"
                 << carte.find('\n') << "\n";
    for (std::size_t k = 0; k < carte.size(); ++k) {
        const char signe = carte[k];
        int type = signe == 'S' || signe == '\n' ? CASE_VIDE : -1;
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
        if (signe == '\n') {
            niveau_texte << "\n";
        } else {
            statut = k == 0 ? niveau + DECALAGE_NIVEAU : statut;
            niveau_texte << '{' << type << ',' << statut << ',' << (vu || signe == 'S') << "},";
        }
    }
    return niveau_texte.str();
}

void ajouter_jetons(ConsoleScriptee& console, const std::string& ligne, std::size_t& entrees) {
    static const std::map<std::string, int> FLECHES{{"up", FLECHE_HAUT},
                                                    {"down", FLECHE_BAS},
                                                    {"left", FLECHE_GAUCHE},
                                                    {"right", FLECHE_DROITE}};
    // Ctrl-C, and the terminal lost as a hang-up or SIGTERM leave it, with the status they give.
    static const std::map<std::string, std::pair<Interruption, int>> INTERRUPTIONS{
        {"^C", {Interruption::ctrl_c, 130}},
        {"hangup", {Interruption::terminal_perdu, 129}},
        {"sigterm", {Interruption::terminal_perdu, 143}}};
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
                const auto [cause, statut] = INTERRUPTIONS.at(jeton);
                console.interruption(cause, statut);
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
