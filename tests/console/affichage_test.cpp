// What the game draws through the console, and the console's own helpers.
#include "console/affichage.hpp"
#include "support/console_scriptee.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace korva {
namespace {

sPerso heros_exemple() {
    sPerso p{};
    copier_nom(p.nom, "Ayla");
    p.classe = 1;
    p.corps = 4;
    p.intellect = -2;
    p.esprit = 6;
    p.endurance = 10;
    p.pouvoir = 4;
    p.habilete = 2;
    p.score = 135;
    p.piecOr = 27;
    return p;
}

const std::string BLOC_ETAT = "\nScore : 135 \t Level : 1  \t Gold : 27 \n"
                              "\nBody : 4 \t Intellect : -2 \t Mind : 6 \n"
                              "\nEndurance : 10 \t Power : 4 \t Skill : 2 \n"
                              "---------------------------------------------- \n "
                              " i : inventory - contents of the bag \n "
                              " s : save your game \n "
                              " h : help \n "
                              " q : save and quit \n ";

TEST(AffichagePlateau, EveryGlyphRuleInItsOrder) {
    auto plateau = std::make_unique<Plateau>();
    // Row 0: every cell type, seen, with status 0 (cell (0,0) holds the level instead).
    for (int t = 0; t <= GARDIEN; ++t) {
        (*plateau)[0][t] = {t, 0, 1};
    }
    (*plateau)[0][0] = {MUR_EXTERIEUR, 2, 1};
    // Row 1: what status and sight change.
    (*plateau)[1][0] = {MONSTRE, 0, 0};       // unseen: blank, whatever it holds
    (*plateau)[1][1] = {PORTE_CLE, 1, 1};     // the hero, even on a door
    (*plateau)[1][2] = {PORTE_CLE, 9, 1};     // a locked door whatever its number
    (*plateau)[1][3] = {MUR_INTERIEUR, 4, 1}; // status 2 to 6: dark grey '#'
    (*plateau)[1][4] = {CASE_VIDE, -6, 1};    // negative status: dark grey '#'
    (*plateau)[1][5] = {CLE, 13, 1};          // a numbered key
    (*plateau)[1][6] = {CLE, 0, 1};           // a key without a number has no glyph: a blank
    (*plateau)[1][7] = {42, 0, 1};            // an unknown type: a blank too
    (*plateau)[1][8] = {GARDIEN, 0, 0};
    (*plateau)[1][9] = {CASE_VIDE, 0, 1}; // empty floor: byte 0, unlike a passage's blank
    for (int j = 10; j < 15; ++j) {
        (*plateau)[1][j] = {CASE_PASSAGE, 0, 1};
    }
    test::ConsoleScriptee ecran;
    affichage_plateau(*plateau, 2, 15, heros_exemple());

    const std::string ligne0("##+@ *@\x94\xE8\xED\xAA\x0F \x15\xBE\n", 16);
    const std::string ligne1("\x00\x02@##\x14  \x00\x00     \n", 16);
    ASSERT_EQ(ecran.texte().substr(0, 32), ligne0 + ligne1);
    EXPECT_EQ(ecran.texte().substr(32), BLOC_ETAT);

    // Cell (0,0) is drawn as an external wall of status 2 would be: rule "status 2 to 6".
    const std::vector<int> couleurs_ligne0 = {8, 8, 7, 15, 15, 15, 15, 12, 5, 3, 9, 14, 15, 2, 12};
    const std::vector<int> couleurs_ligne1 = {15, 15, 15, 8,  8,  4,  15, 15,
                                              15, 15, 15, 15, 15, 15, 15};
    for (int j = 0; j < 15; ++j) {
        EXPECT_EQ(ecran.attributs()[j], couleurs_ligne0[j]) << "row 0, column " << j;
        EXPECT_EQ(ecran.attributs()[16 + j], couleurs_ligne1[j]) << "row 1, column " << j;
    }
    // The status block: score and level in light red, gold in yellow, the rest in white.
    const std::size_t bloc = 32;
    EXPECT_EQ(ecran.attributs()[bloc + 1], ROUGE_CLAIR);
    EXPECT_EQ(ecran.attributs()[bloc + BLOC_ETAT.find("Gold")], JAUNE);
    EXPECT_EQ(ecran.attributs()[bloc + BLOC_ETAT.find("Body")], BLANC);
    EXPECT_EQ(ecran.attribut(), BLANC);
    // One colour change per cell, then three for the status block.
    EXPECT_EQ(ecran.nombre("<color"), 30 + 3);
}

TEST(EcransFixes, HelpScreenByteForByteWithItsColours) {
    test::ConsoleScriptee ecran;
    ecran.couleur(12);
    affichage_aide();
    const std::string attendu = std::string("--------------------------- \n ") +
                                "\n Key : \n\n "
                                " # : external wall \n "
                                " + : internal wall \n "
                                " @ : closed door \n "
                                " * : collapsed rocks \n "
                                " \x02 : you  \n "
                                " \xBE : The Dungeon Guardian \n "
                                " \x94 : a monster \n "
                                " \xE8 : a potion \n "
                                " \xED : a armor \n "
                                " \xAA : a sword \n "
                                " \x0F : gold coin \n "
                                " \x14 : a key \n "
                                " \x15 : a parchment \n "
                                "\n"
                                "--------------------------- \n "
                                "Move : \n "
                                " \x18 : up\n "
                                " \x19 : down\n "
                                " \x1B : left\n "
                                " \x1A : right\n ";
    EXPECT_EQ(ecran.texte(), attendu);
    EXPECT_EQ(ecran.sortie().substr(0, 16), "<color 12><cls>-");
    const std::pair<std::string_view, int> couleurs[] = {
        {"# : external", GRIS_FONCE},
        {"+ : internal", GRIS_CLAIR},
        {"@ : closed", BLANC},
        {"The Dungeon", ROUGE_CLAIR},
        {"\x94 : a monster", ROUGE_CLAIR},
        {"\xE8 : a potion", MAGENTA_FONCE},
        {"\xED : a armor", CYAN_FONCE},
        {"\xAA : a sword", BLEU_CLAIR},
        {"\x0F : gold", JAUNE},
        {"\x14 : a key", ROUGE_FONCE},
        {"\x15 : a parchment", VERT_FONCE},
        {"Move", BLANC},
    };
    for (const auto& [texte, couleur] : couleurs) {
        EXPECT_EQ(ecran.attributs()[ecran.texte().find(texte)], couleur) << texte;
    }
    // The pause that follows the help is white.
    EXPECT_EQ(ecran.attribut(), BLANC);
    EXPECT_EQ(ecran.nombre("<pause>"), 0);
}

TEST(EcransFixes, VictoryScreenShowsTheFinalFiguresAndWaitsForOneKey) {
    test::ConsoleScriptee ecran;
    ecran.touche('x');
    fin_du_jeu(heros_exemple());
    const std::string attendu = "!!! CONGRATULATION your adventure is over !!! \n \n\n\n"
                                "Your score : 135 \n\n"
                                "The nummber of gold coin : 27 \n\n"
                                "The main features of your character are final: \n "
                                "Body :\t 4 \n "
                                "Intellect :\t -2 \n "
                                "Mind :\t 6 \n "
                                "\n\n"
                                "The derived are : \n "
                                "Endurance :\t 10 \n "
                                "Power :\t 4 \n "
                                "Skill :\t 2 \n "
                                "\n  \n";
    EXPECT_EQ(ecran.texte(), attendu);
    EXPECT_EQ(ecran.sortie().substr(0, 15), "<cls><color 12>");
    EXPECT_EQ(ecran.attributs()[ecran.texte().find("Your score")], BLANC);
    EXPECT_EQ(ecran.attributs()[ecran.texte().find("The nummber")], JAUNE);
    EXPECT_EQ(ecran.attributs()[ecran.texte().find("Body")], BLANC);
    EXPECT_TRUE(ecran.sortie().ends_with("<pause>"));
    EXPECT_EQ(ecran.reste(), 0u);
    EXPECT_EQ(ecran.attribut(), BLANC);
}

TEST(Console, ColorSetsBackgroundTimesSixteenPlusText) {
    test::ConsoleScriptee ecran;
    Color(12, 0);
    EXPECT_EQ(ecran.attribut(), 12);
    Color(15, 4);
    EXPECT_EQ(ecran.attribut(), 4 * 16 + 15);
}

TEST(Console, ReportsAndFormattedOutput) {
    test::ConsoleScriptee ecran;
    afficher("%d : %s\n", -3, "potion");
    afficher_ligne("\nBye Bye...");
    signaler("fichiers/absent.txt", ENOENT);
    EXPECT_EQ(ecran.texte(), "-3 : potion\n\nBye Bye...\n");
    EXPECT_EQ(ecran.erreurs(), "fichiers/absent.txt: No such file or directory\n");
}

TEST(Console, WholeNumbersFromTypedLines) {
    EXPECT_EQ(entier_depuis("2"), 2);
    EXPECT_EQ(entier_depuis(" -1 "), -1);
    EXPECT_EQ(entier_depuis("+7"), 7);
    EXPECT_EQ(entier_depuis(""), std::nullopt);
    EXPECT_EQ(entier_depuis("two"), std::nullopt);
    EXPECT_EQ(entier_depuis("2 3"), std::nullopt);
    EXPECT_EQ(entier_depuis("3x"), std::nullopt);
    EXPECT_EQ(entier_depuis("99999999999"), std::nullopt);
}

} // namespace
} // namespace korva
