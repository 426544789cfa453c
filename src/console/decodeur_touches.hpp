// Turns the bytes a terminal sends for key presses into the key codes the game reads, the way
// the Windows console reports them: arrows as a prefix code then their own code, letters as
// themselves. Pure: fed bytes, told when a wait ran out or the input ended.
#pragma once

#include "records/enregistrements.hpp"

#include <deque>
#include <string>

namespace korva {

inline constexpr int TOUCHE_ECHAP = 27;

class DecodeurTouches {
public:
    void recevoir(unsigned char octet);
    // No byte came for a while: a lone escape is the Escape key, a cut sequence is dropped.
    void delai_ecoule();
    // The input has ended: what is pending is settled as for a timeout.
    void fin_entree() { delai_ecoule(); }

    bool touche_prete() const { return !touches_.empty(); }
    // The next key code; only when `touche_prete`.
    int prendre();
    // A sequence is under way: the caller should wait only briefly for its next byte.
    bool sequence_en_cours() const { return etat_ != Etat::Repos; }
    // Drops pending keys and any sequence under way.
    void oublier();

private:
    enum class Etat { Repos, Echap, Csi, Ss3, CsiConsole, Utf8 };

    void terminer_sequence(unsigned char final);
    void terminer_utf8();

    Etat etat_ = Etat::Repos;
    std::string parametres_;
    char32_t point_ = 0;
    int suite_ = 0;
    int octets_manquants_ = 0;
    std::deque<int> touches_;
};

} // namespace korva
