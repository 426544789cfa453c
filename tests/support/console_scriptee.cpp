#include "support/console_scriptee.hpp"

#include "records/enregistrements.hpp"

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

ConsoleScriptee& ConsoleScriptee::fleche(int code) {
    return touche(TOUCHE_PREFIXE).touche(code);
}

ConsoleScriptee& ConsoleScriptee::ligne(std::string texte) {
    script_.push_back({true, 0, std::move(texte)});
    return *this;
}

void ConsoleScriptee::ecrire(std::string_view octets) {
    sortie_.append(octets);
    modele_.ecrire(octets);
}

void ConsoleScriptee::ecrire_erreur(std::string_view texte) {
    erreurs_.append(texte);
    modele_.ecrire(texte);
}

void ConsoleScriptee::effacer() {
    sortie_ += "<cls>";
    modele_.effacer();
}

void ConsoleScriptee::pause() {
    sortie_ += "<pause>";
    suivante("pause", false);
}

void ConsoleScriptee::redimensionner(int lignes, int colonnes) {
    sortie_ += "<size " + std::to_string(lignes) + "x" + std::to_string(colonnes) + ">";
}

void ConsoleScriptee::titre(std::string_view texte) {
    sortie_ += "<title " + std::string(texte) + ">";
}

void ConsoleScriptee::couleur(int attribut) {
    sortie_ += "<color " + std::to_string(attribut) + ">";
    modele_.couleur(attribut);
}

int ConsoleScriptee::lire_touche() {
    return suivante("key", false).code;
}

std::string ConsoleScriptee::lire_ligne() {
    const Entree e = suivante("line", true);
    // The terminal echoes what is typed, Enter included.
    ecrire(e.texte + "\n");
    return e.texte;
}

void ConsoleScriptee::vider_entree() {
    sortie_ += "<flush>";
}

void ConsoleScriptee::dormir(int millisecondes) {
    sortie_ += "<sleep " + std::to_string(millisecondes) + ">";
    if (observateur_) {
        observateur_("sleep " + std::to_string(millisecondes));
    }
}

void ConsoleScriptee::terminer(int statut) {
    sortie_ += "<exit " + std::to_string(statut) + ">";
    throw FinDuProcessus{statut};
}

ConsoleScriptee::Entree ConsoleScriptee::suivante(std::string_view attente, bool ligne) {
    if (observateur_) {
        observateur_(attente);
    }
    if (script_.empty()) {
        throw ScriptEpuise{};
    }
    Entree e = std::move(script_.front());
    script_.pop_front();
    if (e.est_ligne != ligne) {
        throw std::logic_error(ligne ? "the script holds a key where a typed line is read"
                                     : "the script holds a typed line where a key is read");
    }
    return e;
}

} // namespace korva::test
