#include "console/console.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace korva {

namespace {

Console* console_courante = nullptr;

std::string formater(const char* format, va_list arguments) {
    va_list copie;
    va_copy(copie, arguments);
    const int taille = std::vsnprintf(nullptr, 0, format, copie);
    va_end(copie);
    if (taille <= 0) {
        return {};
    }
    std::vector<char> tampon(static_cast<std::size_t>(taille) + 1);
    std::vsnprintf(tampon.data(), tampon.size(), format, arguments);
    return std::string(tampon.data(), static_cast<std::size_t>(taille));
}

} // namespace

Console& console() {
    if (console_courante == nullptr) {
        std::fputs("korva: no console installed\n", stderr);
        std::abort();
    }
    return *console_courante;
}

Console* installer_console(Console* c) {
    Console* ancienne = console_courante;
    console_courante = c;
    return ancienne;
}

void terminer(int statut) {
    console().terminer(statut);
    std::abort(); // a console that comes back from ending the process is broken
}

void afficher(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string texte = formater(format, arguments);
    va_end(arguments);
    console().ecrire(texte);
}

void afficher_ligne(std::string_view texte) {
    std::string ligne(texte);
    ligne += '\n';
    console().ecrire(ligne);
}

void signaler(std::string_view chemin, int numero_erreur) {
    std::string rapport(chemin);
    rapport += ": ";
    rapport += std::strerror(numero_erreur);
    rapport += '\n';
    console().ecrire_erreur(rapport);
}

void signaler_erreur(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string texte = formater(format, arguments);
    va_end(arguments);
    console().ecrire_erreur(texte);
}

void Color(int couleurDuTexte, int couleurDeFond) {
    // The console keeps a 16-bit attribute: background in the high nibble.
    console().couleur((couleurDeFond * 16 + couleurDuTexte) & 0xFFFF);
}

std::optional<int> entier_depuis(std::string_view ligne) {
    const std::string texte(ligne);
    const char* debut = texte.c_str();
    char* fin = nullptr;
    errno = 0;
    const long valeur = std::strtol(debut, &fin, 10);
    if (fin == debut || errno == ERANGE || valeur < INT32_MIN || valeur > INT32_MAX) {
        return std::nullopt;
    }
    while (*fin == ' ' || *fin == '\t' || *fin == '\r') {
        ++fin;
    }
    if (*fin != '\0') {
        return std::nullopt;
    }
    return static_cast<int>(valeur);
}

std::optional<int> lire_entier() {
    return entier_depuis(console().lire_ligne());
}

} // namespace korva
