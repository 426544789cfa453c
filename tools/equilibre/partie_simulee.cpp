#include "partie_simulee.hpp"

#include "characters/hasard.hpp"

#include "characters/personnage.hpp"
#include "dungeon/deplacement.hpp"
#include "items/sac.hpp"

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace korva {

namespace {

constexpr int TOUCHE_SAC = code_de(Action::sac);
constexpr int TOUCHE_OUI = 'y';
constexpr int CHOIX_UTILISER = '1';

// Move resolution finds the hero by reading the board from its first cell on, which over a
// whole level costs more than all the rest of a game. Each step is therefore resolved on a
// board of three rows by three columns: the level's corner (it tells the fight its level), the
// hero in the middle and the cell the arrow leads to, as the level holds it at that moment.
class Fenetre {
public:
    Fenetre() : plateau_(std::make_unique<Plateau>()) {}

    int resoudre(int statut_coin, const Etape& etape, sPerso& p, Sacoche& sacoche, uneSerrure& f) {
        for (int i = 0; i < TAILLE; ++i) {
            for (int j = 0; j < TAILLE; ++j) {
                (*plateau_)[i][j] = {MUR_INTERIEUR, 0, 1};
            }
        }
        (*plateau_)[0][0] = {MUR_EXTERIEUR, statut_coin, 1};
        (*plateau_)[1][1] = {CASE_VIDE, STATUT_HEROS, 1};
        cible(etape.fleche) = {etape.typeCase, etape.statutCase, 1};
        return calcul_deplacement(*plateau_, TAILLE, TAILLE, etape.fleche, p, sacoche, f);
    }
    Plateau& plateau() { return *plateau_; }

private:
    static constexpr int TAILLE = 3;
    sCaseJeu& cible(int fleche) {
        switch (fleche) {
        case FLECHE_HAUT:
            return (*plateau_)[0][1];
        case FLECHE_BAS:
            return (*plateau_)[2][1];
        case FLECHE_GAUCHE:
            return (*plateau_)[1][0];
        default:
            return (*plateau_)[1][2];
        }
    }
    std::unique_ptr<Plateau> plateau_;
};

struct Joueur {
    ConsoleMuette& console;
    Fenetre& fenetre;
    sPerso p{};
    Sacoche& sacoche;
    uneSerrure f = SERRURE_SANS_PORTE;

    // 'i', then the bag menu: '1', and the slot typed as a line.
    void utiliser(int emplacement) {
        console.noter_touche(TOUCHE_SAC);
        console.repondre_touche(CHOIX_UTILISER);
        console.repondre_ligne(std::to_string(emplacement));
        affichage_sac(sacoche);
        gestion_sac(sacoche, p, fenetre.plateau(), f);
    }

    int emplacement_utile() const {
        for (int k = 1; k <= sacoche[0].nbObjet; ++k) {
            const unObjet& o = sacoche[k].ob;
            if (o.numero == 0 && o.puissance > 0 &&
                (o.attribut == ATTRIBUT_ENDURANCE || o.attribut == ATTRIBUT_HABILETE)) {
                return k;
            }
        }
        return 0;
    }

    int emplacement_sans_danger() const {
        for (int k = 1; k <= sacoche[0].nbObjet; ++k) {
            const unObjet& o = sacoche[k].ob;
            if (o.numero == 0 && (o.attribut == SANS_EFFET || o.puissance > 0)) {
                return k;
            }
        }
        throw std::logic_error("a full bag with no harmless potion");
    }

    int emplacement_cle(int numero) const {
        for (int k = 1; k <= sacoche[0].nbObjet; ++k) {
            if (sacoche[k].ob.numero == numero) {
                return k;
            }
        }
        throw std::logic_error("a locked door reached without its key");
    }

    int pas(int statut_coin, const Etape& etape) {
        console.noter_touche(TOUCHE_PREFIXE);
        console.noter_touche(etape.fleche);
        if (etape.typeCase == PORTE_FERMEE || etape.typeCase == PORTE_CLE) {
            console.repondre_touche(TOUCHE_OUI);
        }
        return fenetre.resoudre(statut_coin, etape, p, sacoche, f);
    }

    void jouer(int statut_coin, const Etape& etape, bool boit) {
        switch (etape.typeCase) {
        case HORS_PLATEAU:
        case CASE_VIDE:
        case CASE_PASSAGE:
            // Nothing happens in the game but the step or the level change.
            console.noter_touche(TOUCHE_PREFIXE);
            console.noter_touche(etape.fleche);
            return;
        case MONSTRE:
        case GARDIEN:
            for (int k = boit ? emplacement_utile() : 0; k != 0; k = emplacement_utile()) {
                utiliser(k);
            }
            break;
        case PORTE_CLE:
            // Bumped into, opened with the key from the bag, then entered.
            if (pas(statut_coin, etape) != PAS_BLOQUE) {
                throw std::logic_error("a locked door let the hero through");
            }
            utiliser(emplacement_cle(etape.statutCase - DECALAGE_CLE));
            if (pas(statut_coin, {etape.fleche, CASE_VIDE, 0}) != PAS_LIBRE) {
                throw std::logic_error("the key did not open its door");
            }
            return;
        case POTION:
        case CLE:
            // A full bag takes nothing more: a harmless potion is drunk to make room.
            if (sacoche[0].nbObjet >= OBJETS_MAX) {
                utiliser(emplacement_sans_danger());
            }
            break;
        default:
            break;
        }
        if (pas(statut_coin, etape) != PAS_LIBRE) {
            throw std::logic_error("a step of the plan was refused: cell " +
                                   std::to_string(etape.typeCase) + " bag " +
                                   std::to_string(sacoche[0].nbObjet));
        }
    }
};

} // namespace

Issue jouer_partie(const Donjon& donjon, const Plan& plan, bool boit, int classe, unsigned graine,
                   ConsoleMuette& console, std::vector<Lecture>* journal) {
    static Fenetre fenetre;
    static Sacoche sacoche;
    sacoche[0] = {};
    Joueur joueur{console, fenetre, {}, sacoche};
    semer_hasard(graine);
    copier_nom(joueur.p.nom, "Ayla");
    tirer_caracteristiques(joueur.p, classe);
    joueur.p.score = 0;
    joueur.p.piecOr = 0;
    console.tenir_journal(journal);
    Issue issue;
    for (const Visite& visite : plan.visites) {
        const auto& fichiers = visite.retour ? donjon.retour : donjon.aller;
        const int statut_coin = fichiers[static_cast<std::size_t>(visite.niveau - 1)][0].statutCase;
        try {
            for (const Etape& etape : visite.etapes) {
                joueur.jouer(statut_coin, etape, boit);
            }
        } catch (const HerosMort&) {
            issue.niveau_de_la_mort = visite.niveau;
            issue.score = joueur.p.score;
            console.tenir_journal(nullptr);
            return issue;
        }
    }
    console.tenir_journal(nullptr);
    issue.gagne = true;
    issue.score = joueur.p.score;
    return issue;
}

} // namespace korva
