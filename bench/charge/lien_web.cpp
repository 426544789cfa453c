// The WebSocket clients of the load benchmark: korva-web's (binary keys and screens, the size as
// a text message) and the web terminal bridge's socket.io (every message text: Engine.IO's packet
// type, then socket.io's, then an event as JSON), each from a loopback address of its own.
#include "lien.hpp"

#include <boost/beast.hpp>

#include <deque>

namespace korva::charge {

namespace {

namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

class LienWebSocket : public Lien {
public:
    LienWebSocket(asio::io_context& io, int port, std::string chemin, std::string depuis,
                  std::string origine)
        : ws_(io), port_(port), chemin_(std::move(chemin)), depuis_(std::move(depuis)),
          origine_(std::move(origine)) {}

    void ouvrir() override {
        auto& s = beast::get_lowest_layer(ws_);
        boost::system::error_code e;
        s.open(tcp::v4(), e);
        s.bind({asio::ip::make_address(depuis_), 0}, e);
        if (e) {
            return perdu(0);
        }
        const tcp::endpoint serveur(asio::ip::make_address("127.0.0.1"),
                                    static_cast<unsigned short>(port_));
        s.async_connect(serveur, [this](boost::system::error_code e) {
            if (e) {
                return perdu(0);
            }
            ws_.set_option(
                websocket::stream_base::decorator([o = origine_](websocket::request_type& r) {
                    if (!o.empty()) {
                        r.set(beast::http::field::origin, o);
                    }
                }));
            ws_.async_handshake(reponse_, "localhost", chemin_,
                                [this](boost::system::error_code e) {
                                    if (e) {
                                        return perdu(static_cast<int>(reponse_.result_int()));
                                    }
                                    ouvert_ = true;
                                    ouvert();
                                    lire();
                                });
        });
    }

    void fermer() override {
        boost::system::error_code ignoree;
        beast::get_lowest_layer(ws_).close(ignoree);
        ouvert_ = false;
    }

protected:
    virtual void ouvert() = 0;
    virtual void message(std::string_view texte) = 0;

    void emettre(std::string texte, bool en_texte) {
        if (!ouvert_) {
            return;
        }
        a_ecrire_.emplace_back(std::move(texte), en_texte);
        if (a_ecrire_.size() == 1) {
            ecrire();
        }
    }

    void perdu(int statut) {
        const bool etait = perdu_;
        perdu_ = true;
        fermer(); // a refused WebSocket's connection would stay open for another request
        if (!etait && quand_perdu) {
            quand_perdu(statut);
        }
    }

    void recu(std::string_view octets) {
        if (quand_recu) {
            quand_recu(octets);
        }
    }

private:
    void lire() {
        ws_.async_read(tampon_, [this](boost::system::error_code e, std::size_t) {
            if (e) {
                ouvert_ = false;
                return perdu(0);
            }
            const std::string texte = beast::buffers_to_string(tampon_.data());
            tampon_.consume(tampon_.size());
            message(texte);
            lire();
        });
    }

    void ecrire() {
        ws_.text(a_ecrire_.front().second);
        ws_.async_write(asio::buffer(a_ecrire_.front().first),
                        [this](boost::system::error_code e, std::size_t) {
                            if (e) {
                                return;
                            }
                            a_ecrire_.pop_front();
                            if (!a_ecrire_.empty() && ouvert_) {
                                ecrire();
                            }
                        });
    }

    websocket::stream<tcp::socket> ws_;
    int port_;
    std::string chemin_, depuis_, origine_;
    websocket::response_type reponse_;
    beast::flat_buffer tampon_;
    std::deque<std::pair<std::string, bool>> a_ecrire_;
    bool ouvert_ = false, perdu_ = false;
};

// korva-web: the size first, then keys as binary messages; the screen comes as binary.
class LienWeb : public LienWebSocket {
public:
    using LienWebSocket::LienWebSocket;
    void envoyer(std::string touches) override { emettre(std::move(touches), false); }

private:
    void ouvert() override { emettre("size 50 110", true); }
    void message(std::string_view texte) override { recu(texte); }
};

// A JSON string's text, as socket.io writes one.
std::string json(std::string_view texte) {
    std::string sortie = "\"";
    for (const char c : texte) {
        if (c == '"' || c == '\\') {
            sortie += '\\';
            sortie += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char echappe[8];
            std::snprintf(echappe, sizeof echappe, "\\u%04x", c);
            sortie += echappe;
        } else {
            sortie += c;
        }
    }
    return sortie + "\"";
}

void utf8(unsigned point, std::string& sortie) {
    if (point < 0x80) {
        sortie += static_cast<char>(point);
    } else if (point < 0x800) {
        sortie += static_cast<char>(0xC0 | (point >> 6));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        sortie += static_cast<char>(0xE0 | (point >> 12));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        sortie += static_cast<char>(0xF0 | (point >> 18));
        sortie += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The JSON string that starts at `i` (its opening quote), decoded into UTF-8.
std::string chaine_json(std::string_view json, std::size_t i) {
    std::string sortie;
    for (++i; i < json.size() && json[i] != '"'; ++i) {
        if (json[i] != '\\' || i + 1 >= json.size()) {
            sortie += json[i];
            continue;
        }
        const char e = json[++i];
        if (e == 'u' && i + 4 < json.size()) {
            unsigned point =
                static_cast<unsigned>(std::stoul(std::string(json.substr(i + 1, 4)), nullptr, 16));
            i += 4;
            if (point >= 0xD800 && point < 0xDC00 && i + 6 < json.size() && json[i + 1] == '\\') {
                const unsigned bas = static_cast<unsigned>(
                    std::stoul(std::string(json.substr(i + 3, 4)), nullptr, 16));
                point = 0x10000 + ((point - 0xD800) << 10) + (bas - 0xDC00);
                i += 6;
            }
            utf8(point, sortie);
        } else {
            sortie += e == 'n'   ? '\n'
                      : e == 'r' ? '\r'
                      : e == 't' ? '\t'
                      : e == 'b' ? '\b'
                      : e == 'f' ? '\f'
                                 : e;
        }
    }
    return sortie;
}

// The bridge's page acknowledges what it has shown by this many characters at a time.
constexpr std::size_t ACQUITTEMENT = 262144;

class LienPont : public LienWebSocket {
public:
    LienPont(asio::io_context& io, int port, std::string depuis)
        : LienWebSocket(io, port, "/socket.io/?EIO=4&transport=websocket", std::move(depuis), "") {}
    void envoyer(std::string touches) override {
        emettre("42[\"input\"," + json(touches) + "]", true);
    }

private:
    void ouvert() override {}
    void message(std::string_view texte) override {
        if (texte.starts_with("0")) { // Engine.IO's open: join socket.io's namespace
            emettre("40", true);
        } else if (texte == "2") { // a ping
            emettre("3", true);
        } else if (texte.starts_with("42[\"login\"")) { // its program started: the size, as
                                                        // the bridge's page sends it then
            emettre("42[\"resize\",{\"cols\":110,\"rows\":50}]", true);
        } else if (texte.starts_with("42[\"data\",")) {
            const std::string ecran = chaine_json(texte, 10);
            recu(ecran);
            if ((non_acquittes_ += ecran.size()) >= ACQUITTEMENT) {
                non_acquittes_ -= ACQUITTEMENT;
                emettre("42[\"commit\"," + std::to_string(ACQUITTEMENT) + "]", true);
            }
        } else if (texte.starts_with("42[\"logout\"") || texte.starts_with("41")) {
            perdu(0);
        }
    }
    std::size_t non_acquittes_ = 0;
};

} // namespace

std::unique_ptr<Lien> lien_web(asio::io_context& io, int port, std::string chemin,
                               std::string depuis, std::string origine) {
    return std::make_unique<LienWeb>(io, port, std::move(chemin), std::move(depuis),
                                     std::move(origine));
}

std::unique_ptr<Lien> lien_pont(asio::io_context& io, int port, std::string depuis) {
    return std::make_unique<LienPont>(io, port, std::move(depuis));
}

} // namespace korva::charge
