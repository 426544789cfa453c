// korva-web on 127.0.0.1, met by clients of the tests' own on the same library: the page's
// paths only, the WebSocket's origin, frames and sizes, forwarded addresses, the places of an
// address, a client that never reads; then a real browser.
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/reglages_documentes.hpp"
#include "support/sortie_commande.hpp"
#include "support/transcription.hpp"
#include "web/configuration_web.hpp"
#include "web_essai.hpp"

#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <list>
#include <regex>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::test {
namespace {

// Each request of chemins.txt, answered as it says, each answer with the page's policy; then
// a game won, pushed to a page's lists and listed from the games log, as no save or ranking
// holds it, and watched again.
TEST(Web, OnlyThePagesOwnPathsEachWithItsPolicyAndOriginAndTheGamesWon) {
    DossierJeu dossier;
    const Web web(dossier, "origin http://jeu.korva.test\n", "watchers-at-once 1\n");
    std::ifstream table(KORVA_TESTS "/web/chemins.txt");
    for (std::string ligne; std::getline(table, ligne);) {
        std::istringstream l(ligne);
        std::string methode, cible, origine, contenu;
        unsigned statut = 0;
        l >> methode >> cible >> origine >> statut;
        std::getline(l >> std::ws, contenu);
        if (methode.starts_with("#")) {
            continue;
        }
        const auto reponse = demander(
            web,
            methode + " " + cible + " HTTP/1.1\r\n" +
                (origine == "plain"
                     ? ""
                     : "Connection: Upgrade\r\nUpgrade: websocket\r\n"
                       "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: a2V5IG9mIHRoZSB0ZXN0\r\n") +
                (origine == "plain" || origine == "none" ? "" : "Origin: " + origine + "\r\n"));
        EXPECT_EQ(reponse.result_int(), statut) << ligne;
        EXPECT_NE(reponse.body().find(contenu), std::string::npos) << ligne;
        EXPECT_EQ(reponse["Content-Security-Policy"].substr(0, 38),
                  "default-src 'none'; script-src 'self';");
        EXPECT_EQ(reponse["X-Content-Type-Options"], "nosniff") << ligne;
    }
    EXPECT_TRUE(web.dans_le_journal("refused: origin \"http://evil.test\""));

    // A ranking of 21 heroes, two accounts' registries merged (classement_*.txt), and 11 games
    // won, the last played now: the page's lists show 20, each with its account, a tie ranked by
    // account then hero, and 10, the last won first, those whose recording is gone without a
    // replay.
    for (const std::string compte : {"hal", "vic"}) {
        dossier.ecrire("serveur/comptes/" + compte + "/fichiers/personnages/joueurs.txt",
                       lire_tout(KORVA_TESTS "/web/classement_" + compte + ".txt"));
    }
    dossier.ecrire("serveur/comptes/vic/fichiers/personnages/Vic.txt",
                   sauvegarde_depuis_carte(lire_tout(KORVA_TESTS "/web/victoire.txt")));
    Client c(web, "/play"), listes(web, "/events");
    ASSERT_TRUE(listes.attendre(R"("playing":[)"));
    const std::vector<std::pair<std::string, std::string>> etapes{
        {"2", "Account name:"},
        {"vic\r", "Password:"},
        {"secret1\r", "again:"},
        {"secret1\r", "KORVA server - vic"},
        {"1", "Press any key"},
        {" ", "3 : quit"},
        {"2", "1 : Vic"},
        {"1\r", "save and quit"},
        {"\x1b[C\x1b[C", "CONGRATULATION"},
        {" ", "3 : quit"}};
    // Ten games won before, told by the games log only, among games lost: none is replayed. Then
    // two of another account's heroes, one named in UTF-8, one by bytes that are no UTF-8 (a
    // lead byte cut short, a character written too long, a surrogate, one past U+10FFFF).
    std::string journal;
    for (int i = 0; i < 22; ++i) {
        journal += (i < 20    ? "account=vic\thero=V"
                    : i == 20 ? "account=zoe\thero=Zoé🐉"
                              : "account=zoe\thero=Z\xe9\xe0\x9f\xbf\xed\xa0\x80\xf4\x90\x80\x80") +
                   "\tclass=priest\toutcome="s + (i % 2 == 0 && i < 20 ? "won" : "killed") +
                   "\tlevel=5\tscore=1\tgold=1\tturns=1\tstart=2026-01-01T00:00:00Z\tend=2026-01-"
                   "01T00:00:00Z\trecording=20260101-000000-V.txt\n";
    }
    dossier.ecrire("serveur/parties.txt", journal);
    for (const auto& [touches, texte] : etapes) {
        c.taper(touches);
        ASSERT_TRUE(c.attendre(texte)) << c.ecran.texte();
    }
    // The lobby and its game run on a terminal of 256 colours: bright ones are colours of their
    // own, not bold.
    EXPECT_TRUE(std::regex_search(c.recu, std::regex("\x1b\\[9[0-7]m")));
    EXPECT_TRUE(listes.attendre(R"("won":[{"account":"vic","hero":"Vic",)")) << listes.recu;
    // 31 accounts' games in progress, each held as a lobby and its game hold them, each idle
    // 1000 minutes longer than the one before: the page lists the 30 freshest, with idle seconds.
    std::vector<int> tenues;
    std::string en_cours;
    for (int i = 1; i <= 31; ++i) {
        const std::string n = std::to_string(i), r = "serveur/comptes/p" + n +
                                                     "/fichiers/enregistrements/20261207-000000-P" +
                                                     n + ".txt";
        dossier.ecrire(r, "a\nb\nc\nhero new P" + n + "\n");
        dossier.ecrire("serveur/en-cours/p" + n, "");
        const std::filesystem::path chemin = dossier.racine() / r;
        ::flock(tenues.emplace_back(::open(chemin.c_str(), O_RDONLY)), LOCK_EX);
        struct flock verrou {
            F_WRLCK, SEEK_SET, 0, 1, 0
        };
        ::fcntl(
            tenues.emplace_back(::open(dossier.chemin("serveur/en-cours/p" + n).c_str(), O_RDWR)),
            F_OFD_SETLK, &verrou);
        std::filesystem::last_write_time(chemin, std::filesystem::file_time_type::clock::now() -
                                                     std::chrono::minutes(1000 * i));
        // The first's hero saved, at level 5 with 30 points: the page shows them.
        const std::string etat = i == 1 ? R"("level":5,"score":30,)" : R"([^}]*)";
        if (i == 1) {
            const std::string carte = lire_tout(KORVA_TESTS "/web/victoire.txt");
            dossier.ecrire("serveur/comptes/p1/fichiers/personnages/P1.txt",
                           sauvegarde_depuis_carte("P1" + carte.substr(carte.find('\n'))));
        }
        en_cours += R"(\{"account":"p)" + n + R"(","hero":"P)" + n + R"(",)" + etat + R"("idle":)" +
                    std::to_string(60 * i) + R"(\d{3},[^}]*\},?)";
    }
    std::string etat;
    EXPECT_TRUE(attendre([&] {
        etat = demander(web, "GET /status.json HTTP/1.1\r\n").body();
        return std::regex_search(
            etat, std::regex(
                      R"(\{"ranking":\[\{"account":"vic","hero":"Vic","score":2\},)"
                      R"(\{"account":"hal","hero":"H1","score":1\},\{"account":"hal","hero":"H10",)"
                      R"("score":1\},(\{"account":"hal","hero":"H\d","score":1\},){8})"
                      R"((\{"account":"vic","hero":"H1\d","score":1\},?){9}\],)"
                      R"("won":\[\{"account":"vic","hero":"Vic",[^}]*\},)"
                      R"((\{"account":"vic","hero":"V",[^}]*"replay":null\},?){9}\],)"
                      R"("latest":\[\{"account":"vic","hero":"Vic","class":"\w+","outcome":"won",)"
                      R"([^}]*\},\{"account":"zoe","hero":"Z()"
                      "\xEF\xBF\xBD"
                      R"(){11}",[^}]*\},)"
                      R"(\{"account":"zoe","hero":"Zoé🐉",[^}]*\},)"
                      R"((\{"account":"vic","hero":"V",[^}]*\},?){7}\],"playing":\[)" +
                      en_cours.substr(0, en_cours.rfind(R"(\{)")) + R"(\]\})"));
    })) << etat;
    // A registry that changed is read again: Hal's H1 leads now.
    dossier.ecrire("serveur/comptes/hal/fichiers/personnages/joueurs.txt", "1\nH1 3\n");
    EXPECT_TRUE(attendre([&] {
        etat = demander(web, "GET /status.json HTTP/1.1\r\n").body();
        return etat.starts_with(R"({"ranking":[{"account":"hal","hero":"H1","score":3},)");
    })) << etat;
    // The games log emptied in place by the operator, then a game ended: the page lists it.
    dossier.ecrire("serveur/parties.txt",
                   "account=ned\thero=Ned\tclass=priest\toutcome=killed\tlevel=2\tscore=1\tgold=1"
                   "\tturns=1\tstart=2026-01-01T00:00:00Z\tend=2026-01-01T00:00:00Z\trecording=\n");
    EXPECT_TRUE(attendre([&] {
        etat = demander(web, "GET /status.json HTTP/1.1\r\n").body();
        return etat.find(R"("latest":[{"account":"ned","hero":"Ned",)") != std::string::npos;
    })) << etat;

    // The account's own latest games, 20 of its 21; the game won watched again from its
    // recording, whose own keys reach it (q ends it before its end), a second replay waiting
    // for the server's one watcher's place.
    EXPECT_TRUE(
        std::regex_match(demander(web, "GET /games.json?account=766963 HTTP/1.1\r\n").body(),
                         std::regex(R"(\{"account":"vic","games":\[)"
                                    R"((\{"account":"vic",[^}]*\},?){20}\]\}\n)")));
    std::smatch rejeu;
    ASSERT_TRUE(
        std::regex_search(etat, rejeu, std::regex(R"re("hero":"Vic",[^}]*"replay":"(\w+)")re")));
    Client film(web, "/replay?game=" + rejeu[1].str());
    ASSERT_TRUE(film.attendre("save and quit")) << film.ecran.texte();
    EXPECT_TRUE(Client(web, "/replay?game=" + rejeu[1].str()).erreur.failed());
    EXPECT_TRUE(web.dans_le_journal("refused for 127.0.0.1: watchers-at-once\n"));
    film.taper("q");
    EXPECT_FALSE(film.attendre("CONGRATULATION")) << film.ecran.texte();
    EXPECT_TRUE(film.ferme);
    // The 31st game in progress, past the page's list, is watched all the same, once the
    // replay gives the server's one watcher's place back.
    bool regarde = false;
    EXPECT_TRUE(attendre(
        [&] { return regarde = regarde || !Client(web, "/watch?game=703331").erreur.failed(); }));
    std::for_each(tenues.begin(), tenues.end(), ::close);
}

// The page's script declares each string of the protocol's header that it uses, under the same
// name and with the same value; every path and word it sends among them (the lists' GET, for
// scoreboards, aside: the page has the lists pushed).
TEST(Web, ThePagesScriptSpeaksTheProtocolAsItsHeaderWritesIt) {
    const std::string entete = lire_tout(KORVA_PAGE_SOURCE "/../protocole.hpp");
    const std::string script = lire_tout(KORVA_PAGE_SOURCE "/page.js");
    const std::regex chaine(R"re(constexpr std::string_view (\w+) = "([^"]*)";)re");
    int lues = 0;
    for (std::sregex_iterator i(entete.begin(), entete.end(), chaine), fin; i != fin; ++i, ++lues) {
        const std::string nom = (*i)[1], declaration = "const " + nom + " = ";
        EXPECT_TRUE(script.find(declaration) == std::string::npos ||
                    script.find(declaration + "'" + (*i)[2].str() + "';") != std::string::npos)
            << nom;
        EXPECT_TRUE(nom.starts_with("CHAMP_") || nom == "CHEMIN_ETAT" ||
                    script.find(declaration) != std::string::npos)
            << nom;
    }
    EXPECT_GT(lues, 5);
}

// Each line of the configuration taken or refused, as tests/web/reglages.txt has it.
TEST(Web, EachSettingTakenOrRefusedAtTheEndsOfItsRange) {
    verifier_reglages(KORVA_TESTS "/web/reglages.txt", KORVA_WEB_BINAIRE, "--settings");
    verifier_reglages_documentes(web::REGLAGES_WEB, KORVA_TESTS "/../packaging/web.conf.in",
                                 KORVA_TESTS "/../SERVER.md", "### korva-web's settings");
}

// Whose files korva-web reads and runs, as tests/web/confiance.txt has it.
TEST(Web, OnlyFilesThatNobodyElseMayChangeAreReadOrRun) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "files of other users are made by root: run this test as root";
    }
    DossierJeu d;
    verifier_commandes(KORVA_TESTS "/web/confiance.txt", {{"D", d.racine().string()},
                                                          {"P", KORVA_WEB_BINAIRE},
                                                          {"G", KORVA_PAGE_SOURCE},
                                                          {"X", KORVA_XTERM_CONSTRUIT}});
}

} // namespace
} // namespace korva::test
