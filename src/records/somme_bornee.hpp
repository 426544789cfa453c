// Figures that every change of a stat or a score goes through: an edited save can bring any of
// them to the edge of a 32-bit int, and a sum that wrapped around would turn the best score into
// the worst one. The sum stops at the edge instead.
#pragma once

#include <climits>

namespace korva {

inline int somme_bornee(int valeur, int ajout) {
    const long long somme = static_cast<long long>(valeur) + ajout;
    return somme > INT_MAX ? INT_MAX : (somme < INT_MIN ? INT_MIN : static_cast<int>(somme));
}

} // namespace korva
