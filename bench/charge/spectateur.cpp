#include "spectateur.hpp"

namespace korva::charge {

Spectateur::Spectateur(std::unique_ptr<Lien> lien) : lien_(std::move(lien)) {
    lien_->quand_recu = [this](std::string_view) {
        pret_ = true;
        if (attendue_ && collecte_ != nullptr) {
            collecte_->premier.push_back(millisecondes(Horloge::now() - *attendue_));
        }
        attendue_.reset();
    };
    lien_->quand_perdu = [this](int statut) {
        perdu_ = true;
        statut_ = statut;
    };
}

void Spectateur::commencer() {
    lien_->ouvrir();
}

void Spectateur::touche(Horloge::time_point moment) {
    if (collecte_ == nullptr || perdu_) {
        return;
    }
    ++collecte_->envoyees;
    if (attendue_) {
        ++collecte_->sans_reponse; // the last key's screen never came here
    }
    attendue_ = moment;
}

void Spectateur::fermer() {
    collecte_ = nullptr;
    if (!perdu_) {
        perdu_ = true;
        lien_->fermer();
    }
}

} // namespace korva::charge
