// Places counted across the server's processes (its lobbies, korva-web, the operator's
// commands): a pool of N places is one file, each place a byte of it held by a lock of the open
// file's own, which the system lets go however its holder ends. Nothing to clean after a crash.
#pragma once

#include <optional>
#include <string>

namespace korva::serveur {

// A place held for as long as this lives.
class Place {
public:
    Place() = default;
    Place(Place&& autre) noexcept;
    Place& operator=(Place&& autre) noexcept;
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;
    ~Place();

    bool tenue() const { return descripteur_ >= 0; }

private:
    friend std::optional<Place> prendre_place(const std::string&, int);
    friend Place attendre_place(const std::string&, int);
    explicit Place(int descripteur) : descripteur_(descripteur) {}
    int descripteur_ = -1;
};

// One of the `nombre` places of the pool `fichier`, made when missing; nothing when all are held
// (or the pool's file cannot be opened).
std::optional<Place> prendre_place(const std::string& fichier, int nombre);
// The same, waiting for a place to free when all are held; an unheld place when the pool's file
// cannot be opened.
Place attendre_place(const std::string& fichier, int nombre);
// How many of the pool's first `nombre` places are held now.
int places_tenues(const std::string& fichier, int nombre);

} // namespace korva::serveur
