#include "console/description_terminal.hpp"

#include "console/traduction_terminal.hpp"

namespace korva {

void choisir_glyphes(DescriptionTerminal& d, bool utf8, std::string_view acsc) {
    d.utf8 = utf8;
    for (int octet = 0; octet < 256; ++octet) {
        const auto o = static_cast<unsigned char>(octet);
        DescriptionTerminal::Glyphe& g = d.glyphes[o];
        g = {utf8 ? std::string(glyphe_utf8(o)) : std::string(1, ascii_cp437(o)), false};
        const char trace = trace_cp437(o);
        if (utf8 || trace == '\0' || d.entrer_traces.empty()) {
            continue;
        }
        for (std::size_t i = 0; i + 1 < acsc.size(); i += 2) {
            if (acsc[i] == trace) {
                g = {std::string(1, acsc[i + 1]), true};
                break;
            }
        }
    }
}

std::string demande_taille(const DescriptionTerminal& d, int lignes, int colonnes) {
    if (!d.taille_fenetre) {
        return {};
    }
    return "\x1b[8;" + std::to_string(lignes) + ";" + std::to_string(colonnes) + "t";
}

std::string fusionner_sgr(const std::string& sequences) {
    std::string parametres;
    for (std::size_t i = 0; i < sequences.size();) {
        const std::size_t fin = sequences.find('m', i);
        if (sequences.compare(i, 2, "\x1b[") != 0 || fin == std::string::npos ||
            sequences.find_first_not_of("0123456789;", i + 2) != fin) {
            return sequences; // not only colour sequences: sent as they are
        }
        parametres += (parametres.empty() ? "" : ";") + sequences.substr(i + 2, fin - i - 2);
        i = fin + 1;
    }
    return sequences.empty() ? sequences : "\x1b[" + parametres + "m";
}

std::string derniers_mots(std::string_view mots, std::string_view a_la_ligne) {
    std::string texte;
    std::string ligne;
    for (const char octet : std::string(mots) + '\n') {
        const auto o = static_cast<unsigned char>(octet);
        if (o == '\n') {
            ligne.erase(ligne.find_last_not_of(" \t") + 1);
            texte += ligne + std::string(a_la_ligne);
            ligne.clear();
        } else if (o == '\t') {
            ligne += '\t'; // to the shell's tab stops, every eight columns as on the game's screen
        } else if (o >= 0x20) {
            ligne += octet;
        }
    }
    // The shell's prompt comes on a line of its own, under the words and their blank lines.
    if (mots.empty() || mots.back() == '\n') {
        texte.resize(texte.size() - a_la_ligne.size());
    }
    return texte;
}

} // namespace korva
