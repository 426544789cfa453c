#include "politiques.hpp"

#include "files/niveaux.hpp"

#include <memory>

namespace korva {

namespace {

// What an object is worth to a farmer: armor and swords change fights, a potion may.
int valeur(int typeCase) {
    switch (typeCase) {
    case ARMURE:
    case EPEE:
        return 4;
    case POTION:
        return 1;
    default:
        return 0;
    }
}

int valeur_region(const Carte& carte, const Region& region) {
    int total = 0;
    for (int i = 0; i < carte.taille(); ++i) {
        if (region.contient(i)) {
            total += valeur(carte[i].typeCase);
        }
    }
    return total;
}

const auto aucun_combat = [](int) { return false; };

void prendre_sans_combat(Marcheur& marcheur) {
    while (marcheur.aller_vers([&](int i) { return est_objet(marcheur.carte()[i].typeCase); },
                               aucun_combat)) {
    }
}

// The best a loop back into `retour` gives with at most one fight: the monster to fight (-1
// for none), or nothing when it regains nothing worth the trip.
std::optional<int> meilleure_reprise(const Carte& retour) {
    std::vector<char> vaincus(static_cast<std::size_t>(retour.taille()), 0);
    const Region libre = explorer(retour, retour.heros(), vaincus);
    int meilleure = valeur_region(retour, libre);
    int monstre = -1;
    for (const int m : libre.monstres_au_bord) {
        vaincus[static_cast<std::size_t>(m)] = 1;
        const int v = valeur_region(retour, explorer(retour, retour.heros(), vaincus));
        vaincus[static_cast<std::size_t>(m)] = 0;
        if (v > meilleure) {
            meilleure = v;
            monstre = m;
        }
    }
    if (meilleure < 1) {
        return std::nullopt;
    }
    return monstre;
}

// One loop from level `niveau` (entered at its start) back into the level before and forward
// again; false when the loop cannot be walked.
bool boucler(const Donjon& donjon, int niveau, Plan& plan) {
    const Carte& aller = donjon.aller[static_cast<std::size_t>(niveau - 1)];
    const Carte& retour = donjon.retour[static_cast<std::size_t>(niveau - 2)];
    const std::optional<int> monstre = meilleure_reprise(retour);
    if (!monstre) {
        return false;
    }
    Marcheur entree(aller, aller.heros());
    prendre_sans_combat(entree);
    if (!entree.sortir(Sens::arriere)) {
        return false;
    }
    Marcheur reprise(retour, retour.heros());
    prendre_sans_combat(reprise);
    if (*monstre >= 0) {
        const auto celui_la = [&](int i) { return i == *monstre; };
        reprise.aller_vers(celui_la, celui_la);
        prendre_sans_combat(reprise);
    }
    if (!reprise.sortir(Sens::avant)) {
        return false;
    }
    plan.visites.push_back({niveau, false, entree.etapes()});
    plan.visites.push_back({niveau - 1, true, reprise.etapes()});
    return true;
}

} // namespace

const char* nom_politique(Politique politique) {
    switch (politique) {
    case Politique::presse:
        return "rush";
    case Politique::prudent:
        return "careful";
    default:
        return "farmer";
    }
}

bool boit_avant_combat(Politique politique) {
    return politique != Politique::presse;
}

std::optional<Donjon> lire_donjon(const std::string& dossier_niveaux) {
    Donjon donjon;
    const auto plateau = std::make_unique<Plateau>();
    for (int n = 1; n <= NIVEAUX_DU_DONJON; ++n) {
        for (const char* suffixe : {"g", "d"}) {
            if (n == NIVEAUX_DU_DONJON && suffixe[0] == 'd') {
                continue;
            }
            int l = 0;
            int c = 0;
            const std::string chemin =
                dossier_niveaux + "/niveau" + std::to_string(n) + suffixe + ".txt";
            if (charger_niveau(chemin, *plateau, l, c) != 0) {
                return std::nullopt;
            }
            (suffixe[0] == 'g' ? donjon.aller : donjon.retour).emplace_back(*plateau, l, c);
        }
    }
    return donjon;
}

std::optional<Plan> planifier(const Donjon& donjon, Politique politique) {
    Plan plan;
    for (int n = 1; n <= NIVEAUX_DU_DONJON; ++n) {
        for (int boucle = 0; politique == Politique::moissonneur && n > 1 &&
                             boucle < BOUCLES_PAR_NIVEAU && boucler(donjon, n, plan);
             ++boucle) {
        }
        const Carte& carte = donjon.aller[static_cast<std::size_t>(n - 1)];
        const auto etapes = traversee(carte, carte.heros(), politique != Politique::presse);
        if (!etapes) {
            return std::nullopt;
        }
        plan.visites.push_back({n, false, *etapes});
    }
    for (const Visite& visite : plan.visites) {
        for (const Etape& etape : visite.etapes) {
            plan.combats += est_monstre(etape.typeCase) ? 1 : 0;
        }
    }
    return plan;
}

} // namespace korva
