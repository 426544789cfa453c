// korva-web met by the tests: the service over a server of its own under the test's folder,
// a page's WebSocket from a loopback address of the test's choice, and plain requests.
#pragma once

#include "support/dore.hpp"
#include "support/dossier_jeu.hpp"
#include "support/partie_terminal.hpp"
#include "support/sortie_commande.hpp"
#include "support/transcription.hpp"

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

using namespace std::string_literals;
namespace beast = boost::beast;
namespace asio = boost::asio;
namespace http = beast::http;
using tcp = asio::ip::tcp;
inline constexpr std::string_view ACCUEIL = "At a prompt, Ctrl-D goes back to the menu.";

// Waits up to ten seconds for `vrai`, looking again every few milliseconds.
inline bool attendre(const std::function<bool()>& vrai) {
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
    inline bool attendre(std::string_view texte) {
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
inline http::response<http::string_body> demander(const Web& web, const std::string& requete) {
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

} // namespace korva::test
