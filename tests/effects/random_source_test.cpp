// The process's random sequence and its clock seed.
#include "effects/random_source.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless_effect_host.h"

namespace nimbrel {
namespace {

TEST(RandomSourceTest, SeedZeroGivesTheKnownSequenceAndNextOfOneStillAdvances)
{
    RandomSource random;
    std::vector<std::uint32_t> drawn;
    for (int i = 0; i < 4; ++i) drawn.push_back(random.Next(128));
    EXPECT_EQ(drawn, (std::vector<std::uint32_t>{0, 4, 110, 25}));

    RandomSource ones;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ones.Next(1), 0u);
    EXPECT_EQ(ones.Next(128), 25u);  // the fourth of the known sequence
}

TEST(RandomSourceTest, SeedIsTheMillisecondsOfTheUtcDay)
{
    RandomSource random(77);
    random.SeedFromClock(FixedClock({23, 59, 59, 999}));
    EXPECT_EQ(random.Seed(), 86399999u);
    random.SeedFromClock(FixedClock({1, 2, 3, 4}));
    EXPECT_EQ(random.Seed(), 3723004u);
    EXPECT_LT(SystemClock().UtcTimeOfDay().Hour, 24u);
}

} // namespace
} // namespace nimbrel
