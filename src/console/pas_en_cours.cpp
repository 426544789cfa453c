#include "console/pas_en_cours.hpp"

#include <cstdlib>

namespace korva {

PasEnCours::PasEnCours() : ConsoleRelais(console()) {
    installer_console(this);
}

PasEnCours::~PasEnCours() {
    if (installee_) {
        installer_console(&dessous_);
    }
}

std::optional<PartieInterrompue> PasEnCours::finir() {
    installer_console(&dessous_);
    installee_ = false;
    return interruption_;
}

bool PasEnCours::attendre(const std::function<void()>& attente) {
    if (interruption_ && interruption_->cause == Interruption::terminal_perdu) {
        return false;
    }
    try {
        attente();
        return true;
    } catch (const PartieInterrompue& interruption) {
        // Nothing waits once the terminal is lost: a Ctrl-C met before it gives way to it.
        interruption_ = interruption;
        return false;
    }
}

void PasEnCours::pause() {
    attendre([this] { dessous_.pause(); });
}

int PasEnCours::lire_touche() {
    int touche = TOUCHE_CTRL_C;
    attendre([this, &touche] { touche = dessous_.lire_touche(); });
    return touche;
}

std::string PasEnCours::lire_ligne() {
    std::string ligne;
    attendre([this, &ligne] { ligne = dessous_.lire_ligne(); });
    return ligne;
}

void PasEnCours::dormir(int millisecondes) {
    attendre([this, millisecondes] { dessous_.dormir(millisecondes); });
}

void PasEnCours::terminer(int statut) {
    const bool perdu = interruption_ && interruption_->cause == Interruption::terminal_perdu;
    dessous_.terminer(perdu ? interruption_->statut : statut);
    std::abort(); // a console that comes back from ending the process is broken
}

void jouer_un_pas(const std::function<void()>& pas) {
    PasEnCours en_cours;
    pas();
    if (const std::optional<PartieInterrompue> interruption = en_cours.finir()) {
        throw *interruption;
    }
}

} // namespace korva
