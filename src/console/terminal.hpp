// The console of the platform the game runs on.
#pragma once

#include "console/console.hpp"

#include <memory>

namespace korva {

// The real console: the terminal on POSIX systems, the console window on Windows.
std::unique_ptr<Console> creer_console_terminal();

} // namespace korva
