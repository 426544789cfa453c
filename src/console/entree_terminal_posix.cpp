#include "console/entree_terminal_posix.hpp"

#include "console/remise_terminal_posix.hpp"

#include <array>
#include <cerrno>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace korva {

namespace {

constexpr int ENTREE = STDIN_FILENO;
// The rest of an escape sequence follows its first byte within this; a lone Escape does not.
constexpr int ATTENTE_SEQUENCE_MS = 50;
constexpr int SANS_FIN = -1;
constexpr std::size_t TAILLE_LECTURE = 256;

} // namespace

std::optional<int> EntreeTerminal::touche(const std::function<void()>& redessiner) {
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
        switch (
            remplir(decodeur_.sequence_en_cours() ? ATTENTE_SEQUENCE_MS : SANS_FIN, &redessiner)) {
        case Lecture::Delai:
            decodeur_.delai_ecoule();
            break;
        case Lecture::Fin:
            fin_entree_ = true;
            break;
        case Lecture::Octets:
            break;
        }
    }
}

LigneTapee EntreeTerminal::ligne(const MontrerTape& montrer_tape) {
    decodeur_.oublier();
    std::size_t sans_echo = terminal_ ? entree_.size() - lu_ : 0;
    LigneTapee lue{"", false, ""};
    std::string deja_tape;
    for (;;) {
        if (lu_ < entree_.size()) {
            const char octet = entree_[lu_++];
            if (sans_echo > 0) {
                --sans_echo;
                deja_tape += octet;
            } else if (ecran_ && terminal_) {
                lue.echo += octet; // echoed by the terminal itself
            }
            if (octet == '\n') {
                lue.entiere = true;
                break;
            }
            lue.texte += octet;
            continue;
        }
        if (fin_entree_) {
            break;
        }
        if (!deja_tape.empty()) {
            // Only before the player types: a frame sent later would cut through the line
            // being typed.
            montrer_tape(deja_tape, true);
            deja_tape.clear();
        }
        if (remplir(SANS_FIN, nullptr) == Lecture::Fin) {
            fin_entree_ = true;
        }
    }
    montrer_tape(deja_tape, false);
    return lue;
}

void EntreeTerminal::vider() {
    if (!terminal_) {
        return;
    }
    ::tcflush(ENTREE, TCIFLUSH);
    entree_.clear();
    lu_ = 0;
    decodeur_.oublier();
}

// Waits for input, `delai` milliseconds at most (or without end), and reads what came. With
// `redessiner`, a screen disturbed meanwhile (resized, resumed) is drawn again at once.
EntreeTerminal::Lecture EntreeTerminal::remplir(int delai,
                                                const std::function<void()>* redessiner) {
    if (lu_ == entree_.size()) {
        entree_.clear();
        lu_ = 0;
    }
    const int reveil = remise::reveil();
    std::array<pollfd, 2> attente{pollfd{ENTREE, POLLIN, 0}, pollfd{reveil, POLLIN, 0}};
    const int pret = ::poll(attente.data(), reveil >= 0 ? 2 : 1, delai);
    if (pret == 0) {
        return Lecture::Delai;
    }
    if (pret < 0) {
        return errno == EINTR ? Lecture::Octets : Lecture::Fin;
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
