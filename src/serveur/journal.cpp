#include "serveur/journal.hpp"

#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace korva::serveur {

namespace {
const char* programme_ = "korva-serveur";
} // namespace

void nommer_journal(const char* programme) {
    programme_ = programme;
}

void journal(const char* format, ...) {
    char quand[32] = "";
    const std::time_t maintenant = std::time(nullptr);
    if (const std::tm* utc = std::gmtime(&maintenant)) {
        std::strftime(quand, sizeof quand, "%Y-%m-%dT%H:%M:%SZ", utc);
    }
    char ligne[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(ligne, sizeof ligne, format, arguments);
    va_end(arguments);
    // One write for the whole line, so that lines of connections at once never mix.
    std::fprintf(stderr, "%s %s: %s\n", quand, programme_, ligne);
    std::fflush(stderr);
}

} // namespace korva::serveur
