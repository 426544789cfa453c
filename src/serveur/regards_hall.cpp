#include "serveur/hall.hpp"

#include "console/traduction_terminal.hpp"
#include "files/lecture_texte.hpp"
#include "serveur/regles.hpp"

#include <cstdio>
#include <cstdlib>

namespace korva::serveur {

void Hall::regarder_en_cours(const std::string& nom) {
    regarder(nom, [this] { return liste_en_cours(c_); });
}

void Hall::regarder_enregistrement(const std::string& nom) {
    regarder(nom, [this] { return liste_finies(c_, ""); });
}

void Hall::mes_parties(const std::string& nom) {
    regarder(nom, [this, &nom] { return liste_finies(c_, nom); });
}

void Hall::ecrire_cellules(const std::vector<Cellule>& cellules) {
    for (const Cellule& c : cellules) {
        // A name in its characters, as the game shows it; counted so, not in bytes.
        const std::u32string caracteres =
            c.nom ? caracteres_nom(c.texte) : std::u32string(c.texte.begin(), c.texte.end());
        const std::size_t montres = std::min(caracteres.size(), c.largeur);
        std::string texte;
        for (std::size_t i = 0; i < montres; ++i) {
            texte += c.nom ? en_utf8(caracteres[i]) : std::string(1, c.texte[i]);
        }
        c.nom ? console_->ecrire_nom(texte) : console_->ecrire(texte);
        console_->ecrire(std::string(c.largeur + 1 - montres, ' '));
    }
    console_->ecrire("\n");
}

void Hall::regarder(const std::string& nom, const std::function<ListeHall()>& lister) {
    for (;;) {
        if (!ouvert(nom)) {
            return;
        }
        const ListeHall liste = lister();
        ecran(liste.titre);
        if (liste.lignes.empty()) {
            return dire(liste.vide);
        }
        console_->ecrire("    ");
        ecrire_cellules(liste.colonnes);
        for (std::size_t i = 0; i < liste.lignes.size(); ++i) {
            char numero[32];
            std::snprintf(numero, sizeof numero, "%2zu: ", i + 1);
            console_->ecrire(numero);
            ecrire_cellules(liste.lignes[i]);
        }
        const std::optional<std::string> choix =
            demander("\nThe number of the game to watch (Enter: back): ");
        const std::optional<int> n = choix ? nombre_entier(*choix) : std::nullopt;
        if (!n || *n < 1 || static_cast<std::size_t>(*n) > liste.lignes.size()) {
            return;
        }
        const auto rang = static_cast<std::size_t>(*n) - 1;
        std::vector<std::string> arguments{"--replay", liste.chemins[rang]};
        Admission regard;
        if (liste.en_direct) {
            regard = admettre_regard(c_, liste.comptes[rang], adresse_, false);
            if (regard.refus) {
                dire(regard.refus->message);
                continue;
            }
            arguments.emplace_back("--follow");
        }
        if (lancer_jeu(nom, arguments, 0) == Fin::connexion_perdue) {
            std::exit(0);
        }
    }
}

} // namespace korva::serveur
