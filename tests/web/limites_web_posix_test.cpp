// korva-web's limits, met by clients of the tests' own: sizes, frames, idle connections, the
// places of an address, forwarded addresses, a client that never reads; then a real browser.
#include "support/dossier_jeu.hpp"
#include "support/transcription.hpp"
#include "web_essai.hpp"

#include <gtest/gtest.h>

#include <list>
#include <optional>
#include <regex>
#include <thread>

namespace korva::test {
namespace {

// Sizes clamped to what a terminal can be; a message too long, a frame out of the protocol or
// a connection idle too long is closed.
TEST(Web, SizesOutOfBoundsClampedBadFramesAndIdleConnectionsClosed) {
    DossierJeu dossier;
    const Web web(dossier, "message-bytes 256\n");
    Client c(web, "/play");
    ASSERT_TRUE(c.attendre(ACCUEIL));
    for (const auto& [taille, avis] : std::vector<std::pair<std::string, std::string>>{
             {"size 0 0", "This one has 1 columns by 1 lines."},
             {"size 65535 1", "This one has 1 columns by 500 lines."},
             {"size 2 65535", "This one has 1000 columns by 2 lines."}}) {
        c.taper(taille, true);
        EXPECT_TRUE(c.attendre(avis)) << taille << "\n" << c.ecran.texte();
    }
    c.taper("size 65535 65535", true); // as large as a terminal can be: the lobby again
    ASSERT_TRUE(c.attendre(ACCUEIL));
    c.taper(std::string(257, '1')); // a message longer than allowed closes the connection
    EXPECT_FALSE(c.attendre("never")) << c.ecran.texte();
    EXPECT_TRUE(c.ferme);
    EXPECT_TRUE(web.dans_le_journal("127.0.0.1 sent a message over message-bytes: closed\n"));
    Client listes(web, "/events"); // the same bound where the lists are pushed
    ASSERT_TRUE(listes.attendre(R"("playing":[)"));
    listes.taper(std::string(257, '1'));
    EXPECT_FALSE(listes.attendre("never"));
    EXPECT_TRUE(listes.ferme);
    for (const std::string& trame : {"\x83\x80\0\0\0\0"s, "\x82\x01\x31"s}) { // reserved, unmasked
        Client d(web, "/play");
        ASSERT_TRUE(d.attendre(ACCUEIL));
        asio::write(d.ws.next_layer(), asio::buffer(trame));
        EXPECT_FALSE(d.attendre("Account name:"));
        EXPECT_TRUE(d.ferme);
    }
    DossierJeu autre;
    const Web court(autre, "idle-seconds 1\n");
    Client e(court, "/play");
    ASSERT_TRUE(e.attendre(ACCUEIL));
    EXPECT_FALSE(e.attendre("never"));
    EXPECT_TRUE(court.dans_le_journal("idle connection of 127.0.0.1 closed: idle-seconds\n"));
}

TEST(Web, AddressesAsTrustedPlacesBoundedAndASlowClientDropped) {
    DossierJeu dossier;
    // More unread bytes than one read of the program's screen takes (16384): only bytes piled up
    // unread can pass the bound.
    const Web web(dossier, "connections-per-address 3\nunread-bytes 20000\n");
    for (const auto& [depuis, transmise, vue] : std::vector<std::array<std::string, 3>>{
             {"127.0.0.1", "203.0.113.9", "127.0.0.1"},
             {"127.0.0.2", "198.51.100.7, 203.0.113.9", "203.0.113.9"},
             {"127.0.0.2", "not an address", "127.0.0.2"}}) {
        Client c(web, "/play", "http://korva.test", transmise, depuis);
        ASSERT_TRUE(c.attendre(ACCUEIL)) << depuis;
        EXPECT_TRUE(web.dans_le_journal("lobby opened for " + vue + "\n")) << transmise;
    }
    // Three places for an address, whether it comes itself or through the proxy; another's apart.
    for (const auto& [depuis, transmise] :
         std::vector<std::array<std::string, 2>>{{"127.0.0.5", ""}, {"127.0.0.2", "203.0.113.5"}}) {
        std::list<Client> trois;
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(trois.emplace_back(web, "/play", "http://korva.test", transmise, depuis)
                            .attendre(ACCUEIL));
        }
        EXPECT_TRUE(Client(web, "/play", "http://korva.test", transmise, depuis).erreur.failed());
        EXPECT_TRUE(web.dans_le_journal("refused for " + (transmise.empty() ? depuis : transmise) +
                                        ": connections-per-address\n"));
        EXPECT_TRUE(Client(web, "/play", "http://korva.test", "203.0.113.6", "127.0.0.2")
                        .attendre(ACCUEIL)); // another client meanwhile
    }

    { // A page's watches count as the lobby's own: watchers-per-game holds for browsers too.
        // The screen a watcher is sent is traffic: one who only receives stays past idle-seconds.
        // Two watchers share one watch of the game, the later shown the whole screen at once.
        DossierJeu autre;
        const Web regards(autre, "idle-seconds 3\n", "watchers-per-game 2\n");
        Client joueur(regards, "/play");
        for (const auto& [touches, texte] :
             std::vector<std::pair<std::string, std::string>>{{"2", "Account name:"},
                                                              {"wat\r", "Password:"},
                                                              {"secret1\r", "again:"},
                                                              {"secret1\r", "server - wat"},
                                                              {"1", "Press any key"},
                                                              {" ", "3 : quit"},
                                                              {"1", "persona :"},
                                                              {"Wat\r1\r", "Here we are"},
                                                              {" ", "save and quit"}}) {
            joueur.taper(touches);
            ASSERT_TRUE(joueur.attendre(texte)) << joueur.ecran.texte();
        }
        std::optional<Client> premier; // once the page's lists know the game
        bool ouvert = false;
        ASSERT_TRUE(attendre([&] {
            return ouvert = ouvert || !premier.emplace(regards, "/watch?game=776174").erreur;
        }));
        ASSERT_TRUE(premier->attendre("save and quit"));
        Client second(regards, "/watch?game=776174");
        ASSERT_TRUE(second.attendre("save and quit"));
        EXPECT_TRUE(attendre([&] { return second.ecran.texte() == joueur.ecran.texte(); }));
        EXPECT_EQ(premier->ecran.texte(), joueur.ecran.texte());
        const std::string enfants = lire_tout("/proc/" + std::to_string(regards.pid) + "/task/" +
                                              std::to_string(regards.pid) + "/children");
        EXPECT_EQ(std::count(enfants.begin(), enfants.end(), ' '), 2) << enfants; // lobby, watch
        EXPECT_TRUE(Client(regards, "/watch?game=776174").erreur.failed());
        EXPECT_TRUE(regards.dans_le_journal("refused for 127.0.0.1: watchers-per-game\n"));
        premier->taper("q");                 // a watch's keys reach nobody: it does not leave
        for (int pas = 0; pas < 25; ++pas) { // five seconds of steps, the watcher silent
            joueur.taper(pas % 2 == 0 ? "\x1b[D" : "\x1b[C");
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        joueur.taper("q");
        EXPECT_TRUE(premier->attendre("Back-up of your game Y/N")) << premier->ecran.texte();
        EXPECT_TRUE(second.attendre("Back-up of your game Y/N")) << second.ecran.texte();
    }
    { // A client that types on and never reads is dropped; another is served meanwhile.
        Client lent(web, "/play");
        ASSERT_TRUE(lent.attendre(ACCUEIL));
        // To the log in screen and back, a thousand times, each key a screen.
        const std::string touches =
            std::regex_replace(std::string(1000, '1'), std::regex("1"), "1\x04");
        for (int i = 0; i < 2000 && !lent.erreur; ++i) {
            lent.taper(touches);
            EXPECT_TRUE(
                i != 5 ||
                Client(web, "/play", "http://korva.test", "", "127.0.0.3").attendre(ACCUEIL));
        }
        EXPECT_TRUE(web.dans_le_journal("127.0.0.1 left "));
        EXPECT_TRUE(web.dans_le_journal(" bytes unread: dropped, over unread-bytes\n"));
        EXPECT_FALSE(lent.attendre("never"));
        EXPECT_TRUE(lent.ferme);
    }
}

// A real browser plays (navigateur.js) over TLS, where the build found chromium.
TEST(WebNavigateur, APlayerInABrowserIsWatchedAndClosingThePageSavesTheGame) {
    if (std::string_view(KORVA_NAVIGATEUR).empty()) {
        GTEST_SKIP() << "no chromium";
    }
    DossierJeu dossier;
    asio::io_context io;
    const std::string port = std::to_string(
        tcp::acceptor(io, {asio::ip::make_address("127.0.0.1"), 0}).local_endpoint().port());
    ASSERT_EQ(std::system("openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -days 1 "
                          "-keyout cle.pem -out certificat.pem 2>/dev/null"),
              0);
    const Web web(dossier, "port " + port + "\norigin https://127.0.0.1:" + port +
                               "\ncertificate certificat.pem\nprivate-key cle.pem\n");
    dossier.ecrire("fichiers/niveaux/niveau1g.txt",
                   niveau_depuis_carte(lire_tout(KORVA_TESTS "/e2e/premier_niveau.txt"), 1, false));
    const std::string capture = (dossier.racine() / "page.png").string();
    ASSERT_EQ(std::system(
                  (KORVA_NAVIGATEUR " " KORVA_TESTS "/web/navigateur.js https://127.0.0.1:" + port +
                   "/ " + capture + " " + std::to_string(web.pid))
                      .c_str()),
              0);
    EXPECT_GT(std::filesystem::file_size(capture), 10000u);
    // The watch ended once the game had let its recording go, after its save: the hero where
    // the page left him, a step left of where Ctrl-C saved him.
    const std::string zed = dossier.lire("serveur/comptes/ayla/fichiers/personnages/Zed.txt");
    EXPECT_NE(carte_depuis_sauvegarde(zed).value_or("").find("\n#.S.c."), std::string::npos);
    EXPECT_TRUE(dossier.lire("serveur/comptes/ayla/fichiers/personnages/joueurs.txt")
                    .starts_with("1\nZed "))
        << web.journal();
}

} // namespace
} // namespace korva::test
