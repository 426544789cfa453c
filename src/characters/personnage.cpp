#include "characters/personnage.hpp"

#include <cstdlib>

namespace korva {

// Stand-in until character creation lands: a fixed warrior.
int saisirPerso(sPerso& p) {
    p = sPerso{};
    copier_nom(p.nom, "hero");
    p.classe = GUERRIER;
    p.corps = 7;
    p.intellect = 5;
    p.esprit = 5;
    p.endurance = p.corps + p.esprit;
    p.pouvoir = p.intellect + p.esprit;
    p.habilete = p.corps + p.intellect;
    return 0;
}

int rand_a_b(int a, int b) { return a + std::rand() % (b - a); }

void afficherPerso(sPerso) {}

} // namespace korva
