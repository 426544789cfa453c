#include "files/sauvegarde.hpp"

#include "console/console.hpp"
#include "files/fichier_sur.hpp"
#include "files/lecture_texte.hpp"
#include "files/niveaux.hpp"
#include "files/nom_joueur.hpp"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>

namespace korva {

namespace {

// The nine numbers of the character, in the order the file holds them, with the names that
// reports give them.
struct ChampPerso {
    int sPerso::*champ;
    const char* nom;
};
constexpr ChampPerso CHAMPS_PERSO[] = {
    {&sPerso::classe, "class"},        {&sPerso::corps, "body"},
    {&sPerso::intellect, "intellect"}, {&sPerso::esprit, "mind"},
    {&sPerso::endurance, "endurance"}, {&sPerso::pouvoir, "power"},
    {&sPerso::habilete, "skill"},      {&sPerso::score, "score"},
    {&sPerso::piecOr, "gold"}};

bool est_controle(char octet) {
    const auto valeur = static_cast<unsigned char>(octet);
    return valeur < 0x20 || valeur == 0x7F;
}

// A name field up to its terminator, never past its 50 bytes.
std::string_view nom_de(const char* champ) {
    const void* fin = std::memchr(champ, '\0', TAILLE_NOM);
    return {champ, fin == nullptr
                       ? static_cast<std::size_t>(TAILLE_NOM)
                       : static_cast<std::size_t>(static_cast<const char*>(fin) - champ)};
}

// A number, then the white space after it, as the save's "%d\n" fields read.
bool lire_champ(std::string_view texte, std::size_t& position, int& valeur) {
    const bool lu = lire_nombre(texte, position, valeur);
    sauter_blancs(texte, position);
    return lu;
}

// A word, then the white space after it.
std::string_view lire_mot_seul(std::string_view texte, std::size_t& position) {
    const std::string_view mot = lire_mot(texte, position);
    sauter_blancs(texte, position);
    return mot;
}

void ajouter_nombre(std::string& texte, int valeur) {
    char tampon[16];
    const auto fin = std::to_chars(tampon, tampon + sizeof tampon, valeur).ptr;
    texte.append(tampon, fin);
}

int borne(int valeur, int minimum, int maximum) {
    return valeur < minimum ? minimum : (valeur > maximum ? maximum : valeur);
}

bool lire_objet(std::string_view texte, std::size_t& position, int rang, int total, unObjet& objet,
                std::string& erreur) {
    const std::string ou = "object " + std::to_string(rang) + " of " + std::to_string(total);
    const std::string_view nom = lire_mot_seul(texte, position);
    if (nom.empty()) {
        erreur = ou + ": the line is missing";
        return false;
    }
    if (nom.size() > static_cast<std::size_t>(LONGUEUR_NOM_MAX)) {
        erreur = ou + ": the name is longer than " + std::to_string(LONGUEUR_NOM_MAX) + " bytes";
        return false;
    }
    for (const char octet : nom) {
        if (est_controle(octet)) {
            erreur = ou + ": the name holds a control character";
            return false;
        }
    }
    if (!lire_champ(texte, position, objet.numero) ||
        !lire_champ(texte, position, objet.attribut) ||
        !lire_champ(texte, position, objet.puissance)) {
        erreur = ou + ": the number, attribute and strength must be three whole numbers";
        return false;
    }
    copier_nom(objet.nom, nom);
    return true;
}

} // namespace

std::string chemin_sauvegarde(std::string_view nom) {
    std::string chemin(DOSSIER_PERSONNAGES);
    chemin += nom;
    chemin += EXTENSION_SAUVEGARDE;
    return chemin;
}

std::string texte_sauvegarde(const Plateau& plateau, int l, int c, const sPerso& p,
                             const Sacoche& sacoche) {
    const int lignes = borne(l, 0, TAILLE_PLATEAU);
    const int colonnes = borne(c, 0, TAILLE_PLATEAU);
    const int objets = borne(sacoche[0].nbObjet, 0, OBJETS_MAX);
    std::string texte;
    texte.reserve(128 + static_cast<std::size_t>(objets) * 64 +
                  static_cast<std::size_t>(lignes) * (static_cast<std::size_t>(colonnes) * 8 + 1));
    ajouter_nombre(texte, l);
    texte += '\n';
    ajouter_nombre(texte, c);
    texte += '\n';
    texte += nom_de(p.nom);
    texte += '\n';
    for (const ChampPerso& champ : CHAMPS_PERSO) {
        ajouter_nombre(texte, p.*champ.champ);
        texte += '\n';
    }
    ajouter_nombre(texte, sacoche[0].nbObjet);
    texte += '\n';
    for (int k = 1; k <= objets; ++k) {
        const unObjet& objet = sacoche[k].ob;
        texte += nom_de(objet.nom);
        texte += ' ';
        ajouter_nombre(texte, objet.numero);
        texte += ' ';
        ajouter_nombre(texte, objet.attribut);
        texte += ' ';
        ajouter_nombre(texte, objet.puissance);
        texte += " \n";
    }
    for (int i = 0; i < lignes; ++i) {
        for (int j = 0; j < colonnes; ++j) {
            const sCaseJeu& cellule = plateau[i][j];
            texte += '{';
            ajouter_nombre(texte, cellule.typeCase);
            texte += ',';
            ajouter_nombre(texte, cellule.statutCase);
            texte += ',';
            ajouter_nombre(texte, cellule.visible);
            texte += "},";
        }
        texte += '\n';
    }
    return texte;
}

bool lire_sauvegarde(std::string_view texte, std::string_view nom_attendu, Plateau& plateau, int& l,
                     int& c, sPerso& p, Sacoche& sacoche, std::string& erreur) {
    std::size_t position = 0;
    int lignes = 0;
    int colonnes = 0;
    if (!lire_taille(texte, position, lignes, colonnes, erreur)) {
        return false;
    }
    const std::string_view nom = lire_mot_seul(texte, position);
    if (nom.empty()) {
        erreur = "the character's name is missing";
        return false;
    }
    if (nom.size() > static_cast<std::size_t>(LONGUEUR_NOM_MAX)) {
        erreur =
            "the character's name is longer than " + std::to_string(LONGUEUR_NOM_MAX) + " bytes";
        return false;
    }
    if (nom != nom_attendu) {
        erreur = "the character's name is not \"" + std::string(nom_attendu) + "\"";
        return false;
    }
    copier_nom(p.nom, nom);
    for (const ChampPerso& champ : CHAMPS_PERSO) {
        if (!lire_champ(texte, position, p.*champ.champ)) {
            erreur =
                std::string("the character's ") + champ.nom + " is missing or not a whole number";
            return false;
        }
    }
    int objets = 0;
    if (!lire_champ(texte, position, objets)) {
        erreur = "the number of objects in the bag is missing or not a whole number";
        return false;
    }
    if (objets < 0 || objets > OBJETS_MAX) {
        erreur = "the bag holds " + std::to_string(objets) + " objects, not 0 to " +
                 std::to_string(OBJETS_MAX);
        return false;
    }
    sacoche[0].nbObjet = objets;
    for (int k = 1; k <= objets; ++k) {
        if (!lire_objet(texte, position, k, objets, sacoche[k].ob, erreur)) {
            return false;
        }
    }
    if (!lire_cases(texte, position, plateau, lignes, colonnes, erreur)) {
        return false;
    }
    if (!verifier_cases(plateau, lignes, colonnes, erreur)) {
        return false;
    }
    if (position != texte.size()) {
        erreur = "unexpected text after the last row of the board";
        return false;
    }
    l = lignes;
    c = colonnes;
    return true;
}

bool sauvegarde_existe(std::string_view nom) {
    return fichier_existe(chemin_sauvegarde(nom));
}

namespace {

// A new hero's file is this game's own: absent, with the name in no registry line, before its
// first save; as this game last wrote it (or gone) after.
bool fichier_a_nous(const std::string& chemin, std::string_view nom, const Registre& registre,
                    const HerosNouveau& nouveau) {
    if (!nouveau.a_ecrit) {
        return !fichier_existe(chemin) && !registre.tient(nom);
    }
    std::string actuel;
    int numero_erreur = 0;
    return !fichier_existe(chemin) ||
           (lire_fichier(chemin, actuel, numero_erreur) && actuel == nouveau.ecrit);
}

} // namespace

int sauvegarde_carte_en_cour(const Plateau& plateau, int l, int c, sPerso p, const Sacoche& sacoche,
                             const Registre& registre, HerosNouveau* nouveau) {
    const std::string_view nom = nom_de(p.nom);
    std::string erreur;
    if (!nom_valide(nom, erreur)) {
        signaler_erreur("The game cannot be saved: %s\n", erreur.c_str());
        return SAUVEGARDE_ECHOUEE;
    }
    const std::string chemin = chemin_sauvegarde(nom);
    const std::string texte = texte_sauvegarde(plateau, l, c, p, sacoche);
    // A save that could not be loaded back must not replace the previous one.
    {
        // Read aside: a bad file changes nothing.
        auto brouillon = std::make_unique<PartieSauvee>();
        if (!lire_sauvegarde(texte, nom, brouillon->plateau, brouillon->l, brouillon->c,
                             brouillon->perso, brouillon->sacoche, erreur)) {
            signaler_erreur("%s: the game cannot be saved: %s\n", chemin.c_str(), erreur.c_str());
            return SAUVEGARDE_ECHOUEE;
        }
    }
    // Held from the checks to the registry's rewrite, so that two games saving at once take
    // turns; a lock that cannot be had fails the registry's update only, as before.
    const VerrouFichier verrou(FICHIER_REGISTRE);
    if (nouveau != nullptr && !fichier_a_nous(chemin, nom, registre, *nouveau)) {
        signaler_erreur("%s: another game saved a hero of this name after yours was made\n",
                        chemin.c_str());
        return SAUVEGARDE_ECHOUEE;
    }
    int numero_erreur = 0;
    if (!ecrire_fichier_atomique(chemin, texte, numero_erreur)) {
        signaler_fichier(chemin, numero_erreur);
        return SAUVEGARDE_ECHOUEE;
    }
    if (nouveau != nullptr) {
        nouveau->a_ecrit = true;
        nouveau->ecrit = texte;
    }
    if (!verrou.tenu()) {
        signaler(std::string(FICHIER_REGISTRE) + ".lock", verrou.erreur());
        return SAUVEGARDE_REGISTRE_ECHOUE;
    }
    return registre.inscrire(p) == 0 ? SAUVEGARDE_FAITE : SAUVEGARDE_REGISTRE_ECHOUE;
}

bool lire_sauvegarde(std::string_view texte, std::string_view nom_attendu, PartieSauvee& partie,
                     std::string& erreur) {
    return lire_sauvegarde(texte, nom_attendu, partie.plateau, partie.l, partie.c, partie.perso,
                           partie.sacoche, erreur);
}

std::string texte_sauvegarde(const PartieSauvee& partie) {
    return texte_sauvegarde(partie.plateau, partie.l, partie.c, partie.perso, partie.sacoche);
}

int charger_carte_en_cour(const char* a, Plateau& plateau, int& l, int& c, sPerso& p,
                          Sacoche& sacoche) {
    const std::string_view nom = a == nullptr ? std::string_view() : nom_de(a);
    std::string erreur;
    if (!nom_valide(nom, erreur)) {
        signaler_erreur("Cannot load the game: %s\n", erreur.c_str());
        return 1;
    }
    const std::string chemin = chemin_sauvegarde(nom);
    std::string texte;
    int numero_erreur = 0;
    if (!lire_fichier(chemin, texte, numero_erreur)) {
        signaler_fichier(chemin, numero_erreur);
        return 1;
    }
    // Read aside: a bad file changes nothing.
    auto brouillon = std::make_unique<PartieSauvee>();
    brouillon->plateau = plateau;
    brouillon->sacoche = sacoche;
    brouillon->perso = p;
    if (!lire_sauvegarde(texte, nom, *brouillon, erreur)) {
        signaler_erreur("%s: not a valid save: %s\n", chemin.c_str(), erreur.c_str());
        return 1;
    }
    plateau = brouillon->plateau;
    sacoche = brouillon->sacoche;
    p = brouillon->perso;
    l = brouillon->l;
    c = brouillon->c;
    return 0;
}

} // namespace korva
