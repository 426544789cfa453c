#include "console/terminfo_posix.hpp"

#include "console/traduction_terminal.hpp"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <strings.h>

#include <curses.h>
#include <langinfo.h>
#include <term.h>
#include <unistd.h>

namespace korva {

namespace {

constexpr int COULEURS_MINIMUM = 8;
constexpr int COULEURS_BRILLANTES = 16;
constexpr const char* EXEMPLE = "such as xterm-256color";

std::string brute(const char* nom) {
    const char* valeur = tigetstr(nom);
    return valeur == nullptr || valeur == reinterpret_cast<const char*>(-1) ? std::string()
                                                                            : std::string(valeur);
}

// Padding ($<…>) left out: the game writes into a buffer, never at a speed that needs delays.
std::string sans_delais(std::string texte) {
    for (auto debut = texte.find("$<"); debut != std::string::npos; debut = texte.find("$<")) {
        const std::size_t fin = texte.find('>', debut);
        texte.erase(debut, fin == std::string::npos ? fin : fin - debut + 1);
    }
    return texte;
}

std::string capacite(const char* nom) {
    return sans_delais(brute(nom));
}

std::string developper(const std::string& modele, int a, int b = 0) {
    return modele.empty() ? modele : sans_delais(tiparm(modele.c_str(), a, b));
}

// Moves of 1 to n cells: the terminal's move of n, or its move of one n times, the shorter.
std::vector<std::string> pas(const char* de_n, const char* de_un, int n) {
    const std::string modele = brute(de_n);
    std::string un = capacite(de_un);
    if (un.find('\n') != std::string::npos) {
        un.clear(); // a line feed also returns to the first column, as the game sets the terminal
    }
    std::vector<std::string> suite(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        std::string repete;
        for (int k = 0; k < i && !un.empty(); ++k) {
            repete += un;
        }
        const std::string direct = developper(modele, i);
        suite[static_cast<std::size_t>(i)] =
            direct.empty() || (!repete.empty() && repete.size() <= direct.size()) ? repete : direct;
    }
    return suite;
}

void lire_couleurs(DescriptionTerminal& d) {
    const int nombre = tigetnum("colors");
    const std::string texte = brute("setaf");
    const std::string fond = brute("setab");
    d.couleurs = nombre >= COULEURS_MINIMUM && !texte.empty() && !fond.empty();
    if (!d.couleurs) {
        return;
    }
    const std::string gras = capacite("bold");
    d.texte_gras = nombre < COULEURS_BRILLANTES && !gras.empty();
    for (std::size_t i = 0; i < d.texte.size(); ++i) {
        // terminfo counts red as colour 1 and blue as 4, the console the other way round.
        const int ansi = couleur_ansi(static_cast<int>(i));
        const bool brillante = i >= 8 && nombre >= COULEURS_BRILLANTES;
        d.texte[i] = developper(texte, brillante ? ansi + 8 : ansi) +
                     (i >= 8 && d.texte_gras ? gras : std::string());
        d.fond[i] = developper(fond, brillante ? ansi + 8 : ansi);
    }
}

void lire_ecran(DescriptionTerminal& d, bool utf8) {
    d.adresses.resize(static_cast<std::size_t>(d.lignes * d.colonnes));
    const std::string adresse = brute("cup");
    for (int l = 0; l < d.lignes; ++l) {
        for (int c = 0; c < d.colonnes; ++c) {
            d.adresses[static_cast<std::size_t>(l * d.colonnes + c)] = developper(adresse, l, c);
        }
    }
    const std::string coin = capacite("home");
    if (!coin.empty() && coin.size() < d.adresses[0].size()) {
        d.adresses[0] = coin;
    }
    const int plus_loin = std::max(d.lignes, d.colonnes);
    d.haut = pas("cuu", "cuu1", plus_loin);
    d.bas = pas("cud", "cud1", plus_loin);
    d.droite = pas("cuf", "cuf1", plus_loin);
    d.gauche = pas("cub", "cub1", plus_loin);
    d.retour = capacite("cr").empty() ? "\r" : capacite("cr");
    d.effacer_ecran = capacite("clear");
    d.effacer_fin_ligne = capacite("el");
    const std::string cellules = brute("ech");
    d.effacer_cellules.resize(cellules.empty() ? 0 : static_cast<std::size_t>(d.colonnes) + 1);
    for (std::size_t n = 1; n < d.effacer_cellules.size(); ++n) {
        d.effacer_cellules[n] = developper(cellules, static_cast<int>(n));
    }
    d.origine = capacite("sgr0");
    d.curseur_visible = capacite("cnorm");
    d.prendre_ecran = capacite("smcup");
    d.rendre_ecran = capacite("rmcup");
    if (!utf8 && !capacite("smacs").empty() && !capacite("rmacs").empty()) {
        d.entrer_traces = capacite("smacs");
        d.sortir_traces = capacite("rmacs");
        d.prendre_ecran += capacite("enacs");
    }
    choisir_glyphes(d, utf8, brute("acsc"));
    // xterm and those like it (ncurses' XT) show a title, and take a size for their window.
    const bool xterm = tigetflag("XT") > 0;
    d.taille_fenetre = xterm;
    d.titre_debut = capacite("tsl");
    d.titre_fin = capacite("fsl");
    if (d.titre_debut.empty() && xterm) {
        d.titre_debut = "\x1b]0;";
        d.titre_fin = "\x07";
    }
}

bool locale_en_utf8() {
    const char* courante = std::setlocale(LC_CTYPE, nullptr);
    const std::string avant = courante != nullptr ? courante : "C";
    std::setlocale(LC_CTYPE, "");
    const char* jeu = nl_langinfo(CODESET);
    const bool utf8 =
        jeu != nullptr && (strcasecmp(jeu, "UTF-8") == 0 || strcasecmp(jeu, "utf8") == 0);
    std::setlocale(LC_CTYPE, avant.c_str());
    return utf8;
}

} // namespace

std::optional<DescriptionTerminal> decrire_terminal(const std::string& term, bool utf8,
                                                    bool couleurs, std::string& raison, int lignes,
                                                    int colonnes) {
    if (term.empty()) {
        raison = std::string("korva: TERM is not set: KORVA needs the type of a terminal that "
                             "can move its cursor and clear its screen (") +
                 EXEMPLE + ")";
        return std::nullopt;
    }
    int erreur = 0;
    if (setupterm(term.c_str(), STDOUT_FILENO, &erreur) != OK) {
        raison = "korva: no description of the terminal TERM=" + term +
                 " is found: KORVA needs a terminal that can move its cursor and clear its "
                 "screen (" +
                 EXEMPLE + ")";
        return std::nullopt;
    }
    DescriptionTerminal d;
    d.lignes = lignes;
    d.colonnes = colonnes;
    if (brute("cup").empty() || brute("clear").empty()) {
        raison = "korva: the terminal TERM=" + term +
                 " cannot move its cursor or clear its screen, which KORVA needs (" + EXEMPLE + ")";
    } else {
        lire_ecran(d, utf8);
        if (couleurs) {
            lire_couleurs(d);
        }
    }
    del_curterm(cur_term);
    if (!raison.empty()) {
        return std::nullopt;
    }
    return d;
}

std::optional<DescriptionTerminal> decrire_ce_terminal(std::string& raison, int lignes,
                                                       int colonnes) {
    const char* term = std::getenv("TERM");
    const char* sans_couleur = std::getenv("NO_COLOR");
    return decrire_terminal(term != nullptr ? term : "", locale_en_utf8(),
                            sans_couleur == nullptr || *sans_couleur == '\0', raison, lignes,
                            colonnes);
}

} // namespace korva
