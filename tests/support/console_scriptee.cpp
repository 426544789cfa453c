#include "support/console_scriptee.hpp"

#include <stdexcept>

namespace korva::test {

ConsoleScriptee::ConsoleScriptee() {
    precedente_ = installer_console(this);
}

ConsoleScriptee::~ConsoleScriptee() {
    installer_console(precedente_);
}

ConsoleScriptee& ConsoleScriptee::touche(int code) {
    script_.push_back({false, code, {}});
    return *this;
}

ConsoleScriptee& ConsoleScriptee::touches(std::string_view lettres) {
    for (const char lettre : lettres) {
        touche(static_cast<unsigned char>(lettre));
    }
    return *this;
}

ConsoleScriptee& ConsoleScriptee::fleche(int code) {
    return touche(224).touche(code);
}

ConsoleScriptee& ConsoleScriptee::ligne(std::string texte) {
    script_.push_back({true, 0, std::move(texte)});
    return *this;
}

int ConsoleScriptee::nombre(std::string_view marqueur) const {
    int n = 0;
    for (std::size_t p = sortie_.find(marqueur); p != std::string::npos;
         p = sortie_.find(marqueur, p + marqueur.size())) {
        ++n;
    }
    return n;
}

void ConsoleScriptee::oublier() {
    sortie_.clear();
    texte_.clear();
    attributs_.clear();
    erreurs_.clear();
    debut_ecran_ = 0;
    debuts_ecrans_.clear();
}

std::vector<std::string> ConsoleScriptee::ecrans() const {
    std::vector<std::string> liste;
    std::size_t debut = 0;
    for (const std::size_t fin : debuts_ecrans_) {
        liste.push_back(texte_.substr(debut, fin - debut));
        debut = fin;
    }
    liste.push_back(texte_.substr(debut));
    return liste;
}

void ConsoleScriptee::ecrire(std::string_view octets) {
    sortie_.append(octets);
    texte_.append(octets);
    attributs_.insert(attributs_.end(), octets.size(), attribut_);
}

void ConsoleScriptee::ecrire_erreur(std::string_view texte) {
    erreurs_.append(texte);
}

void ConsoleScriptee::effacer() {
    sortie_ += "<cls>";
    debut_ecran_ = texte_.size();
    debuts_ecrans_.push_back(debut_ecran_);
}

void ConsoleScriptee::pause() {
    sortie_ += "<pause>";
    if (pauses_automatiques_) {
        return;
    }
    const Entree e = suivante();
    if (e.est_ligne) {
        throw std::logic_error("the script holds a typed line where a pause waits for a key");
    }
}

void ConsoleScriptee::redimensionner(int lignes, int colonnes) {
    sortie_ += "<size " + std::to_string(lignes) + "x" + std::to_string(colonnes) + ">";
}

void ConsoleScriptee::titre(std::string_view texte) {
    sortie_ += "<title ";
    sortie_.append(texte);
    sortie_ += ">";
}

void ConsoleScriptee::couleur(int attribut) {
    sortie_ += "<color " + std::to_string(attribut) + ">";
    attribut_ = attribut;
}

int ConsoleScriptee::lire_touche() {
    const Entree e = suivante();
    if (e.est_ligne) {
        throw std::logic_error("the script holds a typed line where a key is read");
    }
    return e.code;
}

std::string ConsoleScriptee::lire_ligne() {
    const Entree e = suivante();
    if (!e.est_ligne) {
        throw std::logic_error("the script holds a key where a typed line is read");
    }
    // The terminal echoes what is typed, Enter included.
    ecrire(e.texte);
    ecrire("\n");
    return e.texte;
}

void ConsoleScriptee::vider_entree() {
    sortie_ += "<flush>";
}

void ConsoleScriptee::dormir(int millisecondes) {
    sortie_ += "<sleep " + std::to_string(millisecondes) + ">";
}

void ConsoleScriptee::terminer(int statut) {
    sortie_ += "<exit " + std::to_string(statut) + ">";
    throw FinDuProcessus{statut};
}

ConsoleScriptee::Entree ConsoleScriptee::suivante() {
    if (script_.empty()) {
        throw ScriptEpuise{};
    }
    Entree e = std::move(script_.front());
    script_.pop_front();
    return e;
}

} // namespace korva::test
