// A temporary copy of the game's data folder, made the working directory for as long as it
// lives, so that tests never write into the repository's own `fichiers`.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korva::test {

class DossierJeu {
public:
    // Copies the repository's `fichiers` into a new temporary folder and moves into it.
    DossierJeu();
    // Moves back and removes the folder.
    ~DossierJeu();
    DossierJeu(const DossierJeu&) = delete;
    DossierJeu& operator=(const DossierJeu&) = delete;

    const std::filesystem::path& racine() const { return racine_; }
    // A file of the folder, named in UTF-8 as the game names its files on every system.
    std::filesystem::path chemin(const std::string& relatif) const {
        return racine_ / std::u8string(relatif.begin(), relatif.end());
    }
    // Writes `contenu` into `relatif` (for example "fichiers/niveaux/niveau1g.txt").
    void ecrire(const std::string& relatif, const std::string& contenu) const;
    std::string lire(const std::string& relatif) const;
    void supprimer(const std::string& relatif) const;

private:
    std::filesystem::path racine_;
    std::filesystem::path ancien_;
};

// The names of the entries of a folder, sorted; none when there is no such folder.
std::vector<std::string> noms_dans(const std::filesystem::path& dossier);

} // namespace korva::test
