// A game watched live by many pages: one watch of it (its program on a pseudo-terminal of the
// game's size) whose screen goes to every page watching, so that a thousand watchers of a game
// cost one process and one reading of its recording, not a thousand. A page that comes in gets
// the terminal's set-up, then the screen from the watch's next whole redraw on, which it asks
// for: it never starts in the middle of a frame.
#pragma once

#include "web/terminal_enfant.hpp"

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/posix/stream_descriptor.hpp>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korva::web {

// A page watching: it is given the screen's bytes, then told when the watch ends.
class Spectateur {
public:
    virtual ~Spectateur() = default;
    virtual void recevoir(std::string_view octets) = 0;
    virtual void finir() = 0;
};

class Diffusion : public std::enable_shared_from_this<Diffusion> {
public:
    Diffusion(boost::asio::any_io_executor executeur, Enfant enfant);
    ~Diffusion();
    Diffusion(const Diffusion&) = delete;
    Diffusion& operator=(const Diffusion&) = delete;

    void demarrer();
    // `spectateur` watches from now on, for as long as it lives (or until the watch ends).
    void ajouter(const std::shared_ptr<Spectateur>& spectateur);

private:
    struct Place {
        std::weak_ptr<Spectateur> spectateur;
        bool en_attente; // of the next whole redraw
        bool prepare;    // given the terminal's set-up
    };

    void lire();
    void distribuer(std::string_view octets);

    Enfant enfant_;
    boost::asio::posix::stream_descriptor terminal_;
    std::array<char, 16384> lu_{};
    std::string preambule_; // what the watch sent before its first redraw: the terminal's set-up
    std::string queue_;     // the last bytes read
    bool preambule_fini_ = false;
    std::vector<Place> places_;
};

// The live watches going on, by recording: a page joins the one of its game, or starts it.
class Diffusions {
public:
    std::shared_ptr<Diffusion> rejoindre(boost::asio::any_io_executor executeur,
                                         const std::string& enregistrement,
                                         const std::vector<std::string>& commande,
                                         const std::vector<std::string>& environnement,
                                         const std::string& dossier);

private:
    std::map<std::string, std::weak_ptr<Diffusion>> en_cours_;
};

} // namespace korva::web
