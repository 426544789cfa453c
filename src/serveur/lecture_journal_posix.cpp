#include "serveur/lecture_journal.hpp"

#include <algorithm>
#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva::serveur {

namespace {

constexpr std::size_t MORCEAU = 65536;
// A follower reads this much at a call at most; the rest comes at the next.
constexpr std::size_t LECTURE_MAX = std::size_t{4} << 20;

class Descripteur {
public:
    explicit Descripteur(const std::string& chemin)
        : d_(::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~Descripteur() {
        if (d_ >= 0) {
            ::close(d_);
        }
    }
    Descripteur(const Descripteur&) = delete;
    Descripteur& operator=(const Descripteur&) = delete;
    int operator*() const { return d_; }

private:
    int d_;
};

// Reads up to `taille` bytes at `position`; fewer at the file's end.
std::string lire_a(int d, std::uintmax_t position, std::size_t taille) {
    std::string texte(taille, '\0');
    std::size_t lus = 0;
    while (lus < taille) {
        const ssize_t n =
            ::pread(d, texte.data() + lus, taille - lus, static_cast<off_t>(position + lus));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        lus += static_cast<std::size_t>(n);
    }
    texte.resize(lus);
    return texte;
}

// Each whole line of `texte` read as a game, in order; what follows the last line feed stays.
void lire_lignes(std::string& texte, std::vector<PartieFinie>& parties) {
    std::size_t debut = 0;
    for (std::size_t fin; (fin = texte.find('\n', debut)) != std::string::npos; debut = fin + 1) {
        if (std::optional<PartieFinie> p =
                lire_ligne_partie(std::string_view(texte).substr(debut, fin - debut))) {
            parties.push_back(std::move(*p));
        }
    }
    texte.erase(0, debut);
}

} // namespace

std::string chemin_journal_parties(const Configuration& c) {
    return c.donnees + "/parties.txt";
}

std::vector<PartieFinie> dernieres_parties(const std::string& chemin, std::size_t nombre,
                                           const std::function<bool(const PartieFinie&)>& garder) {
    std::vector<PartieFinie> parties;
    const Descripteur d(chemin);
    struct stat etat {};
    if (*d < 0 || ::fstat(*d, &etat) != 0 || !S_ISREG(etat.st_mode)) {
        return parties;
    }
    // Backwards a piece at a time: `suite` holds the start of the line the last piece cut.
    std::uintmax_t fin = static_cast<std::uintmax_t>(etat.st_size);
    std::string suite;
    while (parties.size() < nombre && (fin > 0 || !suite.empty())) {
        const std::size_t taille = static_cast<std::size_t>(std::min<std::uintmax_t>(fin, MORCEAU));
        fin -= taille;
        std::string texte = lire_a(*d, fin, taille) + suite;
        // The first line of the piece may have begun in the piece before it.
        const std::size_t coupure = fin == 0 ? 0 : texte.find('\n');
        if (coupure == std::string::npos) {
            // One line longer than a piece: read further back, unless it is longer than any
            // game's line could be.
            suite = texte.size() > LECTURE_MAX ? std::string() : std::move(texte);
            continue;
        }
        suite = texte.substr(0, fin == 0 ? 0 : coupure + 1);
        // Whole lines only: the log's last one may still be being written.
        std::string lignes = texte.substr(suite.size());
        std::vector<PartieFinie> morceau;
        lire_lignes(lignes, morceau);
        for (auto p = morceau.rbegin(); p != morceau.rend() && parties.size() < nombre; ++p) {
            if (!garder || garder(*p)) {
                parties.push_back(std::move(*p));
            }
        }
    }
    return parties;
}

std::uintmax_t fin_du_journal(const std::string& chemin) {
    struct stat etat {};
    return ::stat(chemin.c_str(), &etat) == 0 ? static_cast<std::uintmax_t>(etat.st_size) : 0;
}

std::vector<PartieFinie> parties_depuis(const std::string& chemin, std::uintmax_t debut) {
    std::vector<PartieFinie> parties;
    const Descripteur d(chemin);
    if (*d >= 0) {
        std::string lu = lire_a(*d, debut, LECTURE_MAX);
        lire_lignes(lu, parties);
    }
    return parties;
}

std::vector<PartieFinie> SuiviJournal::suite() {
    std::vector<PartieFinie> parties;
    const Descripteur d(chemin_);
    struct stat etat {};
    if (*d < 0 || ::fstat(*d, &etat) != 0 || !S_ISREG(etat.st_mode)) {
        return parties;
    }
    const auto taille = static_cast<std::uintmax_t>(etat.st_size);
    const auto fichier = static_cast<std::uintmax_t>(etat.st_ino);
    if (fichier != fichier_ || taille < lus_) {
        // A new log, or one cut short: taken up near its end, from a line's start.
        fichier_ = fichier;
        lus_ = taille > TAILLE_REPRISE ? taille - TAILLE_REPRISE : 0;
        reste_.clear();
        if (lus_ > 0) {
            const std::string avant = lire_a(*d, lus_, MORCEAU);
            const std::size_t saut = avant.find('\n');
            lus_ += saut == std::string::npos ? avant.size() : saut + 1;
        }
    }
    const std::size_t a_lire = static_cast<std::size_t>(
        std::min<std::uintmax_t>(taille - std::min(taille, lus_), LECTURE_MAX));
    const std::string lu = lire_a(*d, lus_, a_lire);
    lus_ += lu.size();
    reste_ += lu;
    lire_lignes(reste_, parties);
    if (reste_.size() > LECTURE_MAX) {
        reste_.clear(); // no game's line is that long: whatever it is, it is passed over
    }
    return parties;
}

} // namespace korva::serveur
