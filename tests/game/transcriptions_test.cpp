#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/transcription.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace korva::test {
namespace {

namespace fs = std::filesystem;

class Transcription : public testing::TestWithParam<std::string> {};

TEST_P(Transcription, PlaysAsWritten) {
    const fs::path chemin = fs::path(KORVA_TRANSCRIPTIONS) / GetParam();
    comparer_au_fichier(chemin, rejouer_transcription(lire_tout(chemin)));
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
