// The player registry "fichiers/personnages/joueurs.txt": every player who saved, with the score
// of their last save, ranked by score.
#pragma once

#include "files/registre_texte.hpp"
#include "files/sauvegarde.hpp"
#include "records/enregistrements.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

// Whether a player line holds `nom`, byte for byte. Ends the process when the registry cannot
// be read; nothing when its content breaks the format. A failure is reported and waits for a
// key, so that the player reads it.
std::optional<bool> nom_dans_registre(std::string_view nom);

// The same, quietly, for a save's checks: false when the registry cannot be read, which the
// update that follows reports.
bool nom_inscrit(std::string_view nom);

// Lists the saved games and lets the player choose one: 0 and `d.nom` set when a game was
// chosen, 1 when there is none or the player went back to the main menu. A registry that cannot
// be read is reported as for the name check.
int ouvrir_fichier_joueur(nomPerso& d);

// Records the character's name and score, ranks the players and rewrites the registry; 0 when
// rewritten, 1 when it could not be (reported on the error stream). Called under the registry's
// lock, which the save holds.
int mettre_a_jour_registre(const sPerso& p);

// Selection sort of the first n records, highest score first.
void triselection(sJoueur* tab, int n);

// Exchanges two records whole.
void echanger(sJoueur* j1, sJoueur* j2);

} // namespace korva
