#include "files/lecture_texte.hpp"

#include <cstdint>

namespace korva {

bool est_blanc(char octet) {
    return octet == ' ' || octet == '\t' || octet == '\n' || octet == '\v' || octet == '\f' ||
           octet == '\r';
}

void sauter_blancs(std::string_view texte, std::size_t& position) {
    while (position < texte.size() && est_blanc(texte[position])) {
        ++position;
    }
}

bool lire_nombre(std::string_view texte, std::size_t& position, int& valeur) {
    sauter_blancs(texte, position);
    const std::size_t debut = position;
    if (position < texte.size() && (texte[position] == '-' || texte[position] == '+')) {
        ++position;
    }
    while (position < texte.size() && texte[position] >= '0' && texte[position] <= '9') {
        ++position;
    }
    const std::optional<int> lu = nombre_entier(texte.substr(debut, position - debut));
    if (lu) {
        valeur = *lu;
    }
    return lu.has_value();
}

std::string_view lire_mot(std::string_view texte, std::size_t& position) {
    sauter_blancs(texte, position);
    const std::size_t debut = position;
    while (position < texte.size() && !est_blanc(texte[position])) {
        ++position;
    }
    return texte.substr(debut, position - debut);
}

std::optional<int> nombre_entier(std::string_view mot) {
    std::size_t i = 0;
    bool negatif = false;
    if (!mot.empty() && (mot[0] == '+' || mot[0] == '-')) {
        negatif = mot[0] == '-';
        i = 1;
    }
    if (i == mot.size()) {
        return std::nullopt;
    }
    std::int64_t valeur = 0;
    for (; i < mot.size(); ++i) {
        if (mot[i] < '0' || mot[i] > '9') {
            return std::nullopt;
        }
        valeur = valeur * 10 + (mot[i] - '0');
        if (valeur > static_cast<std::int64_t>(INT32_MAX) + 1) {
            return std::nullopt;
        }
    }
    valeur = negatif ? -valeur : valeur;
    if (valeur < INT32_MIN || valeur > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(valeur);
}

} // namespace korva
