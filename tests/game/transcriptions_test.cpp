#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/transcription.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace korva::test {
namespace {

namespace fs = std::filesystem;

class Transcription : public testing::TestWithParam<std::string> {};

// Each run of the game a transcript holds, from a line "run" on, plays in a folder of its own.
TEST_P(Transcription, PlaysAsWritten) {
    const fs::path chemin = fs::path(KORVA_TRANSCRIPTIONS) / GetParam();
    const std::string texte = lire_tout(chemin);
    std::string rejoue;
    for (std::size_t debut = 0, fin = 0; debut < texte.size(); debut = fin) {
        fin = std::min(texte.find("\nrun\n", debut), texte.size() - 1) + 1;
        rejoue += rejouer_transcription(texte.substr(debut, fin - debut));
    }
    comparer_au_fichier(chemin, rejoue);
}

INSTANTIATE_TEST_SUITE_P(Fichiers, Transcription,
                         testing::ValuesIn(noms_dans(KORVA_TRANSCRIPTIONS)), [](const auto& info) {
                             std::string nom = info.param.substr(0, info.param.find('.'));
                             for (char& c : nom) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return nom;
                         });

} // namespace
} // namespace korva::test
