#include "web/json.hpp"

#include <cstdio>

namespace korva::web {

namespace {

constexpr std::string_view REMPLACEMENT = "\xEF\xBF\xBD"; // U+FFFD, in UTF-8

// The length of the UTF-8 character that `texte` begins with, 0 when it begins with none: a
// lead byte, then as many continuation bytes as it announces, for a character that is not
// written longer than it needs, nor a surrogate, nor past U+10FFFF.
std::size_t caractere_utf8(std::string_view texte) {
    const auto octet = [&](std::size_t i) { return static_cast<unsigned char>(texte[i]); };
    const unsigned char tete = octet(0);
    const std::size_t longueur = tete < 0x80   ? 1
                                 : tete < 0xC2 ? 0
                                 : tete < 0xE0 ? 2
                                 : tete < 0xF0 ? 3
                                 : tete < 0xF5 ? 4
                                               : 0;
    if (longueur == 0 || longueur > texte.size()) {
        return 0;
    }
    char32_t point = longueur == 1 ? tete : tete & (0x7F >> longueur);
    for (std::size_t i = 1; i < longueur; ++i) {
        if ((octet(i) & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (octet(i) & 0x3F);
    }
    const bool court = (longueur == 3 && point < 0x800) || (longueur == 4 && point < 0x10000);
    const bool hors = (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF;
    return court || hors ? 0 : longueur;
}

} // namespace

std::string chaine(std::string_view texte) {
    std::string json = "\"";
    while (!texte.empty()) {
        const std::size_t n = caractere_utf8(texte);
        const auto u = static_cast<unsigned char>(texte.front());
        if (n == 0) {
            json += REMPLACEMENT;
        } else if (u == '"' || u == '\\') {
            json += '\\';
            json += static_cast<char>(u);
        } else if (u < 0x20 || u == 0x7F) {
            char echappe[8];
            std::snprintf(echappe, sizeof echappe, "\\u%04x", u);
            json += echappe;
        } else {
            json += texte.substr(0, n);
        }
        texte.remove_prefix(n == 0 ? 1 : n);
    }
    return json + "\"";
}

std::string objet(std::initializer_list<std::pair<std::string_view, std::string>> champs) {
    std::string json = "{";
    for (const auto& [nom, valeur] : champs) {
        json += (json.size() == 1 ? "" : ",") + chaine(nom) + ":" + valeur;
    }
    return json + "}";
}

std::string hexa(std::string_view texte) {
    std::string chiffres;
    for (const char octet : texte) {
        char deux[3];
        std::snprintf(deux, sizeof deux, "%02x", static_cast<unsigned char>(octet));
        chiffres += deux;
    }
    return chiffres;
}

} // namespace korva::web
