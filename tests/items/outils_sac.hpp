// Bags and objects laid out by hand for the bag's tests.
#pragma once

#include "records/enregistrements.hpp"

namespace korva::test {

inline unObjet objet(const char* nom, int numero, int attribut = 0, int puissance = 0) {
    unObjet o{};
    copier_nom(o.nom, nom);
    o.numero = numero;
    o.attribut = attribut;
    o.puissance = puissance;
    return o;
}

inline unObjet cle(int numero) {
    return objet("cle", numero);
}
inline unObjet potion(int attribut, int puissance) {
    return objet("potion", 0, attribut, puissance);
}

// Puts `o` in the bag's next slot, as a pick-up would.
inline void ranger(Sacoche& s, const unObjet& o) {
    const int n = s[0].nbObjet + 1;
    s[n].ob = o;
    s[0].nbObjet = n;
}

} // namespace korva::test
