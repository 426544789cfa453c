// The page's own files, the only ones served: each at a path of its own, read once at start.
// No part of a request's path ever names a file.
#pragma once

#include "web/configuration_web.hpp"

#include <map>
#include <optional>
#include <string>

namespace korva::web {

struct Fichier {
    std::string type; // its Content-Type
    std::string contenu;
};

// Every path served, with its file. Nothing, with `erreur` naming the file, when one of them
// cannot be read.
std::optional<std::map<std::string, Fichier>> lire_pages(const ConfigurationWeb& c,
                                                         std::string& erreur);

// What a page may load and run: its own scripts and styles, and its own WebSockets.
inline constexpr const char* POLITIQUE_CONTENU =
    "default-src 'none'; script-src 'self'; style-src 'self' 'unsafe-inline'; "
    "connect-src 'self'; img-src 'self'; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'";

} // namespace korva::web
