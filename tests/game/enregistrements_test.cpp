// Recordings: the folder keeps the most recent games, and a recording that cannot be played here
// is refused before anything is shown, with the reason the player reads. (Recordings that play
// are replayed after every transcript.)
#include "characters/personnage.hpp"
#include "files/enregistrement.hpp"
#include "game/enregistreur.hpp"
#include "game/rejeu.hpp"
#include "support/console_scriptee.hpp"
#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>

namespace korva::test {
namespace {

constexpr const char* DEPART = "3\n4\nMax\n0\n6\n5\n4\n10\n9\n11\n0\n0\n0\n"
                               "{1,6,1},{1,0,1},{1,0,1},{1,0,1},\n"
                               "{1,0,1},{0,1,1},{0,0,1},{1,0,1},\n"
                               "{1,0,1},{1,0,1},{1,0,1},{1,0,1},\n";

std::string remplacer(std::string texte, const std::string& avant, const std::string& apres) {
    return texte.replace(texte.find(avant), avant.size(), apres);
}

TEST(Enregistrements, TheFolderKeepsTheMostRecentGamesAndNothingElseGoes) {
    DossierJeu dossier;
    ConsoleScriptee console;
    for (int n = 0; n < ENREGISTREMENTS_GARDES + 2; ++n) {
        char nom[64];
        std::snprintf(nom, sizeof nom, "fichiers/enregistrements/20000101-%06d-Old.txt", n);
        dossier.ecrire(nom, "an older game");
    }
    dossier.ecrire("fichiers/enregistrements/notes.txt", "the player's own");
    // The new one named by the game's clock, in local time: 7 December 2026, 05:04:03.
    static std::tm quand{};
    quand.tm_year = 126, quand.tm_mon = 11, quand.tm_mday = 7, quand.tm_hour = 5, quand.tm_min = 4,
    quand.tm_sec = 3, quand.tm_isdst = -1;
    const Horloge ancienne = installer_horloge([] { return std::mktime(&quand); });
    { const FichierEnregistrement nouveau(EnTeteEnregistrement{}); }
    installer_horloge(ancienne);
    const std::vector<std::string> restes = noms_dans("fichiers/enregistrements");
    ASSERT_EQ(restes.size(), static_cast<std::size_t>(ENREGISTREMENTS_GARDES) + 1);
    EXPECT_EQ(restes.front(), "20000101-000003-Old.txt"); // the three oldest went
    EXPECT_EQ(restes[restes.size() - 2], "20261207-050403-.txt");
    EXPECT_EQ(restes.back(), "notes.txt");
}

// Every key that steers a replay, in every state, as tests/game/pilotage.txt has it.
TEST(Rejeu, TheKeysThatSteerIt) {
    std::ifstream table(KORVA_TESTS "/game/pilotage.txt");
    int cas = 0;
    for (std::string ligne; std::getline(table, ligne);) {
        std::istringstream l(ligne);
        std::string etat, attendu;
        Pilotage p;
        int touche = 0;
        if (l >> p.pas >> etat >> touche && std::getline(l >> std::ws, attendu) && ++cas) {
            p.en_pause = etat == "paused";
            const Ordre ordre = piloter(p, touche);
            EXPECT_EQ("=> " + std::to_string(p.pas) + (p.en_pause ? " paused " : " playing ") +
                          (std::array{"nothing", "next", "quit"}[static_cast<int>(ordre)]),
                      attendu)
                << ligne;
        }
    }
    EXPECT_EQ(cas, 14);
}

TEST(Rejeu, ARecordingThatCannotBePlayedIsRefusedWithItsReason) {
    struct Cas {
        std::function<std::string(const std::string&)> abimer;
        std::string raison;
    };
    DossierJeu dossier;
    const std::vector<Cas> cas{
        {[](const std::string& t) { return t; }, ""},
        {[](const std::string& t) { return remplacer(t, "KORVA recording", "KORVA"); },
         "the recording is damaged: it is not a KORVA recording"},
        {[](const std::string& t) { return remplacer(t, "\nlock ", "\nlocks "); },
         "the recording is damaged: line 5: the heading is damaged"},
        {[](const std::string& t) { return remplacer(t, "{0,1,1}", "{0,0,1}"); },
         "the recording is damaged: no cell holds the hero"},
        {[](const std::string& t) { return t + "up\njump 3\n"; },
         "the recording is damaged: line 27 is damaged"},
        {[](const std::string& t) {
             return remplacer(t, "version " KORVA_VERSION, "version 0.0.9");
         },
         "the recording was made by KORVA 0.0.9, and this is KORVA " KORVA_VERSION},
        {[](const std::string& t) { return remplacer(t, "\ndata ", "\ndata 0"); },
         "the recording was made with other level or parchment files than those installed"}};
    EnTeteEnregistrement en_tete{
        VERSION_JEU, empreinte_fichiers(fichiers_joues()), false, "Max", SERRURE_SANS_PORTE,
        DEPART};
    const std::string texte = texte_en_tete(en_tete) + "right\nkey 113\nkey 78\n";
    for (const Cas& c : cas) {
        dossier.ecrire("partie.txt", c.abimer(texte));
        Enregistrement enregistrement;
        std::string raison;
        EXPECT_EQ(enregistrement_jouable("partie.txt", enregistrement, raison), c.raison.empty());
        EXPECT_EQ(raison, c.raison.empty() ? "" : "partie.txt: " + c.raison);
    }
    // The same recording, once any file of the game's levels or parchments has changed: each
    // file the data folder holds, one by one.
    dossier.ecrire("partie.txt", texte);
    for (const std::string donnees : {"fichiers/niveaux/", "fichiers/parchemins/"}) {
        for (const std::string& nom : noms_dans(donnees)) {
            const std::string avant = dossier.lire(donnees + nom);
            dossier.ecrire(donnees + nom, avant + "redrawn");
            Enregistrement enregistrement;
            std::string raison;
            EXPECT_FALSE(enregistrement_jouable("partie.txt", enregistrement, raison)) << nom;
            dossier.ecrire(donnees + nom, avant);
        }
    }
    Enregistrement enregistrement;
    std::string raison;
    EXPECT_FALSE(enregistrement_jouable("absent.txt", enregistrement, raison));
    EXPECT_EQ(raison, "absent.txt: No such file or directory");
}

// Only notes the waits a replay asks of it, and answers each at once with Space: paused, then
// resumed, so that the replay goes on with no time passing.
class ConsoleAttentes final : public Console {
public:
    void ecrire(std::string_view) override {}
    void ecrire_nom(std::string_view) override {}
    void ecrire_erreur(std::string_view) override {}
    void effacer() override {}
    void pause() override {}
    void redimensionner(int, int) override {}
    void titre(std::string_view) override {}
    void couleur(int) override {}
    int lire_touche() override { return ' '; }
    std::string lire_ligne() override { return {}; }
    void vider_entree() override {}
    void dormir(int) override {}
    [[noreturn]] void terminer(int statut) override { throw FinDuProcessus{statut}; }
    std::optional<int> touche_dans(int millisecondes) override {
        attentes.push_back(millisecondes);
        return ' ';
    }
    std::vector<int> attentes;
};

// The pace set by '+' and '-' steers the game's own pauses too: the second of a save, at the
// fastest and at the slowest pace.
TEST(Rejeu, ThePaceScalesTheGamesOwnPauses) {
    DossierJeu dossier;
    const EnTeteEnregistrement en_tete{
        VERSION_JEU, empreinte_fichiers(fichiers_joues()), false, "Max", SERRURE_SANS_PORTE,
        DEPART};
    dossier.ecrire("partie.txt", texte_en_tete(en_tete) + "key 113\nkey 89\nsave 0\n");
    Enregistrement enregistrement;
    std::string raison;
    ASSERT_TRUE(enregistrement_jouable("partie.txt", enregistrement, raison)) << raison;
    for (const int pas : {PAS_REJEU_MIN_MS, PAS_REJEU_MAX_MS}) {
        ConsoleAttentes attentes;
        Console* avant = installer_console(&attentes);
        EXPECT_THROW(rejouer(enregistrement, pas), FinDuProcessus);
        installer_console(avant);
        // The answers to 'q' and 'Y', then the save's second; each followed by the wait while
        // paused. A wait asked is what remains of it, a millisecond or less gone already.
        const std::vector<int> voulues{pas, pas, UNE_SECONDE * pas / PAS_REJEU_MS};
        ASSERT_EQ(attentes.attentes.size(), 2 * voulues.size()) << pas;
        for (std::size_t i = 0; i < voulues.size(); ++i) {
            const int demandee = attentes.attentes[2 * i];
            EXPECT_TRUE(demandee == voulues[i] || demandee + 1 == voulues[i])
                << pas << ": " << demandee << " for " << voulues[i];
        }
    }
}

} // namespace
} // namespace korva::test
