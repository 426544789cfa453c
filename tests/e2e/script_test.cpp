#include "support/dossier_jeu.hpp"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::test {
namespace {

struct Resultat {
    std::string sortie;
    int statut = -1; // -1: still running after a generous wait, then killed
};

// Runs the game with `entree` as its whole standard input (a pipe, then its end) and its
// standard output into a pipe: no terminal anywhere.
Resultat jouer_par_script(const std::filesystem::path& dossier, const std::string& entree) {
    int vers_jeu[2];
    int depuis_jeu[2];
    if (::pipe(vers_jeu) != 0 || ::pipe(depuis_jeu) != 0) {
        ADD_FAILURE() << "no pipes";
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(vers_jeu[0], STDIN_FILENO);
        ::dup2(depuis_jeu[1], STDOUT_FILENO);
        const int nul = ::open("/dev/null", O_WRONLY);
        ::dup2(nul, STDERR_FILENO);
        for (const int fd : {vers_jeu[0], vers_jeu[1], depuis_jeu[0], depuis_jeu[1], nul}) {
            ::close(fd);
        }
        if (::chdir(dossier.c_str()) != 0) {
            ::_exit(126);
        }
        ::execl(KORVA_BINAIRE, "korva", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(vers_jeu[0]);
    ::close(depuis_jeu[1]);
    // The script is small enough for the pipe's buffer.
    EXPECT_EQ(::write(vers_jeu[1], entree.data(), entree.size()),
              static_cast<ssize_t>(entree.size()));
    ::close(vers_jeu[1]);

    Resultat resultat;
    const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    pollfd attente{depuis_jeu[0], POLLIN, 0};
    while (std::chrono::steady_clock::now() < fin && ::poll(&attente, 1, 100) >= 0) {
        if (attente.revents == 0) {
            continue;
        }
        std::array<char, 4096> tampon{};
        const ssize_t lus = ::read(depuis_jeu[0], tampon.data(), tampon.size());
        if (lus <= 0) {
            break; // the game closed its output: it has ended
        }
        resultat.sortie.append(tampon.data(), static_cast<std::size_t>(lus));
    }
    ::close(depuis_jeu[0]);
    int etat = 0;
    while (::waitpid(pid, &etat, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= fin) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &etat, 0);
            return resultat;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    resultat.statut = WIFSIGNALED(etat) ? 128 + WTERMSIG(etat) : WEXITSTATUS(etat);
    return resultat;
}

std::size_t occurrences(const std::string& texte, std::string_view motif) {
    std::size_t n = 0;
    for (auto i = texte.find(motif); i != std::string::npos; i = texte.find(motif, i + 1)) {
        ++n;
    }
    return n;
}

TEST(PartieParScript, KeysAreReadAsTheyComeWithoutATerminal) {
    DossierJeu dossier;
    // The pause's key, an arrow (two codes: two menus more, nothing dropped), then quit.
    const Resultat r = jouer_par_script(dossier.racine(), "\n\x1b[A3");
    EXPECT_EQ(r.statut, 0);
    EXPECT_NE(r.sortie.find("Press any key to continue . . ."), std::string::npos);
    EXPECT_EQ(occurrences(r.sortie, "A KORVA-LIKE DUNGEON CRAWLER"), 3u);
    EXPECT_NE(r.sortie.find("\nBye Bye...\n"), std::string::npos);
}

TEST(PartieParScript, EndOfInputAtTheMenuEndsTheGame) {
    DossierJeu dossier;
    const Resultat r = jouer_par_script(dossier.racine(), "\n");
    EXPECT_EQ(r.statut, 0);
    EXPECT_EQ(occurrences(r.sortie, "A KORVA-LIKE DUNGEON CRAWLER"), 1u);
    EXPECT_EQ(r.sortie.find("Bye Bye"), std::string::npos);
    EXPECT_TRUE(r.sortie.ends_with("\x1b[23;0t\x1b[0m\x1b[?25h"));
}

TEST(PartieParScript, EndOfInputAtThePauseEndsTheGame) {
    DossierJeu dossier;
    const Resultat r = jouer_par_script(dossier.racine(), "");
    EXPECT_EQ(r.statut, 0);
    EXPECT_EQ(r.sortie.find("A KORVA-LIKE DUNGEON CRAWLER"), std::string::npos);
}

} // namespace
} // namespace korva::test
