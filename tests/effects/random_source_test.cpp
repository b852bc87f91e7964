// The process's random sequence and its clock seed.
#include "effects/random_source.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_effect_host.h"

namespace nimbrel {
namespace {

class RandomSourceTest : public ::testing::Test {};

TEST_F(RandomSourceTest, SeedZeroGivesTheKnownSequence)
{
    RandomSource random;
    EXPECT_EQ(random.Next(128), 0u);
    EXPECT_EQ(random.Next(128), 4u);
    EXPECT_EQ(random.Next(128), 110u);
    EXPECT_EQ(random.Next(128), 25u);
}

TEST_F(RandomSourceTest, NextOfOneIsZeroAndStillAdvances)
{
    RandomSource random;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(random.Next(1), 0u);
    EXPECT_EQ(random.Next(128), 25u);  // the fourth of the known sequence
}

TEST_F(RandomSourceTest, SeedIsTheMillisecondsOfTheUtcDay)
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
