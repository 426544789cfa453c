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

using namespace std::string_literals;
namespace beast = boost::beast;
namespace asio = boost::asio;
namespace http = beast::http;
using tcp = asio::ip::tcp;
constexpr std::string_view ACCUEIL = "At a prompt, Ctrl-D goes back to the menu.";

// Waits up to ten seconds for `vrai`, looking again every few milliseconds.
bool attendre(const std::function<bool()>& vrai) {
    for (int i = 0; i < 1000 && !vrai(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return vrai();
}

// The service over a server of its own under the test's folder; its log in web.log.
struct Web {
    explicit Web(const DossierJeu& d, const std::string& reglages = "",
                 const std::string& reglages_hall = "")
        : dossier(d) {
        const std::string r = d.racine().string();
        std::filesystem::create_directories(d.racine() / "serveur");
        d.ecrire("serveur.conf", "data " + r + "/serveur\ngame " KORVA_BINAIRE "\ngame-data " + r +
                                     "/fichiers\nlog " + r + "/serveur.log\n" + reglages_hall);
        d.ecrire("web.conf", "listen 127.0.0.1\nport 0\norigin http://korva.test\nlobby " +
                                 std::string(KORVA_SERVEUR_BINAIRE) + "\nlobby-config " + r +
                                 "/serveur.conf\npage " KORVA_PAGE_SOURCE
                                 "\nxterm " KORVA_XTERM_CONSTRUIT "\ntrusted-proxy 127.0.0.2\n" +
                                 reglages);
        if ((pid = ::fork()) == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // ended with the test, however it ends
            std::freopen((r + "/web.log").c_str(), "w", stderr);
            ::execl(KORVA_WEB_BINAIRE, KORVA_WEB_BINAIRE, "--config", (r + "/web.conf").c_str(),
                    nullptr);
            ::_exit(127);
        }
        attendre([&] { return journal().find(" port ") != std::string::npos; });
        port = std::stoi(journal().substr(journal().find(" port ") + 6));
    }
    ~Web() {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    std::string journal() const { return dossier.lire("web.log"); }
    bool dans_le_journal(const std::string& ligne) const {
        return attendre([&] { return journal().find(ligne) != std::string::npos; });
    }
    const DossierJeu& dossier;
    pid_t pid;
    int port = 0;
};

// A page's WebSocket, from a loopback address of the test's choice; its screen read by libvterm.
struct Client {
    Client(const Web& w, const std::string& cible, const std::string& origine = "http://korva.test",
           const std::string& transmise = "", const std::string& depuis = "127.0.0.1") {
        beast::get_lowest_layer(ws).open(tcp::v4());
        beast::get_lowest_layer(ws).bind({asio::ip::make_address(depuis), 0});
        beast::get_lowest_layer(ws).connect(
            {asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(w.port)}, erreur);
        ws.set_option(beast::websocket::stream_base::decorator([=](auto& requete) {
            requete.set(http::field::origin, origine);
            if (!transmise.empty()) {
                requete.set("X-Forwarded-For", transmise);
            }
        }));
        ws.handshake("localhost", cible, erreur);
    }
    // Reads until the screen (or, for the lists, a message) shows `texte`; false once ten
    // seconds or the connection are gone.
    bool attendre(std::string_view texte) {
        const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        const auto vu = [&] { return (ecran.texte() + recu).find(texte) != std::string::npos; };
        while (!vu() && !ferme && std::chrono::steady_clock::now() < fin) {
            if (!en_lecture) {
                en_lecture = true;
                ws.async_read(lu, [this](beast::error_code e, std::size_t) {
                    en_lecture = false;
                    ferme = e.failed();
                    recu += beast::buffers_to_string(lu.data());
                    ecran.recevoir(beast::buffers_to_string(lu.data()));
                    lu.clear();
                });
            }
            io.restart();
            io.run_for(std::chrono::milliseconds(20));
        }
        return vu();
    }
    void taper(const std::string& touches, bool texte = false) {
        ws.text(texte);
        ws.write(asio::buffer(touches), erreur);
    }
    asio::io_context io;
    beast::websocket::stream<tcp::socket> ws{io};
    beast::error_code erreur;
    EcranVirtuel ecran{50, 110};
    std::string recu; // every message, as it came
    beast::flat_buffer lu;
    bool en_lecture = false, ferme = false;
};

// A request's text sent whole on a connection that closes, and the answer read (without a body
// to a HEAD): no byte may follow it, and its length is announced, to a HEAD too.
http::response<http::string_body> demander(const Web& web, const std::string& requete) {
    asio::io_context io;
    tcp::socket flux(io);
    flux.connect({asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(web.port)});
    const bool ferme = requete.find("Connection:") == std::string::npos;
    asio::write(flux, asio::buffer(requete + (ferme ? "Connection: close\r\n\r\n" : "\r\n")));
    beast::flat_buffer tampon;
    http::response_parser<http::string_body> reponse;
    reponse.skip(requete.starts_with("HEAD"));
    http::read(flux, tampon, reponse);
    beast::error_code fin;
    std::size_t apres = tampon.size();
    while (!fin) {
        apres += flux.read_some(tampon.prepare(4096), fin);
    }
    EXPECT_EQ(apres, 0u) << requete;
    EXPECT_NE(reponse.get()[http::field::content_length], "0") << requete;
    return reponse.release();
}

// Each request of chemins.txt, answered as it says, each answer with the page's policy; then
// a game won, pushed to a page's lists and listed from the games log, as no save or ranking
// holds it, and watched again.
TEST(Web, OnlyThePagesOwnPathsEachWithItsPolicyAndOriginAndTheGamesWon) {
    DossierJeu dossier;
    const Web web(dossier, "", "watchers-at-once 1\n");
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
    }
    EXPECT_TRUE(web.dans_le_journal("refused: origin \"http://evil.test\""));

    // A ranking of 21 heroes, two accounts' registries merged (classement_*.txt), and 11 games
    // won, the last played now: the page's lists show 20, each with its account, a tie ranked by
    // account then hero, and 10, the last won first.
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
        en_cours += R"(\{"account":"p)" + n + R"(","hero":"P)" + n + R"(",[^}]*"idle":)" +
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
                      R"((\{"account":"vic","hero":"V",[^}]*\},?){9}\],)"
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
    std::for_each(tenues.begin(), tenues.end(), ::close);

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
        DossierJeu autre;
        const Web regards(autre, "idle-seconds 3\n", "watchers-per-game 1\n");
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
        EXPECT_TRUE(Client(regards, "/watch?game=776174").erreur.failed());
        EXPECT_TRUE(regards.dans_le_journal("refused for 127.0.0.1: watchers-per-game\n"));
        premier->taper("q");                 // a watch's keys reach nobody: it does not leave
        for (int pas = 0; pas < 25; ++pas) { // five seconds of steps, the watcher silent
            joueur.taper(pas % 2 == 0 ? "\x1b[D" : "\x1b[C");
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        joueur.taper("q");
        EXPECT_TRUE(premier->attendre("Back-up of your game Y/N")) << premier->ecran.texte();
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
