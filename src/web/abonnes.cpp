#include "web/abonnes.hpp"

#include <vector>

namespace korva::web {

Abonnes::Jeton Abonnes::abonner(Pousser pousser) {
    const std::uint64_t numero = suivant_++;
    abonnes_->emplace(numero, std::move(pousser));
    // The token takes its page off the list, even when the list outlives it or it the list.
    auto abonnes = abonnes_;
    return Jeton(abonnes_.get(), [abonnes, numero](void*) { abonnes->erase(numero); });
}

void Abonnes::publier(const std::shared_ptr<const std::string>& json) {
    // A page may leave the list while it is told: the list is gone through as it stood.
    std::vector<Pousser> tous;
    for (const auto& [numero, pousser] : *abonnes_) {
        tous.push_back(pousser);
    }
    for (const Pousser& pousser : tous) {
        pousser(json);
    }
}

} // namespace korva::web
