// A program on a pseudo-terminal of the benchmark's own: the lobby started as sshd starts it, or
// an ssh client; its master side read and written on the benchmark's io_context.
#include "lien.hpp"

#include <array>
#include <csignal>
#include <deque>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::charge {

namespace {

class LienTerminal : public Lien {
public:
    LienTerminal(asio::io_context& io, std::vector<std::string> commande,
                 std::vector<std::string> environnement)
        : io_(io), commande_(std::move(commande)), environnement_(std::move(environnement)) {}

    ~LienTerminal() override { fermer(); }

    void ouvrir() override {
        winsize taille{50, 110, 0, 0};
        int maitre = -1;
        pid_ = ::forkpty(&maitre, nullptr, nullptr, &taille);
        if (pid_ < 0) {
            return perdu(0);
        }
        if (pid_ == 0) {
            std::vector<char*> arguments;
            for (std::string& a : commande_) {
                arguments.push_back(a.data());
            }
            arguments.push_back(nullptr);
            for (const std::string& v : environnement_) {
                ::putenv(const_cast<char*>(v.c_str()));
            }
            ::signal(SIGPIPE, SIG_DFL);
            ::execvp(arguments[0], arguments.data());
            ::_exit(127);
        }
        ::fcntl(maitre, F_SETFD, FD_CLOEXEC); // no other program keeps it open
        flux_ = std::make_unique<asio::posix::stream_descriptor>(io_, maitre);
        flux_->non_blocking(true);
        lire();
    }

    void envoyer(std::string touches) override {
        if (!flux_) {
            return;
        }
        a_ecrire_.push_back(std::move(touches));
        if (a_ecrire_.size() == 1) {
            ecrire();
        }
    }

    void fermer() override {
        if (flux_) {
            boost::system::error_code ignoree;
            flux_->close(ignoree); // the program's terminal hangs up
            flux_.reset();
        }
        if (pid_ > 0) {
            // Reaped now if it ended; otherwise by the benchmark's guardian at the end.
            ::waitpid(pid_, nullptr, WNOHANG);
        }
    }

    pid_t processus() const override { return pid_; }

private:
    void perdu(int statut) {
        if (quand_perdu) {
            quand_perdu(statut);
        }
    }

    void lire() {
        flux_->async_read_some(asio::buffer(tampon_),
                               [this](boost::system::error_code e, std::size_t n) {
                                   if (e) {
                                       if (e != asio::error::operation_aborted) {
                                           perdu(0);
                                       }
                                       return;
                                   }
                                   if (quand_recu) {
                                       quand_recu(std::string_view(tampon_.data(), n));
                                   }
                                   if (flux_) {
                                       lire();
                                   }
                               });
    }

    void ecrire() {
        asio::async_write(*flux_, asio::buffer(a_ecrire_.front()),
                          [this](boost::system::error_code e, std::size_t) {
                              if (e) {
                                  return;
                              }
                              a_ecrire_.pop_front();
                              if (!a_ecrire_.empty() && flux_) {
                                  ecrire();
                              }
                          });
    }

    asio::io_context& io_;
    std::vector<std::string> commande_, environnement_;
    pid_t pid_ = -1;
    std::unique_ptr<asio::posix::stream_descriptor> flux_;
    std::array<char, 65536> tampon_{};
    std::deque<std::string> a_ecrire_;
};

} // namespace

std::unique_ptr<Lien> lien_terminal(asio::io_context& io, std::vector<std::string> commande,
                                    std::vector<std::string> environnement) {
    return std::make_unique<LienTerminal>(io, std::move(commande), std::move(environnement));
}

} // namespace korva::charge
