// A console that stands on another and passes everything down to it: the consoles built on it
// (a game being recorded, a step under way) change only the operations they watch.
#pragma once

#include "console/console.hpp"

#include <cstdlib>

namespace korva {

class ConsoleRelais : public Console {
public:
    explicit ConsoleRelais(Console& dessous) : dessous_(dessous) {}

    void ecrire(std::string_view octets) override { dessous_.ecrire(octets); }
    void ecrire_nom(std::string_view nom) override { dessous_.ecrire_nom(nom); }
    void ecrire_erreur(std::string_view texte) override { dessous_.ecrire_erreur(texte); }
    void effacer() override { dessous_.effacer(); }
    void pause() override { dessous_.pause(); }
    void redimensionner(int lignes, int colonnes) override {
        dessous_.redimensionner(lignes, colonnes);
    }
    void titre(std::string_view texte) override { dessous_.titre(texte); }
    void couleur(int attribut) override { dessous_.couleur(attribut); }
    int lire_touche() override { return dessous_.lire_touche(); }
    std::string lire_ligne() override { return dessous_.lire_ligne(); }
    void vider_entree() override { dessous_.vider_entree(); }
    void dormir(int millisecondes) override { dessous_.dormir(millisecondes); }
    [[noreturn]] void terminer(int statut) override {
        dessous_.terminer(statut);
        std::abort(); // a console that comes back from ending the process is broken
    }
    void garder_partie(bool gardee) override { dessous_.garder_partie(gardee); }
    std::optional<int> touche_dans(int millisecondes) override {
        return dessous_.touche_dans(millisecondes);
    }
    std::optional<int> touche_ou_signe(int millisecondes, int signe) override {
        return dessous_.touche_ou_signe(millisecondes, signe);
    }

protected:
    Console& dessous_;
};

} // namespace korva
