#include "characters/personnage.hpp"

#include "characters/registre.hpp"
#include "console/console.hpp"
#include "files/lecture_texte.hpp"

#include <cstdlib>
#include <ctime>
#include <optional>

namespace korva {

namespace {

// Each main stat lies from its low bound to 10; the class's favoured stat starts higher.
constexpr int BORNE_STAT_FAVORISEE = 4;
constexpr int BORNE_STAT_ORDINAIRE = 1;
constexpr int BORNE_STAT_EXCLUE = 11;

constexpr const char* INVITE_NOM = "Enter the name of your persona : ";
constexpr const char* INVITE_CLASSE =
    "Choose among his class : \n 0 : warrior \n 1 : magician \n 2 : priest \n 3 : crafty \n "
    "===> ? : ";

// Blanks around the typed name are dropped, as reading one word always did.
std::string_view sans_blancs_autour(std::string_view texte) {
    while (!texte.empty() && est_blanc(texte.front())) {
        texte.remove_prefix(1);
    }
    while (!texte.empty() && est_blanc(texte.back())) {
        texte.remove_suffix(1);
    }
    return texte;
}

bool egal_sans_casse(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        const auto minuscule = [](unsigned char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
        };
        if (minuscule(ca) != minuscule(cb)) {
            return false;
        }
    }
    return true;
}

// Characters that Windows file names cannot hold; ':' would even reach a hidden stream.
constexpr const char* INTERDITS_WINDOWS = ":*?\"<>|";

// Windows opens a device, not a file, for these names whatever their extension.
bool nom_de_peripherique(std::string_view nom) {
    const std::string_view base = nom.substr(0, nom.find('.'));
    for (const char* peripherique : {"CON", "PRN", "AUX", "NUL"}) {
        if (egal_sans_casse(base, peripherique)) {
            return true;
        }
    }
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        return egal_sans_casse(base.substr(0, 3), "COM") ||
               egal_sans_casse(base.substr(0, 3), "LPT");
    }
    return false;
}

// Asks until the typed line is an acceptable name.
std::string lire_nom() {
    for (;;) {
        afficher("%s", INVITE_NOM);
        const std::string ligne = console().lire_ligne();
        const std::string_view nom = sans_blancs_autour(ligne);
        std::string raison;
        if (nom_valide(nom, raison)) {
            return std::string(nom);
        }
        afficher("\nThis name cannot be used: %s.\n\n", raison.c_str());
    }
}

int lire_classe() {
    for (;;) {
        afficher("%s", INVITE_CLASSE);
        // A line that is not a number is dropped and the prompt comes back.
        const std::optional<int> classe = lire_entier();
        if (classe && *classe >= GUERRIER && *classe <= RUSE) {
            return *classe;
        }
    }
}

enum class Stat { corps, intellect, esprit };

// Warriors favour Body, priests Mind; magicians and the crafty both favour Intellect.
Stat stat_favorisee(int classe) {
    switch (classe) {
    case GUERRIER:
        return Stat::corps;
    case PRETRE:
        return Stat::esprit;
    default:
        return Stat::intellect;
    }
}

int tirer_stat(int classe, Stat stat) {
    const int basse = stat_favorisee(classe) == stat ? BORNE_STAT_FAVORISEE : BORNE_STAT_ORDINAIRE;
    return rand_a_b(basse, BORNE_STAT_EXCLUE);
}

} // namespace

bool nom_valide(std::string_view nom, std::string& raison) {
    if (nom.empty()) {
        raison = "the name is empty";
        return false;
    }
    if (nom.size() > static_cast<std::size_t>(LONGUEUR_NOM_MAX)) {
        raison = "the name is longer than " + std::to_string(LONGUEUR_NOM_MAX) + " characters";
        return false;
    }
    for (const char octet : nom) {
        const auto code = static_cast<unsigned char>(octet);
        if (est_blanc(octet)) {
            raison = "the name must be one word, without blanks";
            return false;
        }
        if (code < 0x20 || code == 0x7F) {
            raison = "the name holds a control character";
            return false;
        }
        if (octet == '/' || octet == '\\') {
            raison = "the name holds '/' or '\\'";
            return false;
        }
        if (std::string_view(INTERDITS_WINDOWS).find(octet) != std::string_view::npos) {
            raison = "the name holds one of : * ? \" < > |";
            return false;
        }
    }
    if (nom == "." || nom == "..") {
        raison = "the name cannot be \".\" or \"..\"";
        return false;
    }
    // Some file systems ignore letter case, so any spelling would reach the registry's file.
    if (egal_sans_casse(nom, NOM_REGISTRE)) {
        raison = "the name is kept for the player registry";
        return false;
    }
    if (nom_de_peripherique(nom)) {
        raison = "the name is kept by the system for a device";
        return false;
    }
    return true;
}

int saisirPerso(sPerso& p) {
    const std::string nom = lire_nom();
    copier_nom(p.nom, nom);
    const std::optional<bool> pris = nom_dans_registre(nom);
    if (!pris) {
        return 1;
    }
    if (*pris) {
        afficher("\nPseudonym : %s is already exist...restart the game \n\n\n ", p.nom);
        console().pause();
        terminer(0);
    }
    const int classe = lire_classe();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    tirer_caracteristiques(p, classe);
    p.score = 0;
    p.piecOr = 0;
    return 0;
}

void tirer_caracteristiques(sPerso& p, int classe) {
    p.classe = classe;
    p.corps = tirer_stat(classe, Stat::corps);
    p.intellect = tirer_stat(classe, Stat::intellect);
    p.esprit = tirer_stat(classe, Stat::esprit);
    p.endurance = p.corps + p.esprit;
    p.pouvoir = p.intellect + p.esprit;
    p.habilete = p.corps + p.intellect;
}

int rand_a_b(int a, int b) {
    return a + std::rand() % (b - a);
}

void afficherPerso(sPerso p) {
    afficher("\n \nHere we are : %.*s , ", TAILLE_NOM, p.nom);
    switch (p.classe) {
    case GUERRIER:
        afficher("the valiant warrior ! \n ");
        break;
    case MAGICIEN:
        afficher("The genial magician ! \n ");
        break;
    case PRETRE:
        afficher("The priest ! \n ");
        break;
    case RUSE:
        afficher("The crafty wily ! \n ");
        break;
    default:
        afficher("ERROR : unknown Class ! \n ");
        break;
    }
    afficher("His score : %d \n", p.score);
    afficher("These main features are : \n ");
    afficher("Body : %d \n ", p.corps);
    afficher("Intellect : %d \n ", p.intellect);
    afficher("Mind : %d \n ", p.esprit);
    afficher("Its features derived are : \n ");
    afficher("Endurance : %d \n ", p.endurance);
    afficher("Power : %d \n ", p.pouvoir);
    afficher("skill : %d \n ", p.habilete);
    afficher("\n \n Be careful ! ! ! \n \n \n ");
}

} // namespace korva
