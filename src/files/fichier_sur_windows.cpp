#include "files/fichier_sur.hpp"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iterator>
#include <sys/stat.h>

namespace korva {

const bool FINS_DE_LIGNE_CRLF = true;

namespace {

// A file another program holds open (a virus scanner, a reader) refuses to be replaced for a
// moment: the rename is tried again for about a second.
constexpr int ESSAIS_REMPLACEMENT = 20;
constexpr DWORD ATTENTE_REMPLACEMENT = 50;
constexpr int ESSAIS_NOM_TEMPORAIRE = 100;

// The system's reason, in the C library's numbering that the game's reports use.
int numero_depuis_windows(DWORD erreur) {
    switch (erreur) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    default:
        return EIO;
    }
}

// A path as the system's wide-character calls take it. Names are typed in UTF-8, so that a save
// keeps its name from one system to another; a path that is not UTF-8 (a name saved before)
// is read in the system's code page, as the narrow calls read it then.
std::wstring large(const std::string& chemin) {
    for (const UINT page : {CP_UTF8, CP_ACP}) {
        const DWORD drapeaux = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int taille = static_cast<int>(chemin.size());
        const int n = MultiByteToWideChar(page, drapeaux, chemin.data(), taille, nullptr, 0);
        if (n > 0) {
            std::wstring resultat(static_cast<std::size_t>(n), L'\0');
            MultiByteToWideChar(page, drapeaux, chemin.data(), taille, resultat.data(), n);
            return resultat;
        }
    }
    return {};
}

bool tout_ecrire(HANDLE fichier, std::string_view contenu) {
    std::size_t ecrit = 0;
    while (ecrit < contenu.size()) {
        const DWORD morceau =
            static_cast<DWORD>(std::min<std::size_t>(contenu.size() - ecrit, std::size_t{1} << 30));
        DWORD n = 0;
        if (!WriteFile(fichier, contenu.data() + ecrit, morceau, &n, nullptr)) {
            return false;
        }
        ecrit += n;
    }
    return true;
}

// A new file beside `chemin` that no one else is writing.
HANDLE creer_temporaire(const std::wstring& chemin, std::wstring& temporaire) {
    const unsigned long long graine = GetTickCount64() ^ (GetCurrentProcessId() * 2654435761ULL);
    for (int essai = 0; essai < ESSAIS_NOM_TEMPORAIRE; ++essai) {
        char suffixe[40];
        std::snprintf(suffixe, sizeof suffixe, ".%08llx.tmp", (graine + essai) & 0xFFFFFFFFULL);
        temporaire = chemin + large(suffixe);
        const HANDLE fichier = CreateFileW(temporaire.c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (fichier != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return fichier;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool remplacer(const std::wstring& temporaire, const std::wstring& chemin) {
    for (int essai = 1;; ++essai) {
        if (MoveFileExW(temporaire.c_str(), chemin.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD erreur = GetLastError();
        if (essai == ESSAIS_REMPLACEMENT ||
            (erreur != ERROR_ACCESS_DENIED && erreur != ERROR_SHARING_VIOLATION &&
             erreur != ERROR_LOCK_VIOLATION)) {
            return false;
        }
        Sleep(ATTENTE_REMPLACEMENT);
    }
}

// The file a link at `chemin` leads to, or `chemin` itself (also when the link leads nowhere).
std::wstring cible_du_lien(const std::wstring& chemin) {
    const DWORD attributs = GetFileAttributesW(chemin.c_str());
    if (attributs == INVALID_FILE_ATTRIBUTES || (attributs & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return chemin;
    }
    const HANDLE fichier =
        CreateFileW(chemin.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (fichier == INVALID_HANDLE_VALUE) {
        return chemin;
    }
    wchar_t cible[MAX_PATH * 4];
    const DWORD n =
        GetFinalPathNameByHandleW(fichier, cible, std::size(cible), FILE_NAME_NORMALIZED);
    CloseHandle(fichier);
    return n > 0 && n < std::size(cible) ? std::wstring(cible, n) : chemin;
}

} // namespace

bool lire_fichier(const std::string& chemin, std::string& contenu, int& numero_erreur) {
    const HANDLE fichier =
        CreateFileW(large(chemin).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (fichier == INVALID_HANDLE_VALUE) {
        numero_erreur = numero_depuis_windows(GetLastError());
        return false;
    }
    // A device (the console, a printer port) or a pipe would be read as if it were the file.
    LARGE_INTEGER taille{};
    bool reussi = false;
    if (GetFileType(fichier) != FILE_TYPE_DISK) {
        numero_erreur = ERREUR_PAS_UN_FICHIER;
    } else if (!GetFileSizeEx(fichier, &taille)) {
        numero_erreur = numero_depuis_windows(GetLastError());
    } else if (static_cast<unsigned long long>(taille.QuadPart) > TAILLE_LECTURE_MAX) {
        numero_erreur = ERREUR_TROP_GRAND;
    } else {
        std::string lu;
        char tampon[65536];
        DWORD n = 0;
        for (;;) {
            if (!ReadFile(fichier, tampon, sizeof tampon, &n, nullptr)) {
                numero_erreur = numero_depuis_windows(GetLastError());
                break;
            }
            if (n == 0) {
                contenu = std::move(lu);
                reussi = true;
                break;
            }
            if (lu.size() + n > TAILLE_LECTURE_MAX) {
                numero_erreur = ERREUR_TROP_GRAND;
                break;
            }
            lu.append(tampon, n);
        }
    }
    CloseHandle(fichier);
    return reussi;
}

bool ajouter_au_fichier(const std::string& chemin, std::string_view ligne, int& numero_erreur) {
    // Opened for appending only: each write lands whole at the end of the file as it then
    // stands, whoever else writes there at the same moment.
    const HANDLE fichier = CreateFileW(large(chemin).c_str(), FILE_APPEND_DATA,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (fichier == INVALID_HANDLE_VALUE) {
        numero_erreur = numero_depuis_windows(GetLastError());
        return false;
    }
    DWORD ecrits = 0;
    const bool entiere =
        GetFileType(fichier) == FILE_TYPE_DISK && ligne.size() <= MAXDWORD &&
        WriteFile(fichier, ligne.data(), static_cast<DWORD>(ligne.size()), &ecrits, nullptr) &&
        ecrits == ligne.size();
    if (!entiere) {
        numero_erreur = ecrits == 0 ? numero_depuis_windows(GetLastError()) : EIO;
    }
    CloseHandle(fichier);
    return entiere;
}

bool fichier_existe(const std::string& chemin) {
    return GetFileAttributesW(large(chemin).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ecrire_fichier_atomique(const std::string& lien_ou_fichier, std::string_view contenu,
                             int& numero_erreur) {
    // A file kept elsewhere through a link is written where it lies, and the link stays.
    const std::wstring chemin = cible_du_lien(large(lien_ou_fichier));
    const DWORD attributs = GetFileAttributesW(chemin.c_str());
    if (attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        numero_erreur = EISDIR; // said as every system says it
        return false;
    }
    if (attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_READONLY) != 0) {
        numero_erreur = EACCES; // the player made it read-only: it is not replaced
        return false;
    }
    std::wstring temporaire;
    const HANDLE fichier = creer_temporaire(chemin, temporaire);
    if (fichier == INVALID_HANDLE_VALUE) {
        numero_erreur = numero_depuis_windows(GetLastError());
        return false;
    }
    bool reussi = tout_ecrire(fichier, contenu) && FlushFileBuffers(fichier);
    if (!reussi) {
        numero_erreur = numero_depuis_windows(GetLastError());
    }
    if (!CloseHandle(fichier) && reussi) {
        numero_erreur = numero_depuis_windows(GetLastError());
        reussi = false;
    }
    if (reussi && !remplacer(temporaire, chemin)) {
        numero_erreur = numero_depuis_windows(GetLastError());
        reussi = false;
    }
    if (!reussi) {
        DeleteFileW(temporaire.c_str());
    }
    return reussi;
}

// The lock is a C library descriptor, as elsewhere; Windows locks its file handle.
VerrouFichier::VerrouFichier(const std::string& chemin_garde) {
    const std::wstring chemin = large(chemin_garde + ".lock");
    const DWORD attributs = GetFileAttributesW(chemin.c_str());
    if (attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        erreur_ = EISDIR; // said as every system says it
        return;
    }
    descripteur_ = ::_wopen(chemin.c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT,
                            _S_IREAD | _S_IWRITE);
    if (descripteur_ < 0) {
        erreur_ = errno;
        return;
    }
    OVERLAPPED debut{};
    const HANDLE fichier = reinterpret_cast<HANDLE>(::_get_osfhandle(descripteur_));
    if (!LockFileEx(fichier, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &debut)) {
        erreur_ = numero_depuis_windows(GetLastError());
        ::_close(descripteur_);
        descripteur_ = -1;
    }
}

VerrouFichier::~VerrouFichier() {
    if (descripteur_ >= 0) {
        OVERLAPPED debut{};
        UnlockFileEx(reinterpret_cast<HANDLE>(::_get_osfhandle(descripteur_)), 0, MAXDWORD,
                     MAXDWORD, &debut);
        ::_close(descripteur_);
    }
}

} // namespace korva
