#include "console/decodeur_touches.hpp"

#include "console/traduction_terminal.hpp"

namespace korva {

namespace {

constexpr unsigned char ECHAP = 0x1b;

bool octet_de_parametre(unsigned char o) {
    return o >= 0x20 && o <= 0x3F;
}
bool octet_final(unsigned char o) {
    return o >= 0x40 && o <= 0x7E;
}

int code_fleche(unsigned char final) {
    switch (final) {
    case 'A':
        return FLECHE_HAUT;
    case 'B':
        return FLECHE_BAS;
    case 'C':
        return FLECHE_DROITE;
    case 'D':
        return FLECHE_GAUCHE;
    default:
        return -1;
    }
}

} // namespace

int DecodeurTouches::prendre() {
    const int code = touches_.front();
    touches_.pop_front();
    return code;
}

void DecodeurTouches::oublier() {
    touches_.clear();
    etat_ = Etat::Repos;
    parametres_.clear();
}

void DecodeurTouches::terminer_sequence(unsigned char final) {
    // Arrows come bare or with modifiers ("1;5"); every other sequence is swallowed whole.
    const int fleche = code_fleche(final);
    if (fleche >= 0 && (parametres_.empty() || parametres_.starts_with("1;"))) {
        touches_.push_back(TOUCHE_PREFIXE);
        touches_.push_back(fleche);
    }
    parametres_.clear();
    etat_ = Etat::Repos;
}

void DecodeurTouches::terminer_utf8() {
    // A character typed beyond ASCII reaches the game as its code page 437 byte, if it has one.
    const int octet = caractere_entier(point_, suite_) ? octet_cp437(point_) : -1;
    if (octet >= 0) {
        touches_.push_back(octet);
    }
    etat_ = Etat::Repos;
}

void DecodeurTouches::recevoir(unsigned char octet) {
    switch (etat_) {
    case Etat::Repos:
        break;
    case Etat::Echap:
        if (octet == '[') {
            etat_ = Etat::Csi;
        } else if (octet == 'O') {
            etat_ = Etat::Ss3;
        } else if (octet == ECHAP) {
            touches_.push_back(TOUCHE_ECHAP); // the first of two Escape presses
        } else {
            etat_ = Etat::Repos; // Alt with a key: swallowed
        }
        return;
    case Etat::Csi:
    case Etat::Ss3:
        if (etat_ == Etat::Csi && octet == '[' && parametres_.empty()) {
            etat_ = Etat::CsiConsole; // the Linux console's function keys: ESC [ [ A
            return;
        }
        if (octet_de_parametre(octet)) {
            parametres_ += static_cast<char>(octet);
            return;
        }
        if (octet_final(octet)) {
            terminer_sequence(octet);
            return;
        }
        parametres_.clear(); // a broken sequence: dropped, the byte is read afresh
        etat_ = Etat::Repos;
        break;
    case Etat::CsiConsole:
        etat_ = Etat::Repos;
        return;
    case Etat::Utf8:
        if ((octet & 0xC0) == 0x80) {
            point_ = (point_ << 6) | (octet & 0x3F);
            if (--octets_manquants_ == 0) {
                terminer_utf8();
            }
            return;
        }
        etat_ = Etat::Repos; // a broken character: dropped, the byte is read afresh
        break;
    }

    if (octet == ECHAP) {
        etat_ = Etat::Echap;
    } else if (octet < 0x80) {
        touches_.push_back(octet);
    } else if (const DebutUtf8 debut = debut_utf8(octet); debut.suite > 0) {
        suite_ = octets_manquants_ = debut.suite;
        point_ = debut.point;
        etat_ = Etat::Utf8;
    }
    // Other bytes cannot start a character: dropped.
}

void DecodeurTouches::delai_ecoule() {
    if (etat_ == Etat::Echap) {
        touches_.push_back(TOUCHE_ECHAP);
    }
    parametres_.clear();
    etat_ = Etat::Repos;
}

} // namespace korva
