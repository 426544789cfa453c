// The pieces korva-web writes its JSON with. Players' names are bytes as they were typed, UTF-8
// as a rule but not always (a name may predate UTF-8): JSON is UTF-8, so what is UTF-8 passes as
// it is and any other byte reads as U+FFFD, never as a character of another encoding.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace korva::web {

// `texte` as a JSON string: its quotes, a quote and a backslash escaped, a control as \u00XX.
std::string chaine(std::string_view texte);

// An object of these fields, in this order, each value JSON already.
std::string objet(std::initializer_list<std::pair<std::string_view, std::string>> champs);

// `texte`'s bytes in hexadecimal: a name that travels in a URL as it stands and is only ever
// compared, never read back.
std::string hexa(std::string_view texte);

// A list of at most `nombre` of `elements`, each as `ecrire` writes it.
template <class Liste, class Ecrire>
std::string liste(const Liste& elements, std::size_t nombre, Ecrire ecrire) {
    std::string json = "[";
    std::size_t i = 0;
    for (auto e = elements.begin(); e != elements.end() && i < nombre; ++e, ++i) {
        json += (i == 0 ? "" : ",") + ecrire(*e);
    }
    return json + "]";
}

} // namespace korva::web
