#include "web/etat.hpp"

#include "serveur/lecture_journal.hpp"

namespace korva::web {

namespace {

// How often the server is looked at.
constexpr auto PERIODE = std::chrono::seconds(1);

} // namespace

void Etat::demarrer(const serveur::Configuration& c, Publier publier) {
    c_ = &c;
    publier_ = std::move(publier);
    fil_ = std::jthread([this](std::stop_token arret) { regarder(arret); });
}

void Etat::arreter() {
    if (fil_.joinable()) {
        fil_.request_stop();
        reveil_.notify_all();
        fil_.join();
    }
}

std::shared_ptr<const Instantane> Etat::instantane() const {
    const std::lock_guard verrou(garde_);
    return instantane_;
}

void Etat::regarder(std::stop_token arret) {
    serveur::SuiviJournal journal(serveur::chemin_journal_parties(*c_));
    JournalLu lu;
    std::shared_ptr<const Index> index = indexer(lu);
    std::string cle;
    Memoires memoires;
    while (!arret.stop_requested()) {
        std::vector<PartieFinie> nouvelles = journal.suite();
        if (!nouvelles.empty()) {
            lu.ajouter(std::move(nouvelles));
            index = indexer(lu);
        }
        Fait fait = faire_instantane(*c_, lu, index, memoires);
        {
            const std::lock_guard verrou(garde_);
            instantane_ = fait.instantane;
        }
        // Told only when what the page shows changed: an idle time counts by the minute.
        if (fait.cle != cle) {
            cle = std::move(fait.cle);
            publier_(fait.instantane->json);
        }
        std::unique_lock verrou(garde_);
        reveil_.wait_for(verrou, arret, PERIODE, [] { return false; });
    }
}

} // namespace korva::web
