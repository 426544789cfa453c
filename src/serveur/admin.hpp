// The operator's commands: the accounts and the games in progress listed, an account locked or
// unlocked, its connections ended, a password reset, registration opened or closed, the
// settings in force listed, an older server's shared registry split.
#pragma once

#include "serveur/configuration.hpp"

#include <string>
#include <vector>

namespace korva::serveur {

// The commands, one a line, for the usage.
inline constexpr const char* COMMANDES_ADMIN =
    "  accounts         list the accounts: name, open or locked, failed logins\n"
    "  games            list the games in progress: account, hero, idle seconds\n"
    "  lock NAME        lock the account NAME and end its connections: it no longer logs in\n"
    "  unlock NAME      unlock it\n"
    "  kick NAME        end the connections of the account NAME (a game under way is saved)\n"
    "  password NAME    reset its password to the line read from the input\n"
    "  open             open registration\n"
    "  close            close registration\n"
    "  settings         list the settings in force, a key left out at its default\n"
    "  split-registry   split an older server's shared registry into each account's own\n";

// Carries out the command `mots` (its name and its argument); prints what it lists or did on
// the output, a failure on the error stream. The process's status: 0 done, 1 failed, 2 no such
// command.
int administrer(const Configuration& c, const std::vector<std::string>& mots);

} // namespace korva::serveur
