#include "support/transcription.hpp"

#include "characters/hasard.hpp"
#include "characters/personnage.hpp"
#include "console/traduction_terminal.hpp"
#include "files/enregistrement.hpp"
#include "files/journal_parties.hpp"
#include "files/sauvegarde.hpp"
#include "game/jeu.hpp"
#include "game/rejeu.hpp"
#include "records/enregistrements.hpp"
#include "support/console_scriptee.hpp"
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace korva::test {

namespace {

// The colour the game sets first: a screen's text is read as white until it says otherwise.
constexpr int ATTRIBUT_DE_LECTURE = 15;
constexpr const char* FIN_DE_BLOC = "end";

// A return sign (U+23CE, in UTF-8) where a row that ends in blanks ends.
constexpr const char* FIN_DE_LIGNE = "\xE2\x8F\x8E";

struct Capture {
    std::size_t apres; // inputs taken before it
    std::size_t ligne; // where its rows go in the transcript
};

struct Fichier {
    std::size_t apres;
    std::string chemin;
    std::optional<std::string> contenu; // nothing: the file is removed
};

std::time_t graine = 0; // the clock stands still at the transcript's seed

// An environment variable set, or taken away when `valeur` is empty.
void poser_variable(const char* nom, const std::string& valeur) {
#ifdef _WIN32
    _putenv_s(nom, valeur.c_str());
    _tzset();
#else
    valeur.empty() ? ::unsetenv(nom) : ::setenv(nom, valeur.c_str(), 1);
    ::tzset();
#endif
}

std::string en_lignes(const std::vector<std::string>& lignes) {
    std::string texte;
    for (const std::string& ligne : lignes) {
        texte += ligne + "\n";
    }
    return texte;
}

std::string ecran_en_texte(const EcranModele& modele, bool legende) {
    std::vector<std::string> rangees;
    int courant = ATTRIBUT_DE_LECTURE;
    for (int i = 0; i < modele.lignes(); ++i) {
        std::string rangee = "|";
        std::size_t blancs = 0; // cells left cleared: kept only when something follows them
        for (int j = 0; j < modele.colonnes(); ++j) {
            const Cellule& cellule = modele.cellule(i, j);
            if (cellule.efface) {
                ++blancs;
                continue;
            }
            rangee += std::string(std::exchange(blancs, 0), ' ');
            // A blank the game wrote is kept; its colour does not show.
            if (cellule.attribut != courant &&
                (cellule.octet != ' ' || fond(cellule.attribut) > 0)) {
                char marque[8];
                std::snprintf(marque, sizeof marque, "{%x}", cellule.attribut & 0xFF);
                rangee += marque;
                courant = cellule.attribut;
            }
            rangee += cellule.octet == '{' ? std::string("{{") : glyphe_utf8(cellule);
        }
        rangees.push_back(rangee.ends_with(' ') ? rangee + FIN_DE_LIGNE : rangee);
    }
    while (!rangees.empty() && rangees.back() == "|") {
        rangees.pop_back();
    }
    // The command legend under the board is left out, so that a new key changes the screens
    // that show it whole, not every board; its rows still count.
    const auto regle =
        std::find(rangees.begin(), rangees.end(), "|" + std::string(46, '-') + " " + FIN_DE_LIGNE);
    for (const ToucheJeu& touche : TOUCHES_JEU) {
        if (!legende && touche.legende == Legende::plateau && rangees.end() - regle > 1) {
            rangees.erase(regle + 1);
        }
    }
    return en_lignes(rangees);
}

// The console operations since the last screen, as a player would notice them, a run of the
// same one counted once; the wait itself and the end of the game are said elsewhere.
std::string operations(const std::string& sortie, std::size_t& depuis, std::string_view attente) {
    std::string liste, precedente;
    int fois = 0;
    const auto conclure = [&] {
        if (fois > 0) {
            liste += " [" + precedente + "]" + (fois > 1 ? "*" + std::to_string(fois) : "");
        }
    };
    for (std::size_t p = sortie.find('<', depuis); p != std::string::npos;
         p = sortie.find('<', p + 1)) {
        const std::size_t fin = sortie.find('>', p);
        const std::string marque = sortie.substr(p + 1, fin - p - 1);
        const bool attendue = fin + 1 == sortie.size() && marque == attente;
        const bool connue = marque == "pause" || marque == "flush" ||
                            marque.starts_with("sleep ") || marque.starts_with("title ") ||
                            marque.starts_with("size ");
        if (connue && !attendue) {
            if (marque != precedente) {
                conclure();
                precedente = marque;
                fois = 0;
            }
            ++fois;
        }
    }
    conclure();
    depuis = sortie.size();
    return liste;
}

// The players' files as a game left them, names and contents, and the games log.
std::string fichiers_des_joueurs(const DossierJeu& dossier) {
    std::string tout = std::filesystem::exists(dossier.chemin(FICHIER_JOURNAL_PARTIES))
                           ? dossier.lire(FICHIER_JOURNAL_PARTIES)
                           : "";
    for (const std::string& nom : noms_dans(dossier.racine() / DOSSIER_PERSONNAGES)) {
        tout += nom + "\n" + dossier.lire(std::string(DOSSIER_PERSONNAGES) + nom);
    }
    return tout;
}

// Whether `vus` are screens of `ecrans`, one after the other.
bool suite_de(const std::vector<std::string>& vus, const std::vector<std::string>& ecrans) {
    return !vus.empty() &&
           std::search(ecrans.begin(), ecrans.end(), vus.begin(), vus.end()) != ecrans.end();
}

// Every game recorded itself: each recording, replayed straight through, shows the very screens
// its game showed, wait after wait, and writes nothing.
std::string rejouer_les_parties(const DossierJeu& dossier, const std::vector<std::string>& ecrans) {
    const std::string avant = fichiers_des_joueurs(dossier);
    const std::vector<std::string> noms = noms_dans(dossier.racine() / DOSSIER_ENREGISTREMENTS);
    std::string rapport;
    std::size_t pareilles = 0, coupees = 0;
    for (const std::string& nom : noms) {
        std::vector<std::string> vus;
        std::string raison;
        Enregistrement enregistrement;
        if (enregistrement_jouable(std::string(DOSSIER_ENREGISTREMENTS) + "/" + nom, enregistrement,
                                   raison)) {
            ConsoleScriptee console;
            console.observer(
                [&](std::string_view) { vus.push_back(ecran_en_texte(console.modele(), true)); });
            try {
                rejouer(enregistrement, 0);
            } catch (const FinDuProcessus&) {
            } catch (const ScriptEpuise&) {
                // A game cut short by the end of its script: its recording stops there too, and
                // its replay says so under the last screen.
                const bool coupee = !vus.empty() && vus.back().find("The recording stops here.") !=
                                                        std::string::npos;
                raison = coupee ? "" : "the replay waited for a key";
                coupees += coupee ? 1 : 0;
                if (coupee) {
                    vus.pop_back();
                }
            }
        }
        if (raison.empty() && !suite_de(vus, ecrans)) {
            raison = "its screens are not those its game showed";
        }
        pareilles += raison.empty() ? 1 : 0;
        rapport += raison.empty() ? "" : "\n! a replay: " + raison;
    }
    if (fichiers_des_joueurs(dossier) != avant) {
        rapport += "\n! a replay wrote into the players' files or the games log";
    }
    return "=== replayed alike: " + std::to_string(pareilles) + " of " +
           std::to_string(noms.size()) + " games (" + std::to_string(coupees) +
           " cut short by the end of the script)" + rapport;
}

} // namespace

std::string rejouer_transcription(const std::string& texte) {
    graine = 0;
    std::optional<int> de_fixe;
    DossierJeu dossier;
    ConsoleScriptee console;
    std::vector<std::string> sortie;
    std::vector<Capture> captures;
    std::vector<Fichier> fichiers;
    std::vector<std::pair<std::string, std::size_t>> attendus;
    std::vector<std::pair<std::size_t, std::time_t>> horloges;
    std::size_t entrees = 0;
    std::istringstream lignes(texte);
    for (std::string ligne; std::getline(lignes, ligne);) {
        if (ligne.starts_with("|") || ligne.starts_with("=== ") || ligne.starts_with("! ")) {
            continue; // what the game did: written anew
        }
        if (ligne.starts_with("---")) {
            captures.push_back({entrees, sortie.size()});
        } else if (!sortie.empty() && sortie.back() == "legend") {
            throw std::runtime_error("a 'legend' line stands before no screen");
        }
        sortie.push_back(ligne);
        std::istringstream mots(ligne);
        std::string directive, chemin, vu;
        int niveau = 0;
        mots >> directive >> chemin >> niveau >> vu;
        if (directive == "seed") {
            // After input lines, the clock moves on under a running game, as a file is placed.
            horloges.emplace_back(entrees, std::stoll(chemin));
            graine = entrees == 0 ? horloges.back().second : graine;
        } else if (directive == "account") {
            poser_variable(VARIABLE_COMPTE, octets_de(chemin));
        } else if (directive == "dice") {
            de_fixe = std::stoi(chemin);
        } else if (directive == "levels") {
            namespace fs = std::filesystem;
            fs::copy(fs::path(KORVA_TRANSCRIPTIONS) / ".." / chemin, "fichiers/niveaux",
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        } else if (directive == ">") {
            ajouter_jetons(console, ligne, entrees);
        } else if (directive == "remove") {
            fichiers.push_back({entrees, chemin, std::nullopt});
        } else if (directive == "file" || directive == "map" || directive == "save" ||
                   directive == "expect") {
            std::string contenu;
            for (std::string l; std::getline(lignes, l) && l != FIN_DE_BLOC;) {
                contenu += l + "\n";
                if (directive != "expect") {
                    sortie.push_back(l);
                }
            }
            if (directive == "expect") {
                attendus.emplace_back(chemin, sortie.size());
                sortie.emplace_back();
            } else {
                fichiers.push_back({entrees, chemin,
                                    directive == "map"
                                        ? niveau_depuis_carte(contenu, niveau, vu == "seen")
                                    : directive == "save" ? sauvegarde_depuis_carte(contenu)
                                                          : contenu});
            }
            sortie.push_back(FIN_DE_BLOC);
        }
    }
    std::size_t fichier = 0, capture = 0, depuis = 0, horloge = 0;
    const auto poser_fichiers = [&](std::size_t prises) {
        for (; horloge < horloges.size() && horloges[horloge].first <= prises; ++horloge) {
            graine = horloges[horloge].second;
        }
        for (; fichier < fichiers.size() && fichiers[fichier].apres <= prises; ++fichier) {
            const Fichier& f = fichiers[fichier];
            f.contenu ? dossier.ecrire(f.chemin, *f.contenu) : dossier.supprimer(f.chemin);
        }
    };
    const auto capturer = [&](std::string_view attente) {
        const std::size_t ligne = captures[capture++].ligne;
        const bool legende = ligne > 0 && sortie[ligne - 1] == "legend";
        const std::string ecran = ecran_en_texte(console.modele(), legende);
        if (ecran.empty()) { // a screen expected and nothing on it would check nothing
            throw std::runtime_error("line " + std::to_string(ligne + 1) + " records no screen");
        }
        sortie[ligne] = "--- " + std::string(attente) +
                        operations(console.sortie(), depuis, attente) + "\n" + ecran;
        sortie[ligne].pop_back();
    };
    poser_fichiers(0);
    std::vector<std::string> ecrans; // the screen at every wait, for the replays
    console.observer([&](std::string_view attente) {
        ecrans.push_back(ecran_en_texte(console.modele(), true));
        const std::size_t prises = entrees - console.reste();
        poser_fichiers(prises);
        if (capture < captures.size() && captures[capture].apres <= prises) {
            capturer(attente);
        }
    });
    std::string fin;
    const Horloge ancienne = installer_horloge([] { return graine; });
    poser_variable("TZ", "UTC0"); // the recordings' names, made of local time, are known too
    // Dice that draw the same numbers on every system. A loaded game draws from the generator as
    // it stands: the runner starts it somewhere of its own, not where creation seeds it, so that
    // a hero never seeded would draw other numbers.
    const Hasard hasard_du_jeu = installer_hasard(
        de_fixe ? Hasard{[](unsigned) {}, [n = *de_fixe] { return n; }} : hasard_portable());
    semer_hasard(static_cast<unsigned>(graine) ^ 0x5eedU);
    try {
        jeu_principal();
    } catch (const FinDuProcessus& arret) {
        fin = "exit " + std::to_string(arret.statut);
    } catch (const ScriptEpuise&) {
        fin = "out of input";
    } catch (const std::logic_error& decalage) {
        fin = decalage.what();
    }
    installer_horloge(ancienne);
    poser_variable(VARIABLE_COMPTE, "");
    while (capture < captures.size()) {
        capturer("end");
    }
    sortie.push_back("=== " + fin + operations(console.sortie(), depuis, ""));
    // Everything reported on the error stream, in case a screen cleared it.
    std::istringstream erreurs(console.erreurs());
    for (std::string ligne; std::getline(erreurs, ligne);) {
        sortie.push_back("! " + ligne);
    }
    for (auto [chemin, ligne] : attendus) {
        // A '*' stands for any part of a name that the game makes of the time (a recording's).
        if (const std::size_t etoile = chemin.find('*'); etoile != std::string::npos) {
            const std::string dans = chemin.substr(0, chemin.rfind('/', etoile) + 1);
            for (const std::string& nom : noms_dans(dossier.chemin(dans))) {
                const bool pareil = (dans + nom).starts_with(chemin.substr(0, etoile)) &&
                                    (dans + nom).ends_with(chemin.substr(etoile + 1));
                chemin = pareil ? dans + nom : chemin;
            }
        }
        std::string contenu = std::filesystem::exists(dossier.chemin(chemin)) ? dossier.lire(chemin)
                                                                              : "(no such file)\n";
        if (!contenu.ends_with('\n')) {
            contenu += "(no line feed at the end)\n";
        }
        contenu = carte_depuis_sauvegarde(contenu).value_or(contenu);
        contenu.pop_back();
        sortie[ligne] = contenu;
    }
    sortie.push_back(rejouer_les_parties(dossier, ecrans));
    installer_hasard(hasard_du_jeu);
    return en_lignes(sortie);
}

} // namespace korva::test
