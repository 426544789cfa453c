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
    script_.push_back({Sorte::touche, code, {}});
    return *this;
}

ConsoleScriptee& ConsoleScriptee::fin_de_saisie() {
    script_.push_back({Sorte::fin_de_saisie, 0, {}});
    return *this;
}

ConsoleScriptee& ConsoleScriptee::interruption(PartieInterrompue interrompue) {
    script_.push_back({Sorte::interruption, interrompue.statut, {}, interrompue});
    return *this;
}

ConsoleScriptee& ConsoleScriptee::fleche(int code) {
    return touche(TOUCHE_PREFIXE).touche(code);
}

ConsoleScriptee& ConsoleScriptee::ligne(std::string texte) {
    script_.push_back({Sorte::ligne, 0, std::move(texte)});
    return *this;
}

void ConsoleScriptee::ecrire(std::string_view octets) {
    sortie_.append(octets);
    modele_.ecrire(octets);
}

void ConsoleScriptee::ecrire_erreur(std::string_view texte) {
    erreurs_.append(texte);
    // A report starts on a line of its own, as on a terminal.
    if (modele_.colonne() != 0 && !texte.empty()) {
        modele_.ecrire("\n");
    }
    modele_.ecrire_nom(texte);
}

void ConsoleScriptee::effacer() {
    sortie_ += "<cls>";
    modele_.effacer();
}

void ConsoleScriptee::pause() {
    sortie_ += "<pause>";
    // The prompt on a line of its own, as a terminal shows it; the key pressed is not shown.
    if (modele_.colonne() != 0) {
        modele_.ecrire("\n");
    }
    modele_.ecrire(INVITE_DE_PAUSE);
    suivante("pause", false);
    modele_.ecrire("\n");
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
    if (e.sorte == Sorte::fin_de_saisie && !gardee_) {
        terminer(0); // the end of input, outside a game
    }
    // The terminal echoes what is typed, Enter included.
    ecrire_nom(e.texte + "\n");
    return e.texte;
}

void ConsoleScriptee::vider_entree() {
    sortie_ += "<flush>";
}

void ConsoleScriptee::dormir(int millisecondes) {
    sortie_ += "<sleep " + std::to_string(millisecondes) + ">";
    attendre("sleep " + std::to_string(millisecondes));
}

// A wait, seen by the observer; a lost terminal stays lost for the rest of the game, and an
// interruption next in the script comes at this wait, whatever its kind.
void ConsoleScriptee::attendre(std::string_view attente) {
    if (observateur_) {
        observateur_(attente);
    }
    if (perte_ && gardee_) {
        throw *perte_;
    }
    if (script_.empty() || script_.front().sorte != Sorte::interruption) {
        return;
    }
    const Entree e = std::move(script_.front());
    script_.pop_front();
    const bool perdu = e.interrompue.cause == Interruption::terminal_perdu;
    sortie_ += perdu ? "<hang-up>" : "<ctrl-c>";
    if (!gardee_) {
        terminer(e.code); // as the signal ends the process outside a game
    }
    if (perdu) {
        perte_ = e.interrompue;
    }
    throw e.interrompue;
}

void ConsoleScriptee::garder_partie(bool gardee) {
    gardee_ = gardee;
}

void ConsoleScriptee::terminer(int statut) {
    sortie_ += "<exit " + std::to_string(statut) + ">";
    throw FinDuProcessus{statut};
}

ConsoleScriptee::Entree ConsoleScriptee::suivante(std::string_view attente, bool ligne) {
    attendre(attente);
    if (script_.empty()) {
        throw ScriptEpuise{};
    }
    Entree e = std::move(script_.front());
    script_.pop_front();
    if ((e.sorte == Sorte::touche) == ligne) {
        throw std::logic_error(ligne ? "the script holds a key where a typed line is read"
                                     : "the script holds a typed line where a key is read");
    }
    return e;
}

} // namespace korva::test
