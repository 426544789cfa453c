// korva-web under many players at once on 127.0.0.1: each registers, makes a hero and walks,
// each step timed from its key to the first frame of its screen, and counted in bytes as the
// WebSocket carries them and as the pseudo-terminal gave them. Prints its table for
// doc/figures.md (`make bench-web`). Bounded in time: what is not done by then is not counted.
//
//     build/korva_bench_web [PLAYERS]

#include <utility> // Boost.Asio 1.74 uses std::exchange without it

#include <boost/asio.hpp>
#include <boost/beast.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace beast = boost::beast;
namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using Horloge = std::chrono::steady_clock;

constexpr int JOUEURS = 200;
constexpr int PAS = 20;
// Registrations hash their password with Argon2id, whose memory is large: a few at a time.
constexpr int INSCRIPTIONS_A_LA_FOIS = 4;
// A step's screen is taken as whole this long after its first frame.
constexpr auto APRES_LE_PAS = std::chrono::milliseconds(150);
constexpr auto DUREE_MAX = std::chrono::seconds(240);
const std::string ORIGINE = "http://bench.korva";

// The service's folder: a copy of the game's data, the lobby's server, their configurations.
struct Service {
    Service() {
        char modele[] = "/tmp/korva-bench-web-XXXXXX";
        racine = ::mkdtemp(modele);
        fs::copy(KORVA_FICHIERS_SOURCE, racine / "fichiers", fs::copy_options::recursive);
        fs::create_directories(racine / "serveur");
        const std::string r = racine.string();
        std::ofstream(racine / "serveur.conf")
            << "data " << r << "/serveur\ngame " KORVA_BINAIRE "\ngame-data " << r
            << "/fichiers\nlog " << r << "/serveur.log\ngames-at-once 1000\n"
            << "registrations-per-hour 1000\n";
        std::ofstream(racine / "web.conf")
            << "port 0\norigin " << ORIGINE << "\nlobby " KORVA_SERVEUR_BINAIRE "\nlobby-config "
            << r << "/serveur.conf\npage " KORVA_PAGE_SOURCE "\nxterm " KORVA_XTERM_CONSTRUIT
            << "\nconnections-per-address 1000\n";
        if ((pid = ::fork()) == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // ended with the benchmark, however it ends
            std::freopen((r + "/web.log").c_str(), "w", stderr);
            ::execl(KORVA_WEB_BINAIRE, KORVA_WEB_BINAIRE, "--config", (r + "/web.conf").c_str(),
                    nullptr);
            ::_exit(127);
        }
        for (int i = 0; i < 500 && port == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::stringstream journal;
            journal << std::ifstream(racine / "web.log").rdbuf();
            const std::size_t mot = journal.str().find(" port ");
            port = mot == std::string::npos ? 0 : std::stoi(journal.str().substr(mot + 6));
        }
    }
    ~Service() {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        fs::remove_all(racine);
    }
    // A line of the service's /proc status, in kB.
    long memoire(const std::string& cle) const {
        std::ifstream statut("/proc/" + std::to_string(pid) + "/status");
        for (std::string mot; statut >> mot;) {
            if (mot == cle + ":") {
                long ko = 0;
                statut >> ko;
                return ko;
            }
        }
        return 0;
    }
    fs::path racine;
    pid_t pid = 0;
    int port = 0;
};

struct Mesures {
    std::vector<double> latences_ms;
    std::vector<std::size_t> octets_terminal, octets_websocket;
};

// One player: the lobby's screens, keys and expected texts in order, then the walk.
class Joueur : public std::enable_shared_from_this<Joueur> {
public:
    Joueur(asio::io_context& io, int numero, Mesures& m, std::function<void()> pret)
        : ws_(io), minuterie_(io), m_(m), pret_(std::move(pret)) {
        const std::string n = std::to_string(numero);
        // Each screen is sent as it differs from the last: the words waited for are new there.
        etapes_ = {{"", "Ctrl-D goes back to the menu."},
                   {"2", "Account name:"},
                   {"bench" + n + "\r", "Password:"},
                   {"secret1\r", "again:"},
                   {"secret1\r", "recording"},
                   {"1", "Press any key"},
                   {" ", "quit"},
                   {"1", "persona"},
                   {"Hero" + n + "\r1\r", "Here we are"},
                   {" ", "save and quit"}};
        // From its own loopback address, as players come from theirs.
        depuis_ = asio::ip::make_address_v4(0x7F000000u + 0x10000u + static_cast<unsigned>(numero));
    }

    void commencer(int port) {
        auto& s = beast::get_lowest_layer(ws_);
        s.open(tcp::v4());
        s.bind({depuis_, 0});
        s.async_connect({asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)},
                        [soi = shared_from_this()](beast::error_code e) {
                            if (e) {
                                return soi->pret_();
                            }
                            soi->ws_.set_option(beast::websocket::stream_base::decorator(
                                [](auto& r) { r.set(beast::http::field::origin, ORIGINE); }));
                            soi->ws_.async_handshake("localhost", "/play",
                                                     [soi](beast::error_code e) {
                                                         if (e) {
                                                             return soi->pret_();
                                                         }
                                                         soi->lire();
                                                         soi->etape();
                                                     });
                        });
    }

    // The walk: PAS steps, right and left in turn.
    void marcher() {
        if (pas_ == PAS || !en_jeu_) {
            return;
        }
        if (pas_ > 0) {
            m_.octets_terminal.push_back(octets_terminal_);
            m_.octets_websocket.push_back(octets_websocket_);
        }
        octets_terminal_ = octets_websocket_ = 0;
        envoye_ = Horloge::now();
        premiere_ = false;
        envoyer(pas_++ % 2 == 0 ? "\x1b[C" : "\x1b[D");
    }

    bool en_jeu() const { return en_jeu_; }

    void fermer() {
        beast::error_code ignoree;
        beast::get_lowest_layer(ws_).close(ignoree);
        minuterie_.cancel();
    }

private:
    void envoyer(const std::string& touches) {
        auto texte = std::make_shared<std::string>(touches);
        ws_.binary(true);
        ws_.async_write(asio::buffer(*texte), [texte](beast::error_code, std::size_t) {});
    }

    void etape() {
        if (etape_ == etapes_.size()) {
            en_jeu_ = true;
            return pret_();
        }
        vu_.clear();
        envoyer(etapes_[etape_].first);
    }

    void lire() {
        ws_.async_read(tampon_, [soi = shared_from_this()](beast::error_code e, std::size_t n) {
            if (e) {
                if (!soi->en_jeu_) {
                    soi->etape_ = soi->etapes_.size() + 1; // never in game
                    soi->pret_();
                }
                return;
            }
            soi->recu(beast::buffers_to_string(soi->tampon_.data()), n);
            soi->tampon_.clear();
            soi->lire();
        });
    }

    void recu(const std::string& octets, std::size_t n) {
        if (!en_jeu_) {
            vu_ += octets;
            if (etape_ < etapes_.size() && vu_.find(etapes_[etape_].second) != std::string::npos) {
                ++etape_;
                etape();
            }
            return;
        }
        octets_terminal_ += n;
        // A server's frame: two bytes of header, two more past 125 bytes, six more past 65,535.
        octets_websocket_ += n + 2 + (n > 125 ? 2 : 0) + (n > 65535 ? 6 : 0);
        if (!premiere_ && pas_ > 0) {
            premiere_ = true;
            m_.latences_ms.push_back(
                std::chrono::duration<double, std::milli>(Horloge::now() - envoye_).count());
            minuterie_.expires_after(APRES_LE_PAS);
            minuterie_.async_wait([soi = shared_from_this()](beast::error_code e) {
                if (!e) {
                    soi->marcher();
                }
            });
        }
    }

    beast::websocket::stream<tcp::socket> ws_;
    asio::steady_timer minuterie_;
    Mesures& m_;
    std::function<void()> pret_;
    asio::ip::address_v4 depuis_;
    std::vector<std::pair<std::string, std::string>> etapes_;
    std::size_t etape_ = 0;
    std::string vu_;
    beast::flat_buffer tampon_;
    bool en_jeu_ = false, premiere_ = false;
    int pas_ = 0;
    std::size_t octets_terminal_ = 0, octets_websocket_ = 0;
    Horloge::time_point envoye_;
};

template <class T> T rang(std::vector<T> v, double fraction) {
    if (v.empty()) {
        return T{};
    }
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(fraction * v.size()))];
}

} // namespace

int main(int argc, char** argv) {
    const int joueurs = argc > 1 ? std::max(1, std::atoi(argv[1])) : JOUEURS;
    Service service;
    if (service.port == 0) {
        std::fprintf(stderr, "korva-web did not start\n");
        return 1;
    }
    asio::io_context io;
    Mesures m;
    std::vector<std::shared_ptr<Joueur>> liste;
    int commences = 0, prets = 0;
    std::function<void()> suivant = [&] {
        ++prets;
        if (commences < joueurs) {
            liste[static_cast<std::size_t>(commences++)]->commencer(service.port);
        }
    };
    for (int i = 1; i <= joueurs; ++i) {
        liste.push_back(std::make_shared<Joueur>(io, i, m, [&] { suivant(); }));
    }
    for (; commences < std::min(joueurs, INSCRIPTIONS_A_LA_FOIS); ++commences) {
        liste[static_cast<std::size_t>(commences)]->commencer(service.port);
    }
    const auto fin = Horloge::now() + DUREE_MAX;
    while (prets < joueurs && Horloge::now() < fin) {
        io.run_for(std::chrono::milliseconds(50));
    }
    const long au_repos_ko = service.memoire("VmRSS");
    for (const auto& j : liste) {
        j->marcher();
    }
    while (m.latences_ms.size() < static_cast<std::size_t>(joueurs * PAS) && Horloge::now() < fin) {
        io.run_for(std::chrono::milliseconds(50));
    }
    const long en_marche_ko = service.memoire("VmRSS");
    const long pic_ko = service.memoire("VmHWM");
    for (const auto& j : liste) {
        j->fermer();
    }
    io.run_for(std::chrono::milliseconds(200));

    const std::size_t pas_terminal = rang(m.octets_terminal, 0.5);
    const std::size_t pas_websocket = rang(m.octets_websocket, 0.5);
    double terminal = 0, websocket = 0;
    for (std::size_t i = 0; i < m.octets_terminal.size(); ++i) {
        terminal += static_cast<double>(m.octets_terminal[i]);
        websocket += static_cast<double>(m.octets_websocket[i]);
    }
    std::printf(
        "| Players in a game | Steps timed | Key to screen, median | 99th percentile | "
        "Bytes per step, pseudo-terminal (median) | Over the WebSocket | Ratio, all steps |\n"
        "|---|---|---|---|---|---|---|\n"
        "| %d of %d | %zu | %.1f ms | %.1f ms | %zu | %zu | %.2f |\n\n",
        static_cast<int>(
            std::count_if(liste.begin(), liste.end(), [](const auto& j) { return j->en_jeu(); })),
        joueurs, m.latences_ms.size(), rang(m.latences_ms, 0.5), rang(m.latences_ms, 0.99),
        pas_terminal, pas_websocket, terminal == 0 ? 0.0 : websocket / terminal);
    std::printf("korva-web's memory (resident): %ld kB with every player in a game, %ld kB while "
                "they walk, %ld kB at its peak.\n",
                au_repos_ko, en_marche_ko, pic_ko);
    return m.latences_ms.empty() ? 1 : 0;
}
