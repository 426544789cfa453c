#include "support/dossier_jeu.hpp"
#include "support/transcription.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace korva::test {
namespace {

namespace fs = std::filesystem;

class Transcription : public testing::TestWithParam<std::string> {};

TEST_P(Transcription, PlaysAsWritten) {
    const fs::path chemin = fs::path(KORVA_TRANSCRIPTIONS) / GetParam();
    std::ifstream entree(chemin, std::ios::binary);
    const std::string attendu(std::istreambuf_iterator<char>(entree), {});
    const std::string obtenu = rejouer_transcription(attendu);
    if (std::getenv("KORVA_REGENERER") != nullptr) {
        std::ofstream(chemin, std::ios::binary) << obtenu;
        return;
    }
    // The first line that differs, rather than two whole transcripts.
    std::istringstream a(attendu), o(obtenu);
    for (int n = 1; a || o; ++n) {
        std::string ligne_a, ligne_o;
        std::getline(a, ligne_a);
        std::getline(o, ligne_o);
        ASSERT_EQ(ligne_a, ligne_o) << GetParam() << ":" << n << " differs";
    }
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
