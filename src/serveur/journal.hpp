// The server's log: one line on the error stream for each login, failed login, registration,
// game started and game ended, for the system's journal or a file to keep.
#pragma once

#include "console/console.hpp"

namespace korva::serveur {

void journal(const char* format, ...) KORVA_FORMAT_PRINTF(1, 2);
// The program the log's lines are of (korva-serveur unless another names itself).
void nommer_journal(const char* programme);

} // namespace korva::serveur
