#include "web/pages.hpp"

#include "files/fichier_sur.hpp"

#include <array>
#include <string_view>

namespace korva::web {

namespace {

struct Page {
    std::string_view chemin;                // in the URL
    std::string ConfigurationWeb::*dossier; // the folder the file lies in
    std::string_view fichier;
    std::string_view type;
};
constexpr std::string_view HTML = "text/html; charset=utf-8";
constexpr std::string_view JS = "text/javascript; charset=utf-8";
constexpr std::string_view CSS = "text/css; charset=utf-8";
constexpr std::string_view SVG = "image/svg+xml";
constexpr std::array<Page, 6> PAGES{{
    {"/", &ConfigurationWeb::page, "index.html", HTML},
    {"/page.js", &ConfigurationWeb::page, "page.js", JS},
    {"/page.css", &ConfigurationWeb::page, "page.css", CSS},
    {"/favicon.ico", &ConfigurationWeb::page, "favicon.svg", SVG},
    {"/xterm.js", &ConfigurationWeb::xterm, "lib/xterm.js", JS},
    {"/xterm.css", &ConfigurationWeb::xterm, "css/xterm.css", CSS},
}};

} // namespace

std::optional<std::map<std::string, Fichier>> lire_pages(const ConfigurationWeb& c,
                                                         std::string& erreur) {
    std::map<std::string, Fichier> pages;
    for (const Page& p : PAGES) {
        const std::string chemin = c.*p.dossier + "/" + std::string(p.fichier);
        Fichier f{std::string(p.type), {}};
        int numero_erreur = 0;
        if (!lire_fichier(chemin, f.contenu, numero_erreur)) {
            erreur = chemin + ": " + raison_fichier(numero_erreur);
            return std::nullopt;
        }
        pages.emplace(p.chemin, std::move(f));
    }
    return pages;
}

} // namespace korva::web
