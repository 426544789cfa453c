#include "web/etat.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace korva::web {

namespace {

// The lists' lengths, as the page shows them.
constexpr std::size_t RANGS_MONTRES = 20;
constexpr std::size_t VICTOIRES_MONTREES = 10;
constexpr std::size_t EN_COURS_MONTREES = 30;
constexpr int CONTROLE_MAX = 0x20;
constexpr auto ETAT_VALIDE = std::chrono::seconds(2);

std::string chaine(std::string_view texte) {
    std::string json = "\"";
    for (const char octet : texte) {
        const auto u = static_cast<unsigned char>(octet);
        if (octet == '"' || octet == '\\') {
            json += '\\';
            json += octet;
        } else if (u < CONTROLE_MAX || u >= 0x7F) {
            char echappe[8];
            std::snprintf(echappe, sizeof echappe, "\\u%04x", u); // names are plain ASCII
            json += echappe;
        } else {
            json += octet;
        }
    }
    return json + "\"";
}

// A game's name for a watch: its account and recording's file, in hexadecimal, so that it
// travels in a URL as it stands and is only ever compared, never taken as a path.
std::string nom_de(const serveur::Partie& p) {
    const std::string texte = p.compte + "/" + p.chemin.substr(p.chemin.rfind('/') + 1);
    std::string hexa;
    for (const char octet : texte) {
        char chiffres[3];
        std::snprintf(chiffres, sizeof chiffres, "%02x", static_cast<unsigned char>(octet));
        hexa += chiffres;
    }
    return hexa;
}

std::string partie(const serveur::Partie& p, std::time_t maintenant, bool en_cours) {
    std::string json = "{\"account\":" + chaine(p.compte) + ",\"hero\":" + chaine(p.heros);
    if (en_cours) {
        json += ",\"level\":" + std::to_string(p.niveau) + ",\"score\":" + std::to_string(p.score) +
                ",\"idle\":" + std::to_string(std::max<std::time_t>(0, maintenant - p.ecrite)) +
                ",\"watch\":" + chaine(nom_de(p));
    } else {
        json += ",\"ended\":" + std::to_string(p.ecrite);
    }
    return json + "}";
}

template <class Liste, class Ecrire>
std::string liste(const Liste& elements, std::size_t nombre, Ecrire ecrire) {
    std::string json = "[";
    for (std::size_t i = 0; i < std::min(nombre, elements.size()); ++i) {
        json += (i == 0 ? "" : ",") + ecrire(elements[i]);
    }
    return json + "]";
}

std::string etat_du_serveur(const serveur::Configuration& c, Victoires& victoires) {
    const std::time_t maintenant = std::time(nullptr);
    return "{\"ranking\":" +
           liste(serveur::classement(c), RANGS_MONTRES,
                 [](const serveur::Rang& r) {
                     return "{\"hero\":" + chaine(r.heros) +
                            ",\"score\":" + std::to_string(r.score) + "}";
                 }) +
           ",\"won\":" +
           liste(victoires.recentes(c, VICTOIRES_MONTREES), VICTOIRES_MONTREES,
                 [&](const serveur::Partie& p) { return partie(p, maintenant, false); }) +
           ",\"playing\":" +
           liste(serveur::parties_en_cours(c), EN_COURS_MONTREES,
                 [&](const serveur::Partie& p) { return partie(p, maintenant, true); }) +
           "}\n";
}

} // namespace

const std::string& Etat::json(const serveur::Configuration& c) {
    const auto maintenant = std::chrono::steady_clock::now();
    if (json_.empty() || maintenant - quand_ >= ETAT_VALIDE) {
        json_ = etat_du_serveur(c, victoires_);
        quand_ = maintenant;
    }
    return json_;
}

std::optional<serveur::Partie> partie_nommee(const serveur::Configuration& c,
                                             std::string_view nom) {
    for (const serveur::Partie& p : serveur::parties_en_cours(c)) {
        if (nom_de(p) == nom) {
            return p;
        }
    }
    return std::nullopt;
}

} // namespace korva::web
