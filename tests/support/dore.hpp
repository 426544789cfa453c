// Golden files: what a test makes now must read as the file holds it. KORVA_REGENERER=1 writes
// the files anew instead; read their difference against the rules before committing it.
#pragma once

#include <filesystem>
#include <string>

namespace korva::test {

std::string lire_tout(const std::filesystem::path& chemin);

// Fails the test at the first line that differs, rather than with two whole texts.
void comparer_au_fichier(const std::filesystem::path& chemin, const std::string& obtenu);

// A golden text's \xNN, each the byte it stands for where the file cannot show it as it is.
std::string octets_de(std::string texte);

} // namespace korva::test
