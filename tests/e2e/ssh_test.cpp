// The server as players reach it: a real sshd of the test's own on 127.0.0.1, with the
// project's sshd block, and the real ssh client on a pseudo-terminal.
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/sortie_commande.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korva::test {
namespace {

// The system account the test makes in the place of the server's `korva`, and a user of the
// machine who tries to become it, one of each per run so that two runs at once never meet; the
// lobby and the game installed as the package installs them, under a folder of root's that the
// account reaches wherever the tests run from.
const std::string COMPTE = "korvaessai" + std::to_string(::getpid());
const std::string AUTRE = "korvaautre" + std::to_string(::getpid());
const std::string RACINE = "/var/lib/" + COMPTE;
const std::string LOBBY = RACINE + "/usr/games/korva-serveur";
constexpr std::string_view ACCUEIL = "At a prompt, Ctrl-D goes back to the menu.";
constexpr std::string_view REFUS = "korva: KORVA is played on a terminal";
// A registration, a game saved, Ctrl-C, Ctrl-Z, Ctrl-\\ and Ctrl-D at the lobby's menu, the
// ranking; the hero's name in UTF-8, as a terminal in a UTF-8 locale shows it.
// clang-format off
constexpr const char* PARTIE[] = {
    "2", "Account name:", "ayla\r", "Password:", "secret1\r", "again:", "secret1\r",
    "KORVA server - ayla", "1", "Press any key", " ", "3 : quit", "1", "persona :", "Z\xc3\xa9" "d\r1\r",
    "Here we are : Z\xc3\xa9" "d", " ", " q : save and quit", "\x1b[Cq", "Back-up of your game Y/N ? :",
    "Y", "3 : quit", "3", "KORVA server - ayla", "\x03\x1a\x1c\x04" "4", "  1. Z\xc3\xa9" "d"};
// clang-format on

// A port of 127.0.0.1 that nothing listens on now.
std::string port_libre() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t taille = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), taille);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &taille);
    ::close(s);
    return std::to_string(ntohs(a.sin_port));
}

// The account, the user and the installed tree, made by tests/e2e/su.txt and gone at the end.
struct Installation {
    static void effacer() {
        executer("userdel " + COMPTE + " 2>/dev/null; userdel " + AUTRE + " 2>/dev/null; rm -rf " +
                 RACINE);
    }
    Installation() { effacer(); }
    ~Installation() { effacer(); }
};

TEST(Ssh, OnlyTheLobbyThroughARealSshd) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "sshd logs a player in only when it runs as root: run this test as root";
    }
    ASSERT_EQ(executer("sh " KORVA_TESTS "/../tools/dependances.sh openssh-server "
                       "openssh-client >/dev/null 2>&1")
                  .statut,
              0);
    DossierJeu d;
    const std::string racine = d.racine().string(), port = port_libre();
    const Installation installation;
    verifier_commandes(KORVA_TESTS "/e2e/su.txt", {{"P", LOBBY},
                                                   {"R", RACINE},
                                                   {"A", COMPTE},
                                                   {"U", AUTRE},
                                                   {"S", KORVA_SERVEUR_BINAIRE},
                                                   {"G", KORVA_BINAIRE},
                                                   {"F", KORVA_FICHIERS_SOURCE}});
    std::ostringstream bloc;
    bloc << std::ifstream(KORVA_TESTS "/../packaging/sshd-korva.conf.in").rdbuf();
    std::string texte = bloc.str();
    texte.replace(texte.find("@KORVA_COMMANDE@"), 16, LOBBY);
    texte.replace(texte.find("Match User korva\n"), 17, "Match User " + COMPTE + "\n");
    d.ecrire("korva.conf", texte);
    ASSERT_EQ(executer("ssh-keygen -q -t ed25519 -N '' -f " + racine + "/hote").statut, 0);
    // Debian's own sshd_config around the block: its generous defaults must not reach the lobby.
    d.ecrire("sshd_config", "Include " + racine + "/korva.conf\nPort " + port +
                                "\nListenAddress 127.0.0.1\nHostKey " + racine +
                                "/hote\nPidFile none\nAllowUsers " + COMPTE +
                                "\nKbdInteractiveAuthentication no\nUsePAM yes\nX11Forwarding "
                                "yes\nAcceptEnv LANG LC_*\nSubsystem sftp "
                                "/usr/lib/openssh/sftp-server\n");
    ::mkdir("/run/sshd", 0755);
    const Sortie reglages = executer("/usr/sbin/sshd -T -f " + racine +
                                     "/sshd_config -C user=" + COMPTE + ",host=h,addr=127.0.0.1");
    // No environment from the client but the terminal's type and locale (forwarding is below).
    EXPECT_NE(reglages.texte.find("\nacceptenv TERM\nacceptenv LANG\nacceptenv LC_*\n"),
              std::string::npos)
        << reglages.texte;
    PartieTerminal sshd(d.racine(), 24, 200,
                        {"/usr/sbin/sshd", "-D", "-e", "-f", racine + "/sshd_config"});
    ASSERT_TRUE(sshd.attendre("Server listening on 127.0.0.1")) << sshd.ecran();

    const std::string client =
        "ssh -F /dev/null -o StrictHostKeyChecking=no -o "
        "UserKnownHostsFile=/dev/null -o BatchMode=yes -o LogLevel=ERROR -p " +
        port + " ";
    // Without a terminal, whatever is asked, only the lobby runs, and it refuses; nothing is
    // forwarded, not even a connection to the server itself.
    struct Cas {
        std::string options, commande, attendu;
        int statut;
    };
    for (const Cas& cas :
         {Cas{"-T", "", std::string(REFUS), 1}, Cas{"-T", "id", std::string(REFUS), 1},
          Cas{"-s", "sftp", std::string(REFUS), 1},
          Cas{"-N -o ExitOnForwardFailure=yes -R 0:127.0.0.1:" + port, "",
              "remote port forwarding failed", 255},
          Cas{"-W 127.0.0.1:" + port, "", "stdio forwarding failed", 255}}) {
        SCOPED_TRACE(cas.options + " " + cas.commande);
        const Sortie s = executer("timeout -s KILL 60 " + client + cas.options + " " + COMPTE +
                                  "@127.0.0.1 " + cas.commande + " </dev/null 2>&1");
        EXPECT_EQ(s.statut, cas.statut);
        EXPECT_NE(s.texte.find(cas.attendu), std::string::npos) << s.texte;
        EXPECT_EQ(s.texte.find("uid="), std::string::npos);
    }

    // On a terminal, the command asked is left aside too: the lobby, a game saved, the keys
    // that would reach a shell elsewhere, then leaving closes the connection.
    PartieTerminal t(d.racine(), 50, 110,
                     {"/bin/sh", "-c",
                      // A UTF-8 locale this system lacks: the lobby takes C.UTF-8 for it.
                      "exec env -u LC_ALL LANG=xx_XX.UTF-8 " + client + "-o SendEnv=LANG -t " +
                          COMPTE + "@127.0.0.1 sh"});
    ASSERT_TRUE(t.attendre(ACCUEIL)) << t.ecran();
    // Keys, then the text they bring, in turn.
    for (const char* const* pas = std::begin(PARTIE); pas != std::end(PARTIE); pas += 2) {
        ASSERT_TRUE(t.jouer(pas[0], pas[1])) << pas[0] << t.ecran();
    }
    ASSERT_TRUE(t.jouer(" ", "KORVA server - ayla"));
    t.taper("q");
    EXPECT_EQ(t.attendre_fin(), 0);
    // The client's address as sshd tells it, through the lobby's environment as a shell.
    const std::string journal = lire_tout(RACINE + "/donnees/journal");
    EXPECT_NE(journal.find("registration ayla from 127.0.0.1\n"), std::string::npos) << journal;
    EXPECT_NE(journal.find("game ended by ayla"), std::string::npos);
    EXPECT_TRUE(lire_tout(RACINE + "/donnees/comptes/ayla/fichiers/personnages/Z\xc3\xa9"
                                   "d.txt")
                    .starts_with("20\n"));
}

} // namespace
} // namespace korva::test
