#include "console/terminal.hpp"

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace korva {

namespace {

// Stand-in until the terminal backend lands: plain standard streams.
class ConsoleSimple final : public Console {
public:
    void ecrire(std::string_view octets) override {
        std::fwrite(octets.data(), 1, octets.size(), stdout);
    }
    void ecrire_erreur(std::string_view texte) override {
        std::fwrite(texte.data(), 1, texte.size(), stderr);
    }
    void effacer() override { ecrire("\x1b[H\x1b[2J"); }
    void pause() override {
        ecrire("Press any key to continue . . .\n");
        lire_touche();
    }
    void redimensionner(int, int) override {}
    void titre(std::string_view) override {}
    void couleur(int) override {}
    int lire_touche() override {
        std::fflush(stdout);
        const int octet = std::getchar();
        if (octet == EOF) {
            terminer(0);
        }
        return octet;
    }
    std::string lire_ligne() override {
        std::fflush(stdout);
        std::string ligne;
        for (int octet = std::getchar(); octet != '\n'; octet = std::getchar()) {
            if (octet == EOF) {
                terminer(0);
            }
            ligne += static_cast<char>(octet);
        }
        return ligne;
    }
    void vider_entree() override {}
    void dormir(int millisecondes) override {
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(millisecondes));
    }
    [[noreturn]] void terminer(int statut) override {
        std::fflush(stdout);
        std::exit(statut);
    }
};

} // namespace

std::unique_ptr<Console> creer_console_terminal() { return std::make_unique<ConsoleSimple>(); }

} // namespace korva
