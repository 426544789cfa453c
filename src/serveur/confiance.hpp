// What the server takes on another's word: the files it reads and runs (its settings, the game,
// the lobby), and as the korva account's shell, its environment. The account is reached by
// anyone on the machine (su, a console login), so a file is taken only from those who could be
// the account already, root and the user the program runs as, and of what su passes on from its
// caller, only what a session needs.
#pragma once

#include <string>
#include <string_view>

namespace korva::serveur {

// Whether the file at `chemin` may be read or run as the server's own: once its links are
// resolved, it is a regular file that root or this program's user owns and nobody else may
// write, under folders up to / that are as safe. A folder others may write stands above only
// with its sticky bit (/tmp), which keeps every entry its owner's. When it may, `chemin` becomes
// the path it leads to, which nobody else can change after this check. Otherwise false, with
// `raison` naming the path, the part of it refused, and who owns it or may write it.
bool rendre_sur(std::string& chemin, std::string& raison);

// Whether the lobby, started as the account's shell, keeps the variable "NAME=VALUE" of its
// environment: what sshd, login and su set themselves, and the player's terminal, locale and
// time zone unless these name a file. The rest comes from whoever called su: TERMINFO or
// TERMINFO_DIRS would have the lobby and the game read terminal descriptions of the caller's
// making, and other variables steer other libraries.
bool variable_de_session(std::string_view variable);
// Keeps of the process's environment only what variable_de_session keeps, and a locale this
// system has (garder_une_locale_connue).
void garder_environnement_de_session();
// A locale asked for that the system lacks gives way to C.UTF-8 when it was a UTF-8 one.
void garder_une_locale_connue();

} // namespace korva::serveur
