#include "console_muette.hpp"

#include <stdexcept>

namespace korva {

ConsoleMuette::ConsoleMuette() {
    precedente_ = installer_console(this);
}

ConsoleMuette::~ConsoleMuette() {
    installer_console(precedente_);
}

void ConsoleMuette::noter_touche(int code) {
    if (journal_) {
        journal_->push_back({Lecture::Sorte::touche, code, {}});
    }
}

void ConsoleMuette::pause() {
    if (journal_) {
        journal_->push_back({Lecture::Sorte::pause, 0, {}});
    }
}

int ConsoleMuette::lire_touche() {
    return suivante(Lecture::Sorte::touche).code;
}

std::string ConsoleMuette::lire_ligne() {
    return suivante(Lecture::Sorte::ligne).texte;
}

void ConsoleMuette::terminer(int) {
    reponses_.clear();
    throw HerosMort{};
}

// The player answers only what it meant to be asked: any other question is a fault of the tool.
Lecture ConsoleMuette::suivante(Lecture::Sorte sorte) {
    if (reponses_.empty() || reponses_.front().sorte != sorte) {
        throw std::logic_error("the game asked a question the player did not expect");
    }
    Lecture lecture = std::move(reponses_.front());
    reponses_.pop_front();
    if (journal_) {
        journal_->push_back(lecture);
    }
    return lecture;
}

} // namespace korva
