#include "serveur/confiance.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva::serveur {

namespace {

constexpr std::array<std::string_view, 8> ETABLIES{
    "HOME", "USER", "LOGNAME", "SHELL", "SSH_CONNECTION", "SSH_CLIENT", "SSH_TTY", "NO_COLOR"};
constexpr std::array<std::string_view, 4> NOMMEES{"TERM", "LANG", "TZ", "LC_"}; // LC_: each

std::string nom_utilisateur(uid_t uid) {
    const passwd* p = ::getpwuid(uid);
    return p != nullptr ? p->pw_name : "uid " + std::to_string(uid);
}

std::string nom_groupe(gid_t gid) {
    const group* g = ::getgrgid(gid);
    return g != nullptr ? g->gr_name : "gid " + std::to_string(gid);
}

// Why nobody but root and this program's user is sure to hold what `s` describes, or nothing.
// A named user's or group's access beyond the owner's shows in the group's bits (as the mask of
// its access control list), so those bits speak for every other user.
std::string faille(const struct stat& s, bool dernier) {
    const uid_t moi = ::geteuid();
    if (s.st_uid != 0 && s.st_uid != moi) {
        return "is owned by " + nom_utilisateur(s.st_uid) + ", not by root" +
               (moi != 0 ? " or " + nom_utilisateur(moi) : "");
    }
    if (S_ISLNK(s.st_mode)) {
        return "changed while it was checked";
    }
    if (dernier ? !S_ISREG(s.st_mode) : !S_ISDIR(s.st_mode)) {
        return dernier ? "is not a regular file" : "is not a folder";
    }
    // In a folder with the sticky bit, only an entry's owner may rename or remove it.
    if (!dernier && (s.st_mode & S_ISVTX) != 0) {
        return "";
    }
    if ((s.st_mode & S_IWOTH) != 0) {
        return "is writable by anyone";
    }
    if ((s.st_mode & S_IWGRP) != 0) {
        return "is writable by the group " + nom_groupe(s.st_gid);
    }
    return "";
}

} // namespace

bool rendre_sur(std::string& chemin, std::string& raison) {
    char resolu[PATH_MAX];
    if (::realpath(chemin.c_str(), resolu) == nullptr) {
        raison = chemin + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::string> noms;
    for (std::string_view reste = resolu + 1; !reste.empty();) {
        const std::size_t fin = std::min(reste.find('/'), reste.size());
        noms.emplace_back(reste.substr(0, fin));
        reste.remove_prefix(std::min(fin + 1, reste.size()));
    }
    // From / down, each part opened from the folder checked before it, and never through a
    // link: what is checked is what was opened, whatever is renamed meanwhile.
    std::string partie = "/";
    int ouvert = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; ouvert >= 0; ++i) {
        struct stat s {};
        const std::string erreur =
            ::fstat(ouvert, &s) != 0 ? std::strerror(errno) : faille(s, i == noms.size());
        if (!erreur.empty() || i == noms.size()) {
            ::close(ouvert);
            if (!erreur.empty()) {
                raison = chemin + ": refused, since " + partie + " " + erreur;
                return false;
            }
            chemin = resolu;
            return true;
        }
        partie += (i > 0 ? "/" : "") + noms[i];
        const int suivant = ::openat(ouvert, noms[i].c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        const int numero = errno;
        ::close(ouvert);
        ouvert = suivant;
        errno = numero;
    }
    raison = chemin + ": " + std::strerror(errno);
    return false;
}

// What decides the characters of a locale, the first one set winning.
constexpr std::array<const char*, 3> LOCALE_CARACTERES{"LC_ALL", "LC_CTYPE", "LANG"};

bool variable_de_session(std::string_view variable) {
    const std::string_view nom = variable.substr(0, variable.find('='));
    const std::string_view valeur = variable.substr(std::min(nom.size() + 1, variable.size()));
    const bool fichier = valeur.find("..") != std::string_view::npos ||
                         valeur.substr(valeur.starts_with(':') ? 1 : 0).starts_with('/');
    const auto est = [nom](std::string_view n) {
        return n == nom || (n.ends_with('_') && nom.starts_with(n));
    };
    return std::any_of(ETABLIES.begin(), ETABLIES.end(), est) ||
           (!fichier && std::any_of(NOMMEES.begin(), NOMMEES.end(), est));
}

void garder_environnement_de_session() {
    std::vector<std::pair<std::string, std::string>> gardees;
    for (char** v = environ; *v != nullptr; ++v) {
        const std::string_view variable = *v;
        const std::size_t egal = std::min(variable.find('='), variable.size());
        if (variable_de_session(variable)) {
            gardees.emplace_back(variable.substr(0, egal),
                                 variable.substr(std::min(egal + 1, variable.size())));
        }
    }
    ::clearenv();
    for (const auto& [nom, valeur] : gardees) {
        ::setenv(nom.c_str(), valeur.c_str(), 1);
    }
    garder_une_locale_connue();
}

void garder_une_locale_connue() {
    // The player's ssh client names the locale of its terminal; one this system lacks would
    // leave the lobby and the game in plain ASCII on a terminal that shows UTF-8: C.UTF-8, which
    // every system has, stands for a UTF-8 one, and the system's own default for any other.
    if (std::setlocale(LC_CTYPE, "") == nullptr) {
        std::string demandee;
        for (const char* nom : LOCALE_CARACTERES) {
            const char* valeur = std::getenv(nom);
            demandee = demandee.empty() && valeur != nullptr ? valeur : demandee;
            ::unsetenv(nom);
        }
        std::transform(demandee.begin(), demandee.end(), demandee.begin(),
                       [](unsigned char o) { return static_cast<char>(std::tolower(o)); });
        if (demandee.find("utf-8") != std::string::npos ||
            demandee.find("utf8") != std::string::npos) {
            ::setenv("LC_CTYPE", "C.UTF-8", 1);
        }
    }
    std::setlocale(LC_CTYPE, "C");
}

} // namespace korva::serveur
