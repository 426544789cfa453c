#include "items/sac.hpp"

#include "characters/personnage.hpp"
#include "console/console.hpp"
#include "console/pas_en_cours.hpp"
#include "files/fin_de_partie.hpp"
#include "records/somme_bornee.hpp"

#include <cstring>
#include <string_view>

namespace korva {

namespace {

constexpr const char* NOM_POTION = "potion";
constexpr const char* NOM_CLE = "cle";
constexpr const char* NOM_UTILISE = " ";

// The menu keys.
constexpr int CHOIX_UTILISER = '1';
constexpr int CHOIX_RETOUR = '2';

// The count as every reader may trust it: a count read from a damaged save never leads a
// reader past the bag's slots.
int nombre_objets(const Sacoche& sacoche) {
    const int n = sacoche[0].nbObjet;
    if (n < 0) {
        return 0;
    }
    return n > OBJETS_MAX ? OBJETS_MAX : n;
}

std::string_view nom_de(const unObjet& objet) {
    return {objet.nom, strnlen(objet.nom, LONGUEUR_NOM_MAX)};
}

void ecrire_menu() {
    afficher("\n------------------------------------ \n ");
    afficher(" 1 : use an object \n ");
    afficher(" 2 : return to the previous screen \n ");
}

// Asks for a slot until the answer is one of the bag's; 0 when the player leaves.
int demander_emplacement(int nombre) {
    for (;;) {
        afficher("\nEnter the slot number (or 0 to exit): ");
        console().vider_entree();
        const int reponse = lire_entier().value_or(0);
        if (reponse == 0) {
            return 0;
        }
        if (reponse > 0 && reponse <= nombre) {
            return reponse;
        }
    }
}

// The key of the lock's number clears the cell the lock names, whatever stands there now: the
// lock outlives its door and the level it was on. Never the hero's own cell, though (the
// doorway he stepped into, or his place on a later level): clearing it would erase him.
bool porte_de_la_cle(const Plateau& plateau, const uneSerrure& f, int numero) {
    if (f.numero != numero || f.l < 0 || f.l >= TAILLE_PLATEAU || f.c < 0 ||
        f.c >= TAILLE_PLATEAU) {
        return false;
    }
    return plateau[f.l][f.c].statutCase != STATUT_HEROS;
}

// Announces the key; true when it fits the door the lock names, which then opens.
bool cle_de_la_porte(const unObjet& cle, const Plateau& plateau, const uneSerrure& f) {
    afficher("\nYou use the number key : %d \n ", cle.numero);
    console().dormir(UNE_SECONDE);
    if (!porte_de_la_cle(plateau, f, cle.numero)) {
        afficher_ligne("\nThis is not the right key...\n");
        console().pause();
        return false;
    }
    return true;
}

void ouvrir_porte(sPerso& p, Plateau& plateau, const uneSerrure& f) {
    sCaseJeu& porte = plateau[f.l][f.c];
    porte.typeCase = CASE_VIDE;
    porte.statutCase = 0;
    p.score = somme_bornee(p.score, POINTS_OBJET);
    afficher_ligne("\nThe door opens! \n");
    console().pause();
}

struct EffetPotion {
    int sPerso::*stat;
    const char* nefaste;
    const char* efficace;
};

// The stat each potion acts on and its two messages, indexed by `attribut` minus one.
constexpr EffetPotion EFFETS[] = {
    {&sPerso::corps, "\nHarmful potion ... You lose some body points !",
     "\nEffective potion ! You earn some body points ! "},
    {&sPerso::intellect, "\nHarmful potion ... You lose some intellect points ! ",
     "\nEffective potion ! You earn some intellect points !  "},
    {&sPerso::esprit, "\nHarmful potion ... You lose some mind points ! ",
     "\nEffective potion ! You earn some mind points ! "},
    {&sPerso::endurance, "\nHarmful potion ... You lose some endurance points ! ",
     "\nEffective potion! You earn some endurance points ! "},
    {&sPerso::pouvoir, "\nHarmful potion ... You lose some power points ! ",
     "\nEffective potion! You earn some power points ! "},
    {&sPerso::habilete, "\nHarmful potion ... You lose some skill points ! ",
     "\nEffective potion! You earn some skill points ! "},
};

void boire_potion(const unObjet& potion, sPerso& p) {
    if (potion.attribut == SANS_EFFET) {
        afficher_ligne("\nPotion without effect ...  ");
    } else if (potion.attribut >= ATTRIBUT_CORPS && potion.attribut <= ATTRIBUT_HABILETE) {
        const EffetPotion& effet = EFFETS[potion.attribut - ATTRIBUT_CORPS];
        if (potion.puissance < 0) {
            afficher_ligne(effet.nefaste);
        } else if (potion.puissance > 0) {
            afficher_ligne(effet.efficace);
        }
        int& stat = p.*effet.stat;
        stat = somme_bornee(stat, potion.puissance);
        if (stat == 0) {
            fin();
        }
    }
    console().pause();
}

// Uses the object of that slot. A potion or a key leaves the bag before it acts.
void utiliser(Sacoche& sacoche, int emplacement, sPerso& p, Plateau& plateau, const uneSerrure& f) {
    const unObjet objet = sacoche[emplacement].ob;
    const bool cle = objet.numero != 0;
    if (cle && !cle_de_la_porte(objet, plateau, f)) {
        return;
    }
    unObjet& emplacement_utilise = sacoche[emplacement].ob;
    copier_nom(emplacement_utilise.nom, NOM_UTILISE);
    emplacement_utilise.attribut = 0;
    emplacement_utilise.numero = NUMERO_UTILISE;
    emplacement_utilise.puissance = 0;
    rangement_sac(sacoche);
    if (cle) {
        ouvrir_porte(p, plateau, f);
    } else {
        boire_potion(objet, p);
    }
}

} // namespace

int sac(sPerso& p, Sacoche& sacoche, int typeObjet, int numCle) {
    if (typeObjet != POTION && typeObjet != CLE) {
        return SAC_PLEIN;
    }
    const int nombre = nombre_objets(sacoche);
    if (nombre >= OBJETS_MAX) {
        afficher("\nYour bag is full: you leave it where it lies.\n");
        console().pause();
        return SAC_PLEIN;
    }
    unObjet& objet = sacoche[nombre + 1].ob;
    if (typeObjet == POTION) {
        copier_nom(objet.nom, NOM_POTION);
        objet.numero = 0;
        objet.attribut = rand_a_b(ATTRIBUT_MIN, ATTRIBUT_FIN);
        objet.puissance = rand_a_b(PUISSANCE_MIN, PUISSANCE_FIN);
    } else {
        copier_nom(objet.nom, NOM_CLE);
        objet.numero = numCle - DECALAGE_CLE;
        objet.attribut = 0;
        objet.puissance = 0;
    }
    p.score = somme_bornee(p.score, POINTS_OBJET);
    sacoche[0].nbObjet = nombre + 1;
    return OBJET_PRIS;
}

void affichage_sac(const Sacoche& sacoche) {
    console().effacer();
    afficher_ligne("\nCONTENTS OF THE BAG:  ");
    const int nombre = nombre_objets(sacoche);
    for (int i = 1; i <= nombre; ++i) {
        const unObjet& objet = sacoche[i].ob;
        const std::string_view nom = nom_de(objet);
        if (nom == NOM_CLE) {
            afficher("%d :\t %.*s %d \n", i, static_cast<int>(nom.size()), nom.data(),
                     objet.numero);
        } else {
            afficher("%d :\t %.*s \n", i, static_cast<int>(nom.size()), nom.data());
        }
    }
}

void rangement_sac(Sacoche& sacoche) {
    const int nombre = nombre_objets(sacoche);
    if (nombre == 0) {
        return;
    }
    // Slots the walk does not fill keep what the bag held there, never undefined bytes.
    Sacoche table = sacoche;
    int j = 1;
    for (int i = 1; i <= nombre; ++i) {
        const unObjet& objet = sacoche[i].ob;
        if (objet.numero < 0) {
            continue;
        }
        unObjet& copie = table[j].ob;
        copier_nom(copie.nom, nom_de(objet));
        copie.numero = objet.numero;
        copie.attribut = objet.attribut;
        copie.puissance = objet.puissance;
        ++j;
    }
    const int nouveau = nombre - 1;
    for (int i = 1; i <= nouveau; ++i) {
        sacoche[i].ob = table[i].ob;
    }
    sacoche[0].nbObjet = nouveau;
}

void gestion_sac(Sacoche& sacoche, sPerso& p, Plateau& plateau, uneSerrure f) {
    int choix = 0;
    do {
        ecrire_menu();
        choix = console().lire_touche();
    } while (choix != CHOIX_UTILISER && choix != CHOIX_RETOUR);
    if (choix == CHOIX_RETOUR) {
        return;
    }

    const int emplacement = demander_emplacement(nombre_objets(sacoche));
    if (emplacement == 0) {
        return;
    }
    // The object's use is one step: Ctrl-C or a lost terminal under its messages waits for its
    // end.
    jouer_un_pas([&] { utiliser(sacoche, emplacement, p, plateau, f); });
}

void fin() {
    // A dead hero's game is over: from here on, nothing of it is ever saved.
    finir_partie(IssuePartie::empoisonne);
    console().effacer();
    afficher("Your adventure stops here...\n\n");
    console().pause();
    terminer(0);
}

} // namespace korva
