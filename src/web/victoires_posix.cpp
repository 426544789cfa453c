#include "web/victoires.hpp"

#include "console/affichage.hpp"
#include "console/console.hpp"
#include "files/suivi_fichier.hpp"
#include "game/rejeu.hpp"
#include "serveur/dossier_compte.hpp"

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace korva::web {

namespace {

// Recordings looked at, the newest first: enough for a page's list, and a bound on the work.
constexpr std::size_t ENREGISTREMENTS_LUS = 200;
// A replay that has not ended by then is taken for a game not won.
constexpr unsigned DUREE_REJEU_MAX_S = 20;
// Recordings played again at one call, at most: the others wait for the next, so that no page
// waits long on the service, however many games ended since it last looked.
constexpr int REJEUX_PAR_APPEL = 4;
constexpr int STATUT_GAGNEE = 10;

// The console a game is played again on: it shows nothing, waits for nothing, and tells at the
// end whether the victory screen was drawn.
class ConsoleIssue final : public Console {
public:
    void ecrire(std::string_view octets) override {
        gagnee_ = gagnee_ || octets.find(TITRE_VICTOIRE) != std::string_view::npos;
    }
    void ecrire_nom(std::string_view) override {}
    void ecrire_erreur(std::string_view) override {}
    void effacer() override {}
    void pause() override {}
    void redimensionner(int, int) override {}
    void titre(std::string_view) override {}
    void couleur(int) override {}
    int lire_touche() override { ::_exit(0); }
    std::string lire_ligne() override { ::_exit(0); }
    void vider_entree() override {}
    void dormir(int) override {}
    [[noreturn]] void terminer(int) override { ::_exit(gagnee_ ? STATUT_GAGNEE : 0); }

private:
    bool gagnee_ = false;
};

bool gagnee(const serveur::Configuration& c, const serveur::Partie& p) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close_range(STDERR_FILENO + 1, ~0U, 0); // no connection's terminal held open meanwhile
        ::alarm(DUREE_REJEU_MAX_S);
        Enregistrement enregistrement;
        std::string raison;
        ConsoleIssue issue;
        installer_console(&issue);
        if (::chdir(serveur::dossier_du_compte(c, p.compte).c_str()) != 0 ||
            !enregistrement_jouable(p.chemin, enregistrement, raison)) {
            ::_exit(0);
        }
        rejouer(enregistrement, 0);
    }
    int statut = 0;
    return pid > 0 && ::waitpid(pid, &statut, 0) == pid && WIFEXITED(statut) &&
           WEXITSTATUS(statut) == STATUT_GAGNEE;
}

} // namespace

std::vector<serveur::Partie> Victoires::recentes(const serveur::Configuration& c,
                                                 std::size_t nombre) {
    std::vector<serveur::Partie> parties = serveur::enregistrements(c);
    parties.resize(std::min(parties.size(), ENREGISTREMENTS_LUS));
    std::vector<serveur::Partie> gagnees;
    int rejeux = 0;
    for (const serveur::Partie& p : parties) {
        if (gagnees.size() == nombre) {
            break;
        }
        auto connue = connues_.find(p.chemin);
        if (connue == connues_.end() || connue->second.ecrite != p.ecrite) {
            if (rejeux == REJEUX_PAR_APPEL || ecrit_en_ce_moment(p.chemin)) {
                continue; // still being played, or played again at a later call
            }
            ++rejeux;
            connue = connues_.insert_or_assign(p.chemin, Issue{p.ecrite, gagnee(c, p)}).first;
        }
        if (connue->second.gagnee) {
            gagnees.push_back(p);
        }
    }
    return gagnees;
}

} // namespace korva::web
