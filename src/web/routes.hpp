// What korva-web answers to a request, from one table of its paths (routes.cpp). An answer is
// made from the request and the service's state alone: it may read the server's files, never
// the connection, which its session writes the answer to.
#pragma once

#include "serveur/places.hpp"
#include "web/service.hpp"

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/status.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/verb.hpp>

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korva::web {

// A request, as Beast reads it.
using Requete = boost::beast::http::request<boost::beast::http::string_body>;

// A request, as its session read it.
struct Demande {
    boost::beast::http::verb methode;
    std::string_view cible;      // its path, and its query after a '?'
    bool websocket;              // it asks to become a WebSocket
    std::string_view origine;    // its Origin header
    std::string adresse;         // the client's (adresse_client)
    std::string pair;            // the connection's peer
    Places::Jeton place_du_pair; // the place the connection holds for its peer, if any
};

inline constexpr std::string_view TEXTE = "text/plain; charset=utf-8";

// An answer in a body of its own.
struct Reponse {
    boost::beast::http::status statut;
    std::string corps;
    std::string_view type = TEXTE; // its Content-Type
};

// What a program on a terminal is started as, and whether the page's keys reach it.
struct Programme {
    std::vector<std::string> commande;
    std::vector<std::string> environnement;
    std::string dossier;
    bool lecture_seule;
    std::vector<serveur::Place> places; // held among the server's for as long as it runs
    // A live watch's recording: one watch of it goes to every page watching (diffusion.hpp).
    // Empty: a program of the page's own.
    std::string diffusee = {};
};

// A WebSocket to open, bound to a program on a terminal of its own, for a client at `adresse`,
// whose connection holds `place` among its address's for as long as it lasts.
struct Ouverture {
    Programme programme;
    Places::Jeton place;
    std::string adresse;
};

// A WebSocket to open that is told of each change of the lists, for a client at `adresse`.
struct Abonnement {
    Places::Jeton place;
    std::string adresse;
};

using Suite = std::variant<Reponse, Ouverture, Abonnement>;

// The answer to `d`: a page's file, the server's state, a terminal, the lists pushed, or a
// refusal.
Suite repondre(const Demande& d, Service& s);

} // namespace korva::web
