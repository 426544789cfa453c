// The server's lobby on pseudo-terminals, as players reach it over ssh: accounts made and
// checked, games of two accounts in one ranking, one account's game watched live from another
// connection, and every key a player may type at each prompt.
#include "files/journal_parties.hpp"
#include "serveur/confiance.hpp"
#include "serveur/configuration.hpp"
#include "serveur/regles.hpp"
#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/reglages_documentes.hpp"
#include "support/serveur_essai.hpp"
#include "support/sortie_commande.hpp"

#include <gtest/gtest.h>

#include <iomanip>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include <unistd.h>

#include <fcntl.h>
#include <sys/file.h>

namespace korva::test {
namespace {

TEST(Serveur, TwoAccountsShareTheRankingNotTheirHeroesAndWatchLive) {
    DossierJeu dossier;
    const Serveur serveur(dossier, LONGUEUR_LIGNE, "games-at-once 1\nrecordings-per-account 1\n");
    const auto a = serveur.hall(), b = serveur.hall();
    ASSERT_TRUE(entrer(*a, "ayla", true)) << a->ecran();
    ASSERT_TRUE(a->jouer("1", PAUSE) && a->jouer(" ", MENU_JEU)) << a->ecran();
    ASSERT_TRUE(a->jouer("1", "Enter the name of your persona :"));
    ASSERT_TRUE(a->jouer("Zed\r1\r", "Here we are : Zed") && a->jouer(" ", LEGENDE));

    ASSERT_TRUE(entrer(*b, "bob", true)) << b->ecran();
    ASSERT_TRUE(b->jouer("1", "The server is full: 1 games are being played.") &&
                b->jouer(" ", "KORVA server - bob"));
    ASSERT_TRUE(b->jouer("2", "ayla             Zed              1     0      0 min"))
        << b->ecran();
    ASSERT_TRUE(b->jouer("1\r", LEGENDE)) << b->ecran();
    EXPECT_EQ(b->ecran(), a->ecran());
    const std::string avant = a->ecran();
    a->taper("\x1b[C");
    ASSERT_TRUE(a->attendre([&] { return a->ecran() != avant; }));
    ASSERT_TRUE(b->attendre([&] { return b->ecran() == a->ecran(); })) << b->ecran();
    ASSERT_TRUE(a->jouer("q", "Back-up of your game Y/N ? :") && a->jouer("Y", MENU_JEU));
    ASSERT_TRUE(a->jouer("3", "KORVA server - ayla")) << a->ecran();
    // The watch ended with it, said so, and went back to the list, now empty.
    ASSERT_TRUE(b->attendre("No game is being played now.")) << b->ecran();
    // Ayla's second game, left unsaved, is the one recording her account keeps.
    ASSERT_TRUE(a->jouer("1", PAUSE) && a->jouer(" ", MENU_JEU) && a->jouer("2", "1 : Zed"));
    ASSERT_TRUE(a->jouer("1\r", LEGENDE) && a->jouer("q", "Y/N") && a->jouer("N", MENU_JEU));
    ASSERT_TRUE(a->jouer("3", "KORVA server - ayla")) << a->ecran();
    const std::string enregistrements = "serveur/comptes/ayla/fichiers/enregistrements/";
    const auto gardes = noms_dans(dossier.racine() / enregistrements);
    ASSERT_EQ(gardes.size(), 1u);
    EXPECT_NE(dossier.lire(enregistrements + gardes[0]).find("\nhero loaded"), std::string::npos);

    EXPECT_EQ(dossier.lire("serveur/comptes/ayla/fichiers/personnages/joueurs.txt"), "1\nZed 0\n");
    const std::string comptes = dossier.lire("serveur/comptes.txt");
    EXPECT_EQ(comptes.find("sesame"), std::string::npos);
    EXPECT_TRUE(comptes.starts_with("ayla $argon2id$")) << comptes;
}

// Three wrong passwords close the connection, each wait twice the last; the account keeps
// count across connections, and the stored hash typed as a password does not log in.
TEST(Serveur, WrongPasswordsSlowedThenTheConnectionClosed) {
    DossierJeu dossier;
    const Serveur serveur(dossier);
    ASSERT_TRUE(entrer(*serveur.hall(), "ayla", true));
    const std::string comptes = dossier.lire("serveur/comptes.txt");
    const std::string empreinte = comptes.substr(5, comptes.find(' ', 5) - 5);
    const auto c = serveur.hall();
    for (const auto& [mot, attente] : {std::pair{empreinte, "wait 0.1 seconds"},
                                       {"secret", "wait 0.2 seconds"},
                                       {"sesame1", "three times: goodbye."}}) {
        ASSERT_TRUE(c->attendre(ACCUEIL) && c->jouer("1", "Account name:"));
        ASSERT_TRUE(c->jouer("ayla\r", "Password:") && c->jouer(mot + "\r", attente)) << c->ecran();
    }
    EXPECT_EQ(c->attendre_fin(), 0);
    const auto d = serveur.hall();
    ASSERT_TRUE(d->attendre(ACCUEIL) && d->jouer("1", "Account name:"));
    ASSERT_TRUE(d->jouer("ayla\r", "Password:") && d->jouer("x\r", "wait 0.8 seconds"));
    ASSERT_TRUE(entrer(*d, "ayla", false)) << d->ecran();
    EXPECT_NE(dossier.lire("serveur/comptes.txt").find(" open 0\n"), std::string::npos);
    EXPECT_NE(dossier.lire("journal.txt").find("failed login ayla from 127.0.0.9\n"),
              std::string::npos);
}

// Fifty games, each in a folder of its own laid out as an account's, save at once into one
// registry their folders share through a link (as the games of one folder share theirs): the
// game's lock keeps every hero ranked, none lost. Their games log is shared the same way, as a
// server's accounts share theirs: each game's line stands whole, with its account.
TEST(Serveur, FiftyGamesSaveAtOnceIntoTheSharedRegistry) {
    namespace fs = std::filesystem;
    DossierJeu dossier;
    dossier.ecrire("registre.txt", "0\n");
    std::vector<std::unique_ptr<PartieTerminal>> parties;
    for (int i = 0; i < 50; ++i) {
        const fs::path d = dossier.racine() / std::to_string(i), fichiers = d / "fichiers";
        fs::create_directories(fichiers / "personnages");
        for (const char* donnee : {"niveaux", "presentation", "parchemins"}) {
            fs::create_directory_symlink(dossier.racine() / "fichiers" / donnee, fichiers / donnee);
        }
        fs::create_symlink(dossier.racine() / "registre.txt", fichiers / "personnages/joueurs.txt");
        fs::create_symlink(dossier.racine() / "parties.txt", fichiers / "parties.txt");
        ::setenv(VARIABLE_COMPTE, ("c" + std::to_string(i)).c_str(), 1);
        parties.push_back(std::make_unique<PartieTerminal>(d));
    }
    ::unsetenv(VARIABLE_COMPTE);
    // Each step is typed into every game before any is waited for; "#" stands for the hero.
    for (const auto& [touches, texte] :
         std::vector<std::pair<std::string, std::string_view>>{{"", PAUSE},
                                                               {" ", MENU_JEU},
                                                               {"1", "persona :"},
                                                               {"#\r1\r", "Here we are : Hero"},
                                                               {" ", LEGENDE},
                                                               {"q", "Y/N ? :"},
                                                               {"Y", MENU_JEU},
                                                               {"3", "Bye Bye"}}) {
        for (std::size_t i = 0; i < parties.size(); ++i) {
            parties[i]->taper(touches.starts_with('#')
                                  ? "Hero" + std::to_string(i) + touches.substr(1)
                                  : touches);
        }
        for (const auto& t : parties) {
            ASSERT_TRUE(t->attendre(texte)) << t->ecran();
        }
    }
    // Heroes of one score stand in the order they saved: each is looked for.
    const std::string registre = dossier.lire("registre.txt");
    EXPECT_TRUE(registre.starts_with("50\n")) << registre;
    for (int i = 0; i < 50; ++i) {
        EXPECT_NE(registre.find("\nHero" + std::to_string(i) + " 0\n"), std::string::npos) << i;
    }
    std::istringstream journal(dossier.lire("parties.txt"));
    std::multiset<std::string> heros;
    for (std::string ligne; std::getline(journal, ligne);) {
        const std::optional<PartieFinie> partie = lire_ligne_partie(ligne);
        ASSERT_TRUE(partie && partie->issue == IssuePartie::sauvee) << ligne;
        EXPECT_EQ("Hero" + partie->compte.substr(1), partie->heros);
        heros.insert(partie->heros);
    }
    EXPECT_EQ(heros.size(), 50u);
    EXPECT_EQ(std::set<std::string>(heros.begin(), heros.end()).size(), 50u);
}

// The operator's commands in turn, each with what it prints and its status, and what the
// lobby then says to a locked account and of closed registration.
TEST(Serveur, TheOperatorsCommands) {
    DossierJeu dossier;
    const Serveur serveur(dossier);
    // Ayla's game in progress, at level 1 and score 0, is listed, then ended by the lock.
    const auto jeu = serveur.hall();
    ASSERT_TRUE(entrer(*jeu, "ayla", true) && jeu->jouer("1", "Press any key to continue") &&
                jeu->jouer(" ", MENU_JEU) && jeu->jouer("1", "persona :") &&
                jeu->jouer("Zed\r1\r", "Here we are : Zed") && jeu->jouer(" ", LEGENDE));
    struct Cas {
        std::string commande; // with what it reads
        std::string sortie;
        int statut;
    };
    const std::string usage = "usage: korva-serveur [--config FILE] [--admin COMMAND [NAME]]\n";
    const auto operateur = [&](const Cas& cas) {
        SCOPED_TRACE(cas.commande);
        const Sortie sortie = serveur.administrer(cas.commande);
        EXPECT_EQ(sortie.statut, cas.statut);
        EXPECT_TRUE(sortie.texte.starts_with(cas.sortie)) << sortie.texte;
    };
    for (const Cas& cas :
         {Cas{"accounts", "ayla open 0\nregistration open\n", 0}, Cas{"games", "ayla Zed 1 0 ", 0},
          Cas{"lock ayla bob", usage, 2}, Cas{"lock ayla", "ayla: locked, 1 connection ended\n", 0},
          Cas{"lock bob", "korva-serveur: bob: no such account\n", 1},
          Cas{"kick bob", "korva-serveur: bob: no such account\n", 1},
          Cas{"accounts", "ayla locked 0\nregistration open\n", 0},
          Cas{"close", "registration: closed\n", 0},
          Cas{"accounts", "ayla locked 0\nregistration closed\n", 0},
          Cas{"password ayla <<<short", "korva-serveur: ayla: a password has 6 to 128 characters\n",
              1},
          Cas{"password bob <<<sesam2", "korva-serveur: bob: no such account\n", 1},
          Cas{"games", "", 0}, Cas{"lock", usage, 2}, Cas{"kick", usage, 2},
          Cas{"dance", usage, 2}}) {
        operateur(cas);
    }
    const auto t = serveur.hall();
    ASSERT_TRUE(t->attendre(ACCUEIL) && t->jouer("1", "Account name:"));
    ASSERT_TRUE(t->jouer("ayla\r", "Password:"));
    ASSERT_TRUE(t->jouer("sesame\r", "This account is locked: ask the server's operator."));
    ASSERT_TRUE(t->jouer(" ", ACCUEIL) && t->jouer("2", "Registration is closed for now."));
    // Each undone by its opposite: the account logs in again, and registration is open.
    for (const Cas& cas :
         {Cas{"unlock ayla", "ayla: unlocked\n", 0}, Cas{"open", "registration: open\n", 0},
          Cas{"accounts", "ayla open 0\nregistration open\n", 0}}) {
        operateur(cas);
    }
    ASSERT_TRUE(entrer(*serveur.hall(), "ayla", false));
    EXPECT_NE(dossier.lire("journal.txt").find("login ayla from 127.0.0.9\n"), std::string::npos);
    // As the account's shell, the lobby runs only itself, as tests/e2e/coquille.txt has it.
    const std::string programme = KORVA_SERVEUR_BINAIRE;
    verifier_commandes(KORVA_TESTS "/e2e/coquille.txt",
                       {{"I", (std::filesystem::path(programme).parent_path().parent_path() /
                               "etc/korva/serveur.conf")
                                  .string()},
                        {"P", programme},
                        {"D", serveur.racine.string()}});
}

// The configuration installed with the lobby, from where the lobby lies.
TEST(Serveur, TheInstalledConfigurationStandsUnderTheLobbysPrefix) {
    for (const auto& [programme, configuration] :
         {std::pair{"/usr/games/korva-serveur", "/etc/korva/serveur.conf"},
          {"/usr/local/bin/korva-serveur", "/usr/local/etc/korva/serveur.conf"},
          {"/srv/usr/games/korva-serveur", "/srv/usr/etc/korva/serveur.conf"},
          {"/bin/korva-serveur", "/etc/korva/serveur.conf"}}) {
        EXPECT_EQ(serveur::configuration_installee(programme), configuration);
    }
}

// Refusals summed up in the log: a line per address, setting and minute at most; what went
// untold is told at that address's next line, or once its minute is old; an address is written
// as nothing but an address can be.
TEST(Serveur, RefusalsSummedUpALinePerAddressSettingAndMinute) {
    const std::string adresse = "connections-per-address", halls = "lobbies-at-once";
    std::string etat;
    for (const auto& [qui, reglage, seconde, lignes] :
         std::vector<std::tuple<std::string, std::string, int, std::string>>{
             {"a", adresse, 60, "a: " + adresse},
             {"a", adresse, 119, ""},
             {"a", adresse, 100, ""},
             {"b c\n", halls, 110, "b_c_: " + halls},
             {"a", halls, 115, "a: " + halls},
             {"a", adresse, 120, "a: " + adresse + " (2 more since the last line)"},
             {"a", adresse, 121, ""},
             {"a", halls, 240, "a: " + adresse + " (1 more since the last line)|a: " + halls},
             {"a", halls, 299, ""},
             {"d", adresse, 420, "a: " + halls + " (1 more since the last line)|d: " + adresse}}) {
        std::string dites;
        for (const std::string& l : serveur::resumer_refus(etat, qui, reglage, seconde)) {
            dites += (dites.empty() ? "" : "|") + l.substr(l.find(' ', 8) + 1);
        }
        EXPECT_EQ(dites, lignes) << qui << " " << reglage << " at " << seconde;
    }
}

// What the lobby keeps of its environment as a shell, as tests/e2e/environnement.txt has it.
TEST(Serveur, AsAShellTheLobbyKeepsOnlyWhatASessionNeeds) {
    const std::string chemin = KORVA_TESTS "/e2e/environnement.txt";
    std::istringstream lignes(lire_tout(chemin));
    std::string sortie;
    for (std::string ligne; std::getline(lignes, ligne);) {
        const std::string variable = ligne.substr(0, ligne.find(" => "));
        const bool gardee = serveur::variable_de_session(variable);
        sortie += ligne.starts_with('#') ? ligne + "\n"
                                         : variable + " => " + (gardee ? "kept\n" : "dropped\n");
    }
    comparer_au_fichier(chemin, sortie);
}

// Whose files the lobby reads and runs, as tests/e2e/confiance.txt has it.
TEST(Serveur, OnlyFilesThatNobodyElseMayChangeAreReadOrRun) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "files of other users are made by root: run this test as root";
    }
    DossierJeu dossier;
    verifier_commandes(KORVA_TESTS "/e2e/confiance.txt",
                       {{"D", dossier.racine().string()}, {"P", KORVA_SERVEUR_BINAIRE}});
}

// Each line of the configuration taken or refused, as tests/e2e/reglages.txt has it.
TEST(Serveur, EachSettingTakenOrRefusedAtTheEndOfItsRange) {
    verifier_reglages(KORVA_TESTS "/e2e/reglages.txt", KORVA_SERVEUR_BINAIRE, "--admin settings");
    verifier_reglages_documentes(serveur::REGLAGES_SERVEUR,
                                 KORVA_TESTS "/../packaging/serveur.conf.in",
                                 KORVA_TESTS "/../SERVER.md", "### korva-serveur's settings");
}

} // namespace
} // namespace korva::test
