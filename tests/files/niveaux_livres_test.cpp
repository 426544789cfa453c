// The nine level files shipped with the game: read with the game's own reader, held to every
// rule a level must keep, and walked through by search from each of the hero's starts.
#include "files/niveaux.hpp"
#include "support/dossier_jeu.hpp"
#include "support/recherche_chemin.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace korva::test {
namespace {

constexpr int NIVEAUX = 5;
// The sizes by which the game recognises levels 1 to 4; level 5 is any other size.
constexpr std::array<std::array<int, 2>, 4> TAILLES{{{20, 50}, {10, 50}, {30, 50}, {15, 50}}};
// The board and its status block (about twelve lines) share a console of 110 by 50.
constexpr int LIGNES_MAX = 38;
constexpr int COLONNES_MAX = 110;
// Only a small area round the start is seen when a level is entered.
constexpr int RAYON_VUE_INITIALE = 4;
// The hero starts next to the way it came in by.
constexpr int DISTANCE_ENTREE_MAX = 2;
// Play balance: the first three levels can be crossed without a fight; from level 4 on, one
// fight at most is forced on the way forward (on level 5, the Guardian's).
constexpr int NIVEAU_PREMIER_COMBAT_FORCE = 4;

struct Niveau {
    std::string nom;
    int numero = 0;
    char cote = 'g'; // 'g' entered going forward, 'd' coming back
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
};

std::string lire_texte(const std::filesystem::path& chemin) {
    std::ifstream entree(chemin, std::ios::binary);
    std::ostringstream contenu;
    contenu << entree.rdbuf();
    return contenu.str();
}

std::vector<std::string> noms_des_fichiers() {
    std::vector<std::string> noms;
    for (int n = 1; n <= NIVEAUX; ++n) {
        noms.push_back("niveau" + std::to_string(n) + "g.txt");
        if (n < NIVEAUX) {
            noms.push_back("niveau" + std::to_string(n) + "d.txt");
        }
    }
    return noms;
}

// Reads one shipped file; a file the game's reader refuses, or with text after its last row,
// fails the test here.
Niveau charger(const std::string& nom) {
    Niveau niveau;
    niveau.nom = nom;
    niveau.numero = nom[6] - '0';
    niveau.cote = nom[7];
    const std::string texte = lire_texte(fichiers_du_depot() / "niveaux" / nom);
    std::string erreur;
    std::size_t fin = 0;
    EXPECT_TRUE(lire_niveau(texte, *niveau.plateau, niveau.l, niveau.c, erreur, &fin))
        << nom << ": " << erreur;
    EXPECT_EQ(fin, texte.size()) << nom << ": text after the last row";
    return niveau;
}

bool au_bord(Position p, int l, int c) {
    return p.ligne == 0 || p.colonne == 0 || p.ligne == l - 1 || p.colonne == c - 1;
}

int distance(Position a, Position b) {
    return std::abs(a.ligne - b.ligne) + std::abs(a.colonne - b.colonne);
}

// Walks `chemin` over the level by the game's rules, independently of the search, and says
// what is wrong with it ("" when it is a sound walk out of the level in direction `sens`).
std::string rejouer(const Plateau& plateau, int l, int c, const Chemin& chemin, Sens sens) {
    Position p = position_du_heros(plateau, l, c);
    std::set<int> cles;
    std::set<Position> vides;
    for (std::size_t k = 0; k < chemin.fleches.size(); ++k) {
        Position q = p;
        switch (chemin.fleches[k]) {
        case FLECHE_HAUT:
            --q.ligne;
            break;
        case FLECHE_BAS:
            ++q.ligne;
            break;
        case FLECHE_GAUCHE:
            --q.colonne;
            break;
        case FLECHE_DROITE:
            ++q.colonne;
            break;
        default:
            return "arrow " + std::to_string(k) + " is no arrow code";
        }
        const bool dehors = q.ligne < 0 || q.ligne >= l || q.colonne < 0 || q.colonne >= c;
        if (dehors) {
            if (k + 1 != chemin.fleches.size()) {
                return "arrow " + std::to_string(k) + " leaves the level before the end";
            }
            const bool arriere = chemin.fleches[k] == FLECHE_GAUCHE;
            return arriere == (sens == Sens::arriere) ? "" : "the walk leaves by the wrong edge";
        }
        const sCaseJeu& cellule = plateau[q.ligne][q.colonne];
        const int type = vides.count(q) != 0 ? CASE_VIDE : cellule.typeCase;
        if (type == MUR_EXTERIEUR || type == MUR_INTERIEUR || type == EBOULEMENT) {
            return "arrow " + std::to_string(k) + " walks into a wall or rocks";
        }
        if (type == PORTE_CLE && cles.count(cellule.statutCase) == 0) {
            return "arrow " + std::to_string(k) + " meets a locked door without its key";
        }
        if (type == CLE) {
            cles.insert(cellule.statutCase);
        }
        vides.insert(q);
        p = q;
    }
    return "the walk never leaves the level";
}

// Everything wrong with one level file, as sentences; empty for a sound level.
std::vector<std::string> defauts_du_niveau(const Plateau& plateau, int l, int c, int numero,
                                           char cote) {
    std::vector<std::string> defauts;
    auto signaler = [&](const std::string& defaut) { defauts.push_back(defaut); };
    auto ou = [](int i, int j) {
        return " at (" + std::to_string(i) + "," + std::to_string(j) + ")";
    };

    if (numero <= 4) {
        if (l != TAILLES[numero - 1][0] || c != TAILLES[numero - 1][1]) {
            signaler("size is not the one of level " + std::to_string(numero));
        }
    } else {
        for (const auto& taille : TAILLES) {
            if (l == taille[0] && c == taille[1]) {
                signaler("level 5 has the size of another level");
            }
        }
    }
    if (l > LIGNES_MAX || c > COLONNES_MAX) {
        signaler("the level does not fit the console with its status block");
    }
    if (plateau[0][0].typeCase != MUR_EXTERIEUR || plateau[0][0].statutCase != numero + 1) {
        signaler("cell (0,0) is not an external wall carrying the level number plus one");
    }

    const Position heros = position_du_heros(plateau, l, c);
    int nb_heros = 0;
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            const sCaseJeu& cellule = plateau[i][j];
            const bool bord = au_bord({i, j}, l, c);
            const bool coin = (i == 0 || i == l - 1) && (j == 0 || j == c - 1);
            if (cellule.typeCase < CASE_VIDE || cellule.typeCase > GARDIEN) {
                signaler("unknown cell type" + ou(i, j));
            }
            if (cellule.visible != 0 && cellule.visible != 1) {
                signaler("visible is neither 0 nor 1" + ou(i, j));
            }
            if (cellule.visible == 1 &&
                std::max(std::abs(i - heros.ligne), std::abs(j - heros.colonne)) >
                    RAYON_VUE_INITIALE) {
                signaler("a cell far from the start is already seen" + ou(i, j));
            }
            const bool numerote = cellule.typeCase == CLE || cellule.typeCase == PORTE_CLE;
            if (cellule.statutCase == STATUT_HEROS) {
                ++nb_heros;
            } else if (numerote) {
                if (cellule.statutCase < STATUT_CLE_MIN) {
                    signaler("a key or locked door without a key number" + ou(i, j));
                }
            } else if (cellule.statutCase != 0 && !(i == 0 && j == 0)) {
                signaler("a status other than 0" + ou(i, j));
            }
            if (bord) {
                const bool sortie =
                    cellule.typeCase == CASE_VIDE || cellule.typeCase == CASE_PASSAGE;
                if (cellule.typeCase != MUR_EXTERIEUR && (!sortie || coin)) {
                    signaler("the border holds neither an external wall nor an exit" + ou(i, j));
                }
            } else if (cellule.typeCase == MUR_EXTERIEUR) {
                signaler("an external wall inside the level" + ou(i, j));
            }
        }
    }
    if (nb_heros != 1) {
        signaler(std::to_string(nb_heros) + " hero cells instead of one");
        return defauts;
    }
    const sCaseJeu& depart = plateau[heros.ligne][heros.colonne];
    if (depart.visible != 1 || au_bord(heros, l, c) ||
        (depart.typeCase != CASE_VIDE && depart.typeCase != CASE_PASSAGE)) {
        signaler("the hero does not start on a seen floor cell inside the level");
    }

    // Where the hero starts: by the way it came in.
    const std::vector<Sortie> sorties = sorties_du_niveau(plateau, l, c);
    const Sens entree = cote == 'g' ? Sens::arriere : Sens::avant;
    const bool pres_de_l_entree = std::any_of(sorties.begin(), sorties.end(), [&](const Sortie& s) {
        return s.sens == entree && distance(s.depart, heros) <= DISTANCE_ENTREE_MAX;
    });
    if (numero == 1 && cote == 'g' ? heros.colonne > DISTANCE_ENTREE_MAX : !pres_de_l_entree) {
        signaler("the hero does not start next to the way it came in by");
    }
    const bool sortie_arriere = std::any_of(
        sorties.begin(), sorties.end(), [](const Sortie& s) { return s.sens == Sens::arriere; });
    if (numero == 1 && sortie_arriere) {
        signaler("level 1 has an exit on its left edge, which the game refuses");
    }

    // The ways out, each checked by walking it.
    const auto en_avant = chemin_vers_bord(plateau, l, c, Sens::avant);
    if (!en_avant) {
        signaler("no forward exit can be reached");
    } else if (const std::string faute = rejouer(plateau, l, c, *en_avant, Sens::avant);
               !faute.empty()) {
        signaler("the walk forward is unsound: " + faute);
    } else if (en_avant->combats() > (numero >= NIVEAU_PREMIER_COMBAT_FORCE ? 1 : 0)) {
        signaler("too many fights cannot be avoided on the way forward");
    }
    if (numero > 1) {
        const auto en_arriere = chemin_vers_bord(plateau, l, c, Sens::arriere);
        if (!en_arriere) {
            signaler("the way back cannot be reached");
        } else if (const std::string faute = rejouer(plateau, l, c, *en_arriere, Sens::arriere);
                   !faute.empty()) {
            signaler("the walk back is unsound: " + faute);
        }
    }

    // Locked doors and their keys; the Guardian.
    std::vector<Position> gardiens;
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            const sCaseJeu& cellule = plateau[i][j];
            if (cellule.typeCase == GARDIEN) {
                gardiens.push_back({i, j});
            }
            if (cellule.typeCase != PORTE_CLE && cellule.typeCase != CLE) {
                continue;
            }
            const int autre = cellule.typeCase == PORTE_CLE ? CLE : PORTE_CLE;
            std::vector<Position> paires;
            for (int a = 0; a < l; ++a) {
                for (int b = 0; b < c; ++b) {
                    if (plateau[a][b].typeCase == autre &&
                        plateau[a][b].statutCase == cellule.statutCase) {
                        paires.push_back({a, b});
                    }
                }
            }
            if (cellule.typeCase == CLE) {
                if (paires.empty()) {
                    signaler("a key opens no door of its level" + ou(i, j));
                }
                continue;
            }
            const bool atteinte = std::any_of(paires.begin(), paires.end(), [&](Position cle) {
                return chemin_vers_case(plateau, l, c, cle, {{{i, j}}}).has_value();
            });
            if (!atteinte) {
                signaler("no key for the locked door can be reached before it" + ou(i, j));
            }
        }
    }
    if (numero == NIVEAUX) {
        if (gardiens.size() != 1) {
            signaler("level 5 needs exactly one Guardian");
        } else if (chemin_vers_bord(plateau, l, c, Sens::avant, {gardiens})) {
            signaler("the way out of level 5 goes round the Guardian");
        }
    } else if (!gardiens.empty()) {
        signaler("the Guardian stands on a level other than the last");
    }
    return defauts;
}

std::string ensemble(const std::vector<std::string>& defauts) {
    std::string texte;
    for (const auto& d : defauts) {
        texte += "\n  " + d;
    }
    return texte;
}

bool contient(const std::vector<std::string>& defauts, const std::string& morceau) {
    return std::any_of(defauts.begin(), defauts.end(),
                       [&](const std::string& d) { return d.find(morceau) != std::string::npos; });
}

// A small board drawn with the map legend of the level authoring tool.
struct Plan {
    std::unique_ptr<Plateau> plateau = std::make_unique<Plateau>();
    int l = 0;
    int c = 0;
};

Plan dessiner(const std::vector<std::string>& lignes) {
    Plan plan;
    plan.l = static_cast<int>(lignes.size());
    plan.c = static_cast<int>(lignes[0].size());
    for (int i = 0; i < plan.l; ++i) {
        for (int j = 0; j < plan.c; ++j) {
            const char car = lignes[i][j];
            sCaseJeu cellule{CASE_VIDE, 0, 0};
            const std::string legende = ".#+@:*M![)$?&";
            const std::array<int, 13> types{
                CASE_VIDE,  MUR_EXTERIEUR, MUR_INTERIEUR, PORTE_FERMEE, CASE_PASSAGE,
                EBOULEMENT, MONSTRE,       POTION,        ARMURE,       EPEE,
                PIECE_OR,   PARCHEMIN,     GARDIEN};
            if (car == 'S') {
                cellule.statutCase = STATUT_HEROS;
            } else if (car >= 'A' && car <= 'I') {
                cellule = {PORTE_CLE, car - 'A' + 1 + DECALAGE_CLE, 0};
            } else if (car >= 'a' && car <= 'i') {
                cellule = {CLE, car - 'a' + 1 + DECALAGE_CLE, 0};
            } else {
                cellule.typeCase = types[legende.find(car)];
            }
            (*plan.plateau)[i][j] = cellule;
        }
    }
    return plan;
}

TEST(RechercheChemin, WalksCellByCellAndStepsOffTheBoardAtTheEnd) {
    const Plan plan = dessiner({"#####", //
                                "#S..#", //
                                "###.#", //
                                "#...:", //
                                "#####"});
    const auto chemin = chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::avant);
    ASSERT_TRUE(chemin);
    EXPECT_EQ(chemin->fleches, (std::vector<int>{77, 77, 80, 80, 77, 77}));
    EXPECT_TRUE(chemin->rencontres.empty());
    EXPECT_EQ(sorties_du_niveau(*plan.plateau, plan.l, plan.c),
              (std::vector<Sortie>{{{3, 4}, FLECHE_DROITE, Sens::avant}}));
    EXPECT_FALSE(chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::arriere));
    EXPECT_EQ(position_du_heros(*plan.plateau, plan.l, plan.c), (Position{1, 1}));
}

TEST(RechercheChemin, FetchesTheKeyBeforeItsDoorAndListsWhatItMeets) {
    // The key lies in a dead end below; the straight way east is shut by door 2.
    const Plan plan = dessiner({"#######", //
                                "#S.@B..", //
                                "#+b+###", //
                                "#######"});
    const auto chemin = chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::avant);
    ASSERT_TRUE(chemin);
    EXPECT_EQ(chemin->fleches, (std::vector<int>{77, 80, 72, 77, 77, 77, 77, 77}));
    ASSERT_EQ(chemin->rencontres.size(), 3u);
    EXPECT_EQ(chemin->rencontres[0].typeCase, CLE);
    EXPECT_EQ(chemin->rencontres[0].numero, 2);
    EXPECT_EQ(chemin->rencontres[0].pas, 1u);
    EXPECT_EQ(chemin->rencontres[1].typeCase, PORTE_FERMEE);
    EXPECT_EQ(chemin->rencontres[1].pas, 3u);
    EXPECT_EQ(chemin->rencontres[2].typeCase, PORTE_CLE);
    EXPECT_EQ(chemin->rencontres[2].numero, 2);
    EXPECT_EQ(chemin->rencontres[2].position, (Position{1, 4}));
    EXPECT_EQ(chemin->portes().size(), 2u);
    EXPECT_EQ(chemin->cles().size(), 1u);
    // With the key's cell out of bounds the door stays shut for good.
    EXPECT_FALSE(chemin_vers_bord(*plan.plateau, plan.l, plan.c, Sens::avant, {{{2, 2}}}));
    // Going to a chosen cell ends on it, with no step off the board.
    const auto vers_cle = chemin_vers_case(*plan.plateau, plan.l, plan.c, {2, 2});
    ASSERT_TRUE(vers_cle);
    EXPECT_EQ(vers_cle->fleches, (std::vector<int>{77, 80}));
}

TEST(RechercheChemin, GoesRoundMonstersWhenItCanAndCountsTheFightsItCannotAvoid) {
    const Plan autour = dessiner({"#######", //
                                  "#.....#", //
                                  ":S.M...", //
                                  "#######"});
    const auto detour = chemin_vers_bord(*autour.plateau, autour.l, autour.c, Sens::avant);
    ASSERT_TRUE(detour);
    EXPECT_EQ(detour->combats(), 0);
    EXPECT_EQ(detour->fleches.size(), 8u);
    const auto retour = chemin_vers_bord(*autour.plateau, autour.l, autour.c, Sens::arriere);
    ASSERT_TRUE(retour);
    EXPECT_EQ(retour->fleches, (std::vector<int>{75, 75}));
    EXPECT_EQ(retour->rencontres.size(), 0u);

    const Plan couloir = dessiner({"#######", //
                                   "#S!M&$.", //
                                   "#######"});
    const auto force = chemin_vers_bord(*couloir.plateau, couloir.l, couloir.c, Sens::avant);
    ASSERT_TRUE(force);
    EXPECT_EQ(force->combats(), 2);
    EXPECT_EQ(force->rencontres.size(), 4u);
    EXPECT_FALSE(chemin_vers_bord(*couloir.plateau, couloir.l, couloir.c, Sens::avant, {{{1, 4}}}));
}

TEST(NiveauxLivres, EveryFileKeepsTheRulesOfALevelAndCanBeWalkedThrough) {
    for (const std::string& nom : noms_des_fichiers()) {
        const Niveau niveau = charger(nom);
        if (niveau.l == 0) {
            continue;
        }
        const auto defauts =
            defauts_du_niveau(*niveau.plateau, niveau.l, niveau.c, niveau.numero, niveau.cote);
        EXPECT_TRUE(defauts.empty()) << nom << ":" << ensemble(defauts);
    }
}

TEST(NiveauxLivres, TheDungeonIsWholeAndGrowsHarder) {
    std::vector<Niveau> niveaux;
    for (const std::string& nom : noms_des_fichiers()) {
        niveaux.push_back(charger(nom));
    }
    std::set<std::pair<int, int>> tailles;
    std::set<int> types;
    std::vector<int> monstres;
    std::map<int, int> niveau_de_la_cle;
    int gardiens = 0;
    for (const Niveau& niveau : niveaux) {
        for (const Niveau& autre : niveaux) {
            if (autre.numero != niveau.numero || autre.cote != 'd' || niveau.cote != 'g') {
                continue;
            }
            ASSERT_EQ(std::make_pair(autre.l, autre.c), std::make_pair(niveau.l, niveau.c))
                << niveau.nom << " and " << autre.nom << " differ in size";
            // Coming back, the level is the same place: only the hero, what is seen and the
            // locked doors already opened (their keys used) may differ.
            for (int i = 0; i < niveau.l; ++i) {
                for (int j = 0; j < niveau.c; ++j) {
                    const sCaseJeu& aller = (*niveau.plateau)[i][j];
                    const sCaseJeu& retour = (*autre.plateau)[i][j];
                    const bool ouverte = (aller.typeCase == PORTE_CLE || aller.typeCase == CLE) &&
                                         retour.typeCase == CASE_VIDE && retour.statutCase == 0;
                    const bool heros =
                        aller.statutCase == STATUT_HEROS || retour.statutCase == STATUT_HEROS;
                    EXPECT_TRUE(ouverte || (aller.typeCase == retour.typeCase &&
                                            (heros || aller.statutCase == retour.statutCase)))
                        << autre.nom << " differs from " << niveau.nom << " at (" << i << "," << j
                        << ")";
                }
            }
        }
        tailles.insert({niveau.l, niveau.c});
        int nb_monstres = 0;
        for (int i = 0; i < niveau.l; ++i) {
            for (int j = 0; j < niveau.c; ++j) {
                const int type = (*niveau.plateau)[i][j].typeCase;
                types.insert(type);
                nb_monstres += type == MONSTRE ? 1 : 0;
                if (type == CLE || type == PORTE_CLE) {
                    // A key carried up from another level must not open this level's doors.
                    const int statut = (*niveau.plateau)[i][j].statutCase;
                    const int premier =
                        niveau_de_la_cle.emplace(statut, niveau.numero).first->second;
                    EXPECT_EQ(premier, niveau.numero)
                        << "key number " << statut - DECALAGE_CLE << " is used on two levels";
                }
                gardiens += type == GARDIEN ? 1 : 0;
            }
        }
        if (niveau.cote == 'g') {
            monstres.push_back(nb_monstres);
        }
    }
    EXPECT_EQ(tailles.size(), static_cast<std::size_t>(NIVEAUX)) << "the five sizes must differ";
    EXPECT_EQ(gardiens, 1);
    for (int type = CASE_VIDE; type <= GARDIEN; ++type) {
        EXPECT_EQ(types.count(type), 1u) << "no cell of type " << type << " in the dungeon";
    }
    ASSERT_EQ(monstres.size(), static_cast<std::size_t>(NIVEAUX));
    for (std::size_t n = 1; n < monstres.size(); ++n) {
        EXPECT_GT(monstres[n], monstres[n - 1]) << "level " << n + 1 << " has no more monsters";
    }
}

TEST(NiveauxLivres, TheCheckerCatchesBrokenLevels) {
    const Niveau trois = charger("niveau3g.txt");
    const Niveau cinq = charger("niveau5g.txt");
    ASSERT_GT(trois.l, 0);
    ASSERT_GT(cinq.l, 0);
    auto defauts_apres = [](const Niveau& niveau, auto&& modifier, int numero = 0) {
        auto copie = std::make_unique<Plateau>(*niveau.plateau);
        modifier(*copie);
        return defauts_du_niveau(*copie, niveau.l, niveau.c, numero ? numero : niveau.numero,
                                 niveau.cote);
    };
    auto remplacer = [](Plateau& p, int ancien, int statut, sCaseJeu nouveau) {
        for (auto& ligne : p) {
            for (auto& cellule : ligne) {
                if (cellule.typeCase == ancien && (statut < 0 || cellule.statutCase == statut)) {
                    cellule = nouveau;
                }
            }
        }
    };

    EXPECT_TRUE(defauts_apres(trois, [](Plateau&) {}).empty());
    // The key of the west strip taken away: its door can no longer be opened.
    EXPECT_TRUE(contient(defauts_apres(trois,
                                       [&](Plateau& p) {
                                           remplacer(p, CLE, 9, {CASE_VIDE, 0, 0});
                                       }),
                         "no key for the locked door"));
    // The exit in the top edge walled up.
    EXPECT_TRUE(contient(defauts_apres(trois,
                                       [](Plateau& p) {
                                           for (auto& cellule : p[0]) {
                                               cellule = {MUR_EXTERIEUR, 0, 0};
                                           }
                                           p[0][0].statutCase = 4;
                                       }),
                         "no forward exit"));
    // A second hero, a wrong level number, a stray status, a far seen cell.
    EXPECT_TRUE(contient(defauts_apres(trois, [](Plateau& p) { p[20][20].statutCase = 1; }),
                         "2 hero cells"));
    EXPECT_TRUE(
        contient(defauts_apres(trois, [](Plateau& p) { p[0][0].statutCase = 3; }), "cell (0,0)"));
    EXPECT_TRUE(contient(defauts_apres(trois, [](Plateau& p) { p[20][20].statutCase = 5; }),
                         "a status other than 0 at (20,20)"));
    EXPECT_TRUE(contient(defauts_apres(trois, [](Plateau& p) { p[20][20].visible = 1; }),
                         "already seen at (20,20)"));
    // An opening in a corner, and the same file taken for another level.
    EXPECT_TRUE(contient(defauts_apres(trois,
                                       [](Plateau& p) {
                                           p[29][49] = {CASE_VIDE, 0, 0};
                                       }),
                         "border"));
    EXPECT_TRUE(contient(defauts_apres(
                             trois, [](Plateau&) {}, 1),
                         "size"));
    // The Guardian taken out of its corridor: the way out no longer passes it.
    EXPECT_TRUE(contient(defauts_apres(cinq,
                                       [&](Plateau& p) {
                                           remplacer(p, GARDIEN, -1, {CASE_VIDE, 0, 0});
                                           p[5][5] = {GARDIEN, 0, 0};
                                       }),
                         "round the Guardian"));
}

} // namespace
} // namespace korva::test
