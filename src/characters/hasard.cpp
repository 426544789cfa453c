#include "characters/hasard.hpp"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>

namespace korva {

namespace {

Hasard source_courante = hasard_systeme();

// An additive lagged Fibonacci generator, r[i] = r[i-3] + r[i-31], its 31 first words spread
// from the seed by the minimal standard generator and its first 310 outputs thrown away: the
// generator behind the GNU C library's `rand`.
class GenerateurPortable {
public:
    void semer(unsigned graine) {
        constexpr std::int64_t MODULE = 2147483647;
        etat_[0] = graine == 0 ? 1 : graine;
        for (std::size_t i = 1; i < DEGRE; ++i) {
            const std::int64_t suivant =
                (16807 * static_cast<std::int64_t>(static_cast<std::int32_t>(etat_[i - 1]))) %
                MODULE;
            etat_[i] = static_cast<std::uint32_t>(suivant < 0 ? suivant + MODULE : suivant);
        }
        avant_ = ECART;
        arriere_ = 0;
        for (int i = 0; i < ECARTES; ++i) {
            tirer();
        }
    }

    int tirer() {
        etat_[avant_] += etat_[arriere_];
        const std::uint32_t resultat = etat_[avant_] >> 1;
        avant_ = (avant_ + 1) % DEGRE;
        arriere_ = (arriere_ + 1) % DEGRE;
        return static_cast<int>(resultat);
    }

private:
    static constexpr std::size_t DEGRE = 31;
    static constexpr std::size_t ECART = 3;
    static constexpr int ECARTES = 310;
    std::array<std::uint32_t, DEGRE> etat_{};
    std::size_t avant_ = ECART;
    std::size_t arriere_ = 0;
};

} // namespace

Hasard installer_hasard(Hasard source) {
    return std::exchange(source_courante, std::move(source));
}

void semer_hasard(unsigned graine) {
    source_courante.semer(graine);
}

int tirer_hasard() {
    return source_courante.tirer();
}

Hasard hasard_systeme() {
    return {[](unsigned graine) { std::srand(graine); }, [] { return std::rand(); }};
}

Hasard hasard_portable() {
    auto generateur = std::make_shared<GenerateurPortable>();
    generateur->semer(1); // as `rand` draws before any seed
    return {[generateur](unsigned graine) { generateur->semer(graine); },
            [generateur] { return generateur->tirer(); }};
}

} // namespace korva
