// The dice a game is played with: the standard generator, seeded at creation, draws the same
// numbers from the same seed and others from another (the tests draw from their own dice).
#include "characters/hasard.hpp"

#include <gtest/gtest.h>

namespace korva {
namespace {

TEST(Hasard, ThePlayedDiceFollowTheirSeed) {
    const Hasard systeme = hasard_systeme();
    const auto tirages = [&systeme](unsigned graine) {
        systeme.semer(graine);
        return std::vector{systeme.tirer(), systeme.tirer(), systeme.tirer(), systeme.tirer()};
    };
    EXPECT_EQ(tirages(1765000000), tirages(1765000000));
    EXPECT_NE(tirages(1765000000), tirages(1765000001));
}

} // namespace
} // namespace korva
