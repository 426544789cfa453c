#include "files/nom_joueur.hpp"

#include "files/lecture_texte.hpp"
#include "records/enregistrements.hpp"

#include <string>

namespace korva {

namespace {

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

} // namespace

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

bool nom_valide(std::string_view nom, std::string& raison) {
    if (nom.empty()) {
        raison = "the name is empty";
        return false;
    }
    if (nom.size() > static_cast<std::size_t>(LONGUEUR_NOM_MAX)) {
        raison = "the name is longer than " + std::to_string(LONGUEUR_NOM_MAX) + " bytes";
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

} // namespace korva
