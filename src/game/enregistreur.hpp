// Every game records itself: from its first board, each key and line typed, each number the
// dice draw and each save's result go to a file of `fichiers/enregistrements`, as they happen.
#pragma once

#include "characters/hasard.hpp"
#include "console/console_relais.hpp"
#include "files/enregistrement.hpp"
#include "game/jeu.hpp"

#include <cstdio>
#include <memory>
#include <optional>

namespace korva {

// The files a game plays from, whose digest a recording carries.
std::vector<std::string> fichiers_joues();

// A recording file being written. One that cannot be written is reported once, with a key
// waited for under the report, and the game goes on unrecorded; one whose heading could not be
// written is taken away, so that no empty recording stays.
class FichierEnregistrement {
public:
    explicit FichierEnregistrement(const EnTeteEnregistrement& en_tete);
    ~FichierEnregistrement();
    FichierEnregistrement(const FichierEnregistrement&) = delete;
    FichierEnregistrement& operator=(const FichierEnregistrement&) = delete;

    // Written at once, so that nothing is lost whatever ends the process.
    void noter(const Evenement& evenement);
    // The recording's file name, without its folder; empty when the game is not recorded.
    std::string nom() const;

private:
    void ecrire(const std::string& texte);

    std::string chemin_;
    std::FILE* fichier_ = nullptr;
    bool en_tete_ecrit_ = false;
};

// The console of a game being recorded: everything goes to the console it stands on, and what
// the player answers is noted on the way, interruptions included.
class ConsoleEnregistreuse final : public ConsoleRelais {
public:
    ConsoleEnregistreuse(Console& dessous, FichierEnregistrement& fichier);

    // Reports made while this is on are noted: those of a save, which a replay shows without
    // saving.
    void noter_rapports(bool oui) { rapports_ = oui; }

    void ecrire_erreur(std::string_view texte) override;
    void pause() override;
    int lire_touche() override;
    std::string lire_ligne() override;
    void dormir(int millisecondes) override;
    [[noreturn]] void terminer(int statut) override;

private:
    // Notes an interruption of the wait `attente` and lets it go on its way.
    [[noreturn]] void interrompue(const PartieInterrompue& interruption, const char* attente);
    void noter_prefixe();

    FichierEnregistrement& fichier_;
    bool rapports_ = false;
    bool prefixe_ = false; // an arrow's prefix code was read, its own code not yet
};

// One game played from its first board with its recording kept: the console, the dice and the
// saves are watched for as long as this lives.
class PartieEnregistree {
public:
    explicit PartieEnregistree(const EnTeteEnregistrement& en_tete);
    ~PartieEnregistree();
    PartieEnregistree(const PartieEnregistree&) = delete;
    PartieEnregistree& operator=(const PartieEnregistree&) = delete;

    const Temoin& temoin() const { return temoin_; }
    std::string nom() const { return fichier_.nom(); }

private:
    FichierEnregistrement fichier_;
    ConsoleEnregistreuse console_;
    Console* precedente_;
    Hasard ancien_hasard_;
    Temoin temoin_;
};

// The heading of a game about to be played from this state.
EnTeteEnregistrement en_tete_de(const Plateau& plateau, int l, int c, const sPerso& p,
                                const Sacoche& sacoche, const uneSerrure& f, bool nouveau);

} // namespace korva
