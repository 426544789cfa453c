#include "console/entree_terminal_posix.hpp"

#include "console/remise_terminal_posix.hpp"
#include "console/traduction_terminal.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace korva {

namespace {

constexpr int ENTREE = STDIN_FILENO;
// The rest of an escape sequence follows its first byte within this; a lone Escape does not.
constexpr int ATTENTE_SEQUENCE_MS = 50;
constexpr int SANS_FIN = -1;
constexpr int ATTENTE_SANS_REVEIL_MS = 200;
constexpr std::size_t TAILLE_LECTURE = 256;
constexpr unsigned char EFFACER_CARACTERE = 0x7F; // Backspace, as terminals send it
constexpr unsigned char RETOUR_ARRIERE = 0x08;
constexpr unsigned char EFFACER_LIGNE = 0x15; // Ctrl-U
constexpr unsigned char FIN_DE_SAISIE = 0x04; // Ctrl-D
constexpr unsigned char ECHAP = 0x1b;

bool suite_utf8(const std::string& texte, std::size_t i) {
    return i < texte.size() && (static_cast<unsigned char>(texte[i]) & 0xC0) == 0x80;
}

// What brings a line shown as `avant` to show `apres`: back over the characters that differ
// (each one cell, whatever its bytes), then the new ones, and blanks over what is left of the
// old.
std::string retaper(const std::string& avant, const std::string& apres) {
    std::size_t commun = 0;
    while (commun < avant.size() && commun < apres.size() && avant[commun] == apres[commun]) {
        ++commun;
    }
    while (commun > 0 && (suite_utf8(avant, commun) || suite_utf8(apres, commun))) {
        --commun;
    }
    const std::size_t ancien = caracteres_nom(std::string_view(avant).substr(commun)).size();
    const std::size_t nouveau = caracteres_nom(std::string_view(apres).substr(commun)).size();
    std::string texte(ancien, '\b');
    texte += apres.substr(commun);
    if (nouveau < ancien) {
        texte += std::string(ancien - nouveau, ' ') + std::string(ancien - nouveau, '\b');
    }
    return texte;
}

// Takes the last character (all its UTF-8 bytes) off the line.
void oter_caractere(std::string& texte) {
    while (!texte.empty() && (static_cast<unsigned char>(texte.back()) & 0xC0) == 0x80) {
        texte.pop_back();
    }
    if (!texte.empty()) {
        texte.pop_back();
    }
}

} // namespace

std::optional<int> EntreeTerminal::touche(const Redessiner& redessiner) {
    return touche_dans(SANS_FIN, redessiner);
}

std::optional<int> EntreeTerminal::touche_dans(int delai, const Redessiner& redessiner, int signe) {
    const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(delai);
    for (;;) {
        if (decodeur_.touche_prete()) {
            return decodeur_.prendre();
        }
        if (lu_ < entree_.size()) {
            decodeur_.recevoir(static_cast<unsigned char>(entree_[lu_++]));
            continue;
        }
        if (fin_entree_) {
            decodeur_.fin_entree();
            if (decodeur_.touche_prete()) {
                continue;
            }
            return std::nullopt; // nobody is left to answer
        }
        const long long reste =
            delai == SANS_FIN
                ? SANS_FIN
                : std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                             fin - std::chrono::steady_clock::now())
                                             .count());
        if (reste == 0 && !decodeur_.sequence_en_cours()) {
            return std::nullopt; // no key came in time
        }
        switch (
            remplir(decodeur_.sequence_en_cours() ? ATTENTE_SEQUENCE_MS : static_cast<int>(reste),
                    &redessiner, decodeur_.sequence_en_cours() ? -1 : signe)) {
        case Lecture::Signe:
            return std::nullopt;
        case Lecture::Delai:
            if (decodeur_.sequence_en_cours()) {
                decodeur_.delai_ecoule();
            }
            break;
        case Lecture::Fin:
            fin_entree_ = true;
            break;
        case Lecture::Octets:
            break;
        }
    }
}

std::optional<std::string> EntreeTerminal::ligne_editee(const Echo& echo,
                                                        const Redessiner& montrer) {
    decodeur_.oublier();
    std::string texte;
    std::string montre;
    // Escape sequences (arrows, function keys) are no part of a line: 1 after Escape, 2 inside
    // a sequence.
    int echappement = 0;
    const auto afficher = [&] {
        echo(retaper(montre, texte));
        montre = texte;
    };
    for (;;) {
        if (lu_ == entree_.size()) {
            if (fin_entree_) {
                break;
            }
            afficher();
            montrer();
            if (remplir(SANS_FIN, &montrer) == Lecture::Fin) {
                fin_entree_ = true;
            }
            continue;
        }
        const auto octet = static_cast<unsigned char>(entree_[lu_++]);
        if (echappement == 1) {
            echappement = octet == '[' || octet == 'O' ? 2 : 0;
        } else if (echappement == 2) {
            echappement = octet >= 0x40 && octet <= 0x7E ? 0 : 2;
        } else if (octet == ECHAP) {
            echappement = 1;
        } else if (octet == '\r' || octet == '\n') {
            afficher();
            echo("\n");
            return texte;
        } else if (octet == EFFACER_CARACTERE || octet == RETOUR_ARRIERE) {
            oter_caractere(texte);
        } else if (octet == EFFACER_LIGNE) {
            texte.clear();
        } else if (octet == FIN_DE_SAISIE && texte.empty()) {
            return std::nullopt;
        } else if (octet >= 0x20) {
            texte += static_cast<char>(octet);
        }
    }
    if (texte.empty()) {
        return std::nullopt;
    }
    afficher();
    echo("\n");
    return texte; // a last line without its Enter still counts
}

void EntreeTerminal::vider() {
    ::tcflush(ENTREE, TCIFLUSH);
    entree_.clear();
    lu_ = 0;
    decodeur_.oublier();
}

bool EntreeTerminal::attendre_reveil() {
    const int reveil = remise::reveil();
    std::array<pollfd, 2> attente{pollfd{reveil, POLLIN, 0}, pollfd{ENTREE, POLLIN, 0}};
    const int nombre = fin_entree_ ? 1 : 2;
    for (;;) {
        // Without a wake-up pipe, the screen is looked at again now and then.
        if (::poll(attente.data(), nombre, reveil < 0 ? ATTENTE_SANS_REVEIL_MS : SANS_FIN) <= 0) {
            return true;
        }
        if ((attente[0].revents & POLLIN) != 0) {
            remise::vider_reveil();
            return true;
        }
        if (nombre == 2 && attente[1].revents != 0) {
            std::array<char, TAILLE_LECTURE> jetes{};
            const ssize_t lus = ::read(ENTREE, jetes.data(), jetes.size());
            if (lus == 0 || (lus < 0 && errno != EINTR && errno != EAGAIN)) {
                fin_entree_ = true;
                return false;
            }
        }
    }
}

// Waits for input, `delai` milliseconds at most (or without end), and reads what came. With
// `redessiner`, a screen disturbed meanwhile (resized, resumed) is drawn again at once.
EntreeTerminal::Lecture EntreeTerminal::remplir(int delai, const Redessiner* redessiner,
                                                int signe) {
    if (lu_ == entree_.size()) {
        entree_.clear();
        lu_ = 0;
    }
    // poll passes over a negative descriptor: the wake-up pipe and the sign take part only
    // where they are.
    std::array<pollfd, 3> attente{pollfd{ENTREE, POLLIN, 0}, pollfd{remise::reveil(), POLLIN, 0},
                                  pollfd{signe, POLLIN, 0}};
    const int pret = ::poll(attente.data(), attente.size(), delai);
    if (pret == 0) {
        return Lecture::Delai;
    }
    if (pret < 0) {
        return errno == EINTR ? Lecture::Octets : Lecture::Fin;
    }
    if (attente[2].revents != 0 && attente[0].revents == 0 && attente[1].revents == 0) {
        return Lecture::Signe;
    }
    if ((attente[1].revents & POLLIN) != 0) {
        remise::vider_reveil();
        if (redessiner != nullptr) {
            (*redessiner)();
        }
        if ((attente[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            return Lecture::Octets;
        }
    }
    std::array<char, TAILLE_LECTURE> tampon{};
    const ssize_t lus = ::read(ENTREE, tampon.data(), tampon.size());
    if (lus > 0) {
        entree_.append(tampon.data(), static_cast<std::size_t>(lus));
        return Lecture::Octets;
    }
    if (lus < 0 && (errno == EINTR || errno == EAGAIN)) {
        return Lecture::Octets;
    }
    return Lecture::Fin; // closed input, or a terminal hung up (EIO)
}

} // namespace korva
