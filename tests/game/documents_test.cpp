// What the player's documents list from a table is that table: the keys of the README and of the
// man page are the turn loop's, and the README's signs for terminals without UTF-8 are the
// stand-ins the game sends, a sign of its own for each look a cell can have; the man page names
// every exit status.
#include "console/affichage.hpp"
#include "console/traduction_terminal.hpp"
#include "support/dore.hpp"

#include <gtest/gtest.h>

#include <map>
#include <regex>

namespace korva::test {
namespace {

std::size_t compter(const std::string& texte, const std::regex& motif) {
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(texte.begin(), texte.end(), motif), {}));
}

TEST(Documents, TheKeysAndSignsTheyNameAreTheTables) {
    const std::string readme = lire_tout(std::string(KORVA_TESTS) + "/../README.md");
    const std::string man = lire_tout(std::string(KORVA_TESTS) + "/../packaging/korva.6.in");
    // The README's sentence and the man page's list of the keys, and nothing but those keys.
    const std::string phrase = readme.substr(readme.find("\nArrow keys"), 200);
    const std::string liste = man.substr(man.find("arrow keys"));
    std::string fleches = "Arrow keys (or", fleches_man = "arrow keys\" \" or \"";
    for (const ToucheJeu& t : TOUCHES_JEU) {
        const std::string c(1, static_cast<char>(t.code));
        if (t.action == Action::deplacer) {
            fleches += " `" + c + "`";
            fleches_man += (fleches_man.ends_with('"') ? " " : " \" \" ") + c;
        } else {
            EXPECT_NE(phrase.find("`" + c + "`"), std::string::npos) << c;
            EXPECT_NE(liste.find("\n.TP\n.B " + c + "\n"), std::string::npos) << c;
        }
    }
    EXPECT_EQ(phrase.find(fleches + ")"), 1u) << phrase;
    EXPECT_EQ(liste.find(fleches_man + "\n"), 0u);
    EXPECT_EQ(compter(phrase.substr(0, phrase.find(". ")), std::regex("`.`")),
              std::size(TOUCHES_JEU));
    EXPECT_EQ(compter(liste.substr(0, liste.find(".SH")), std::regex("\n\\.B .\n")),
              std::size(TOUCHES_JEU) - 4);
    // Every status the game ends with has its entry in the man page's list (a list of the
    // test's own: the game's own ends are spread through it), 128 and a signal's number included.
    for (const char* n : {"\n.B 0\n", "\n.B 1\n", "\n.B 2\n", "(129)", "(130)", "(143)"}) {
        EXPECT_NE(man.find(n, man.find(".SH EXIT STATUS")), std::string::npos) << n;
    }
    // The README's words for the kinds it names, a list of the test's own.
    // clang-format off
    const std::map<std::string, unsigned char> NOMMES{
        {"the hero", GLYPHE_HEROS}, {"a monster", sorte(MONSTRE).glyphe},
        {"a potion", sorte(POTION).glyphe}, {"an armor", sorte(ARMURE).glyphe},
        {"a sword", sorte(EPEE).glyphe}, {"gold", sorte(PIECE_OR).glyphe},
        {"key", sorte(CLE).glyphe}, {"a parchment", sorte(PARCHEMIN).glyphe},
        {"the Guardian", sorte(GARDIEN).glyphe}};
    // clang-format on
    for (const auto& [nom, glyphe] : NOMMES) {
        EXPECT_NE(readme.find(nom + " `" + ascii_cp437(glyphe) + "`"), std::string::npos) << nom;
    }
    std::map<char, unsigned char> vus{{ascii_cp437(GLYPHE_HEROS), GLYPHE_HEROS}};
    for (const SorteCase& s : SORTES_CASES) {
        const auto glyphe = static_cast<unsigned char>(s.glyphe);
        const char signe = ascii_cp437(glyphe);
        if (signe != ' ') { // floor and passages look alike, blank, by design
            EXPECT_EQ(vus.emplace(signe, glyphe).first->second, glyphe) << s.nom;
        }
    }
}

} // namespace
} // namespace korva::test
