// The lobby's scripts (tests/serveur/*.txt), one runner for them all.
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/serveur_essai.hpp"

#include <gtest/gtest.h>

#include <iomanip>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korva::test {
namespace {

// A lobby's script (tests/serveur/*.txt), played on connections of the game's size:
//   # ...                 a comment
//   setting KEY VALUE     a line of the server's configuration
//   file PATH / end       a file under the test's folder, written before the first connection
//   link PATH TARGET      PATH made a link to TARGET (absolute), as older servers linked files
//   > C "KEYS" "TEXT"     KEYS typed on connection C (opened when first named, from the
//                         address after an '@' in its name if it has one), then its screen
//                         waited for until it shows TEXT; \r is Enter there, \xNN a byte
//   --- C                 C's screen, its lines behind '|', as the runner finds it
//   hangup C              C's terminal closed, and its lobby waited for to its end
//   ended C               C's lobby waited for to its end, its status written after as "|exit N"
//   admin COMMAND         an operator's command ("... <<< INPUT": with that line read), what it
//                         prints and its status written after it, each line behind '|'
//   hold PATH / release PATH   the test holds the lock of the file PATH (flock), then lets go
//   expect PATH / end     a file as the lobby left it ("(no such file)"); a last "..." the rest
//   log TEXT              the server's log holds the line TEXT, dated since the script began
//   wait MS               nothing typed for MS milliseconds
//   age FOLDER S          the files in FOLDER last written S seconds ago, as if left so long
//   no-inotify            the lobbies opened after it get no inotify, as past the system's limit
// The runner writes the script again with what it found; KORVA_REGENERER=1 keeps that.
class ScriptHall : public testing::TestWithParam<std::string> {};

std::string clavier(const std::string& texte) {
    return octets_de(std::regex_replace(texte, std::regex(R"(\\r)"), "\r"));
}

TEST_P(ScriptHall, PlaysAsWritten) {
    const std::string chemin = KORVA_TESTS "/serveur/" + GetParam();
    const std::time_t ouverture = std::time(nullptr);
    ::setenv("TZ", "KOR-14", 1); // fourteen hours from UTC: a log dated in local time shows
    DossierJeu dossier;
    std::istringstream lignes(lire_tout(chemin));
    std::string reglages, sortie;
    std::unique_ptr<Serveur> serveur;
    std::map<std::string, std::unique_ptr<PartieTerminal>> connexions;
    std::map<std::string, int> verrous;
    bool sans_inotify = false;
    const auto ecrire = [&sortie](std::string texte) {
        std::istringstream lignes(texte.erase(texte.find_last_not_of('\n') + 1));
        for (std::string l; std::getline(lignes, l);) {
            sortie += "|" + l + "\n";
        }
    };
    for (std::string ligne; std::getline(lignes, ligne);) {
        if (ligne.starts_with("|")) {
            continue; // written anew
        }
        sortie += ligne + "\n";
        std::istringstream mots(ligne);
        std::string directive, nom, touches, texte;
        mots >> directive >> nom >> std::quoted(touches, '"', '\0') >>
            std::quoted(texte, '"', '\0');
        if (directive == "setting") {
            reglages += ligne.substr(directive.size() + 1) + "\n";
        } else if (directive == "file" || directive == "expect") {
            std::string bloc;
            for (std::string l; std::getline(lignes, l) && l != "end";) {
                bloc += l + "\n";
            }
            if (directive == "file") {
                dossier.ecrire(nom, bloc);
            }
            const std::string lu = std::filesystem::exists(dossier.chemin(nom))
                                       ? dossier.lire(nom)
                                       : "(no such file)\n";
            const bool debut =
                bloc.ends_with("\n...\n") && lu.starts_with(bloc.substr(0, bloc.size() - 4));
            sortie += (debut ? bloc : lu) + "end\n";
        } else if (directive == "wait") { // time passes, as a player away from the keyboard
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(nom)));
        } else if (directive == "log") { // dated by the clock in UTC, since the script began
            const std::string journal = dossier.lire("journal.txt");
            const std::size_t trouve = journal.find("korva-serveur: " + ligne.substr(4) + "\n");
            ASSERT_NE(trouve, std::string::npos) << ligne;
            std::tm date{};
            ::strptime(&journal[journal.rfind('\n', trouve) + 1], "%Y-%m-%dT%H:%M:%SZ ", &date);
            EXPECT_TRUE(ouverture <= ::timegm(&date) && ::timegm(&date) <= std::time(nullptr))
                << ligne;
        } else if (directive == "age") {
            for (const auto& f : std::filesystem::directory_iterator(dossier.chemin(nom))) {
                std::filesystem::last_write_time(f.path(),
                                                 std::filesystem::file_time_type::clock::now() -
                                                     std::chrono::seconds(std::stoi(touches)));
            }
        } else if (directive == "link") {
            std::filesystem::create_directories(dossier.chemin(nom).parent_path());
            std::filesystem::remove(dossier.chemin(nom));
            std::filesystem::create_symlink(dossier.chemin(touches), dossier.chemin(nom));
        } else if (directive == "no-inotify") {
            sans_inotify = true;
        } else if (directive == "hold") {
            verrous[nom] =
                ::open((dossier.racine() / nom).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            ASSERT_EQ(::flock(verrous[nom], LOCK_EX), 0) << ligne;
        } else if (directive == "release") {
            ::close(verrous[nom]);
        } else if (!directive.empty() && directive != "#") {
            if (!serveur) {
                serveur = std::make_unique<Serveur>(dossier, LONGUEUR_LIGNE, reglages);
            }
            if (directive == "admin") {
                const Sortie fait = serveur->administrer(ligne.substr(directive.size() + 1));
                ecrire(fait.texte + "exit " + std::to_string(fait.statut));
                continue;
            }
            std::unique_ptr<PartieTerminal>& c = connexions[nom];
            const std::size_t a = nom.find('@');
            c = c ? std::move(c)
                  : serveur->hall(a == std::string::npos ? ADRESSE
                                                         : std::string_view(nom).substr(a + 1),
                                  sans_inotify);
            if (directive == ">") {
                ASSERT_TRUE(c->jouer(clavier(touches), clavier(texte))) << ligne << "\n"
                                                                        << c->ecran();
            } else if (directive == "hangup") {
                c->fermer();
                EXPECT_NE(c->attendre_fin(), -1) << ligne;
            } else if (directive == "ended") {
                ecrire("exit " + std::to_string(c->attendre_fin()));
            } else {
                ecrire(c->ecran());
            }
        }
    }
    comparer_au_fichier(chemin, sortie);
}

INSTANTIATE_TEST_SUITE_P(Serveur, ScriptHall, testing::ValuesIn(noms_dans(KORVA_TESTS "/serveur")),
                         [](const auto& info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

} // namespace
} // namespace korva::test
