// The load benchmark's figures as Markdown, for doc/figures.md: a table for each way in, where
// the 99th percentile passes 20 ms, korva-web beside the web terminal bridge, and the watches.
#pragma once

#include "regards.hpp"

#include <string>

namespace korva::charge {

std::string rapport_voie(const ResultatVoie& r);
std::string rapport_seuils(const std::vector<ResultatVoie>& voies);
std::string rapport_comparaison(const ResultatVoie& web, const ResultatVoie& pont);
std::string rapport_regards(const std::vector<ResultatRegards>& regards, const std::string& raison);

} // namespace korva::charge
