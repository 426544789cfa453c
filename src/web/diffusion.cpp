#include "web/diffusion.hpp"

#include <algorithm>
#include <csignal>

#include <boost/asio/read.hpp>

namespace korva::web {

namespace {

// The screen a game's watch draws, the game's own.
constexpr Taille TAILLE_JEU{50, 110};
// A whole redraw begins where the terminal clears its screen (xterm's, which the watch is given
// as its terminal), the colour it clears in set just before.
constexpr std::string_view EFFACEMENT = "\x1b[H\x1b[2J";
// Enough of a read's end to hold the start of a redraw the next read finishes: a colour set and
// a clear.
constexpr std::size_t QUEUE = 32;
// The terminal's set-up is a few sequences; a watch that writes more before drawing is cut.
constexpr std::size_t PREAMBULE_MAX = 4096;

// Where, in `octets`, the first whole redraw begins (at the colour set just before its clear,
// if any); npos when none does.
std::size_t debut_de_redessin(std::string_view octets) {
    const std::size_t effacement = octets.find(EFFACEMENT);
    if (effacement == std::string_view::npos || effacement == 0 || octets[effacement - 1] != 'm') {
        return effacement;
    }
    const std::size_t couleur = octets.rfind("\x1b[", effacement - 1);
    const bool reglage = couleur != std::string_view::npos &&
                         octets.substr(couleur + 2, effacement - 1 - (couleur + 2))
                                 .find_first_not_of("0123456789;") == std::string_view::npos;
    return reglage ? couleur : effacement;
}

} // namespace

Diffusion::Diffusion(boost::asio::any_io_executor executeur, Enfant enfant)
    : enfant_(enfant), terminal_(executeur) {}

Diffusion::~Diffusion() {
    boost::system::error_code ignoree;
    terminal_.close(ignoree);
    raccrocher(enfant_);
}

void Diffusion::demarrer() {
    terminal_.assign(enfant_.maitre);
    lire();
}

void Diffusion::ajouter(const std::shared_ptr<Spectateur>& spectateur) {
    places_.push_back({spectateur, true, preambule_fini_});
    if (preambule_fini_) {
        spectateur->recevoir(preambule_);
        // The watch draws its screen again whole, as after a change of the window's size.
        ::kill(enfant_.pid, SIGWINCH);
    }
}

void Diffusion::lire() {
    terminal_.async_read_some(
        boost::asio::buffer(lu_),
        [soi = shared_from_this()](boost::system::error_code e, std::size_t n) {
            if (e) {
                // The watch ended (its game did, or the recording stopped): every page is told.
                for (const Place& p : soi->places_) {
                    if (const auto s = p.spectateur.lock()) {
                        s->finir();
                    }
                }
                soi->places_.clear();
                return;
            }
            soi->distribuer(std::string_view(soi->lu_.data(), n));
            soi->lire();
        });
}

void Diffusion::distribuer(std::string_view lus) {
    // A redraw's first bytes may close the read before: those kept are looked at again.
    const std::string vus = queue_ + std::string(lus);
    const std::size_t trouve = debut_de_redessin(vus);
    const std::size_t redessin =
        trouve == std::string::npos ? trouve : std::max(trouve, queue_.size()) - queue_.size();
    const std::string_view depuis_redessin =
        trouve == std::string::npos ? std::string_view() : std::string_view(vus).substr(trouve);
    queue_ = vus.substr(vus.size() - std::min(vus.size(), QUEUE));
    const std::string_view octets = lus;
    if (!preambule_fini_) {
        preambule_ += octets.substr(0, std::min(redessin, octets.size()));
        preambule_.resize(std::min(preambule_.size(), PREAMBULE_MAX));
        preambule_fini_ = redessin != std::string_view::npos;
    }
    std::erase_if(places_, [](const Place& p) { return p.spectateur.expired(); });
    // A page given to its watchers in turn may leave meanwhile: each is held while it is given.
    for (Place& p : std::vector<Place>(places_)) {
        const auto spectateur = p.spectateur.lock();
        if (!spectateur) {
            continue;
        }
        if (!p.en_attente) {
            spectateur->recevoir(octets);
        } else if (redessin != std::string_view::npos) {
            spectateur->recevoir(p.prepare ? std::string(depuis_redessin)
                                           : preambule_ + std::string(depuis_redessin));
        }
    }
    for (Place& p : places_) {
        p.prepare = p.prepare || redessin != std::string_view::npos;
        p.en_attente = p.en_attente && redessin == std::string_view::npos;
    }
}

std::shared_ptr<Diffusion> Diffusions::rejoindre(boost::asio::any_io_executor executeur,
                                                 const std::string& enregistrement,
                                                 const std::vector<std::string>& commande,
                                                 const std::vector<std::string>& environnement,
                                                 const std::string& dossier) {
    std::erase_if(en_cours_, [](const auto& e) { return e.second.expired(); });
    if (const auto connue = en_cours_[enregistrement].lock()) {
        return connue;
    }
    const std::optional<Enfant> enfant =
        lancer_sur_terminal(commande, environnement, dossier, TAILLE_JEU);
    if (!enfant) {
        return nullptr;
    }
    auto diffusion = std::make_shared<Diffusion>(std::move(executeur), *enfant);
    diffusion->demarrer();
    en_cours_[enregistrement] = diffusion;
    return diffusion;
}

} // namespace korva::web
