// The pages told of each change of the lists (CHEMIN_EVENEMENTS), on the serving thread: the
// state thread hands each new JSON over to it, and this hands it to every page subscribed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace korva::web {

class Abonnes {
public:
    using Pousser = std::function<void(const std::shared_ptr<const std::string>&)>;
    using Jeton = std::shared_ptr<void>;

    // `pousser` is given each JSON published from now on, for as long as the token lives.
    Jeton abonner(Pousser pousser);
    void publier(const std::shared_ptr<const std::string>& json);

private:
    std::uint64_t suivant_ = 0;
    std::shared_ptr<std::map<std::uint64_t, Pousser>> abonnes_ =
        std::make_shared<std::map<std::uint64_t, Pousser>>();
};

} // namespace korva::web
