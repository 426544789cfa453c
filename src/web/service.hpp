// What every connection of the web service shares, beneath its sessions: its settings and the
// lobby's, the page's files, the places each address holds, the server's state as the page
// shows it and the pages told of its changes, and the refusals told so far. It knows no
// connection.
#pragma once

#include "serveur/configuration.hpp"
#include "web/abonnes.hpp"
#include "web/acces.hpp"
#include "web/configuration_web.hpp"
#include "web/diffusion.hpp"
#include "web/etat.hpp"
#include "web/pages.hpp"

#include <map>
#include <string>
#include <string_view>

namespace korva::web {

struct Service {
    ConfigurationWeb web;
    serveur::Configuration hall;
    std::map<std::string, Fichier> pages;
    Places places;
    Etat etat;
    Abonnes abonnes;
    Diffusions diffusions; // the live watches, each shared by every page watching its game
    std::string refus;     // the refusals told in the log so far, summed up as the lobbies do

    // Notes a connection refused by `reglage`, in the log as the lobby's rules sum them up.
    void refuser(const std::string& adresse, std::string_view reglage);
};

} // namespace korva::web
