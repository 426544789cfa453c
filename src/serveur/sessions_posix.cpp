#include "serveur/sessions.hpp"

#include "files/lecture_texte.hpp"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva::serveur {

namespace fs = std::filesystem;

namespace {

constexpr auto PAS_D_ATTENTE = std::chrono::milliseconds(20);

std::string dossier_sessions(const Configuration& c, const std::string& nom) {
    return c.donnees + "/sessions/" + nom;
}

// Goes through the lobbies' files of `dossier`: one whose lock is free is removed; `vivante`
// takes each other's pid and an open descriptor of it.
template <typename Vivante> void parcourir(const std::string& dossier, Vivante vivante) {
    std::error_code erreur;
    for (fs::directory_iterator i(dossier, erreur), fin; !erreur && i != fin; i.increment(erreur)) {
        const std::string chemin = i->path().string();
        const std::optional<int> pid = nombre_entier(i->path().filename().string());
        const int d = pid && *pid > 1 ? ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)
                                      : -1; // a file being made, or none of ours
        if (d < 0) {
            continue;
        }
        struct stat ouvert {
        }, nomme{};
        if (::flock(d, LOCK_EX | LOCK_NB) != 0) {
            vivante(*pid, d);
            continue;
        }
        // Unless a lobby of the same pid has put its own in its place meanwhile.
        if (::fstat(d, &ouvert) == 0 && ::stat(chemin.c_str(), &nomme) == 0 &&
            ouvert.st_ino == nomme.st_ino && ouvert.st_dev == nomme.st_dev) {
            ::unlink(chemin.c_str());
        }
        ::close(d);
    }
}

} // namespace

Session::Session(const Configuration& c, const std::string& nom) {
    const std::string dossier = dossier_sessions(c, nom);
    std::error_code erreur;
    fs::create_directories(dossier, erreur);
    parcourir(dossier, [](int, int d) { ::close(d); });
    // Locked before it is named, so that no lobby's file is ever seen free while it runs.
    const std::string pid = std::to_string(::getpid()), provisoire = dossier + "/." + pid;
    chemin_ = dossier + "/" + pid;
    const int d =
        ::open(provisoire.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (d >= 0 && ::flock(d, LOCK_EX | LOCK_NB) == 0 &&
        ::rename(provisoire.c_str(), chemin_.c_str()) == 0) {
        descripteur_ = d;
    } else if (d >= 0) {
        ::unlink(provisoire.c_str());
        ::close(d);
    }
}

Session::~Session() {
    if (descripteur_ >= 0) {
        ::unlink(chemin_.c_str());
        ::close(descripteur_);
    }
}

Fins terminer_sessions(const Configuration& c, const std::string& nom) {
    std::vector<int> signalees;
    parcourir(dossier_sessions(c, nom), [&signalees](int pid, int d) {
        if (::kill(pid, SIGHUP) == 0) {
            signalees.push_back(d);
        } else {
            ::close(d);
        }
    });
    // Each lobby lets go of its lock as it ends, once its game is saved.
    const auto echeance =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(FIN_SESSIONS_MAX_MS);
    Fins fins;
    for (const int d : signalees) {
        while (::flock(d, LOCK_EX | LOCK_NB) != 0 && std::chrono::steady_clock::now() < echeance) {
            std::this_thread::sleep_for(PAS_D_ATTENTE);
        }
        ++(::flock(d, LOCK_EX | LOCK_NB) == 0 ? fins.terminees : fins.en_cours);
        ::close(d);
    }
    parcourir(dossier_sessions(c, nom), [](int, int d) { ::close(d); });
    return fins;
}

} // namespace korva::serveur
