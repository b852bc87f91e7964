// Noise: the settings a setup tick reads, drawing ticks against the same
// ticks done literally as the frame changes, with the interval set first,
// lines on the last row written out; and the process's random sequence that
// the lines come from.
#include "effects/noise.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

using NoiseTest = test_support::EffectRunTest<NoiseState, NoiseTick>;

TEST_F(NoiseTest, FramesMatchTheLiteralTickAsTheFrameChanges)
{
    // Lines below a preview frame land on surface rows that no later frame
    // restores, exactly as in the literal tick.
    const std::vector<FrameSize> sizes = {{24, 16}, {24, 16}, {12, 8}, {12, 8}, {20, 5}, {24, 16}, {0, 0},
                                          {1, 1},   {30, 20}, {24, 3}, {5, 16}, {24, 16}, {24, 16}};
    for (const auto& [deal, lines] : {std::pair{"", 80}, {"Deal=2", 60}, {"Deal=99", 2000}, {"Deal=-1", 0}}) {
        // The setup tick draws nothing, makes no draws and keeps Timer2's
        // starting interval.
        Start(MakeTestPattern(24, 16), std::string("[Noise]\n") + deal + "\n");
        EXPECT_EQ(state.LinesPerTick, lines) << deal;
        EXPECT_EQ(host->IntervalChanges() + host->PresentCount(), 0);
        // The literal tick: the interval drawn first, the whole snapshot
        // copied over the frame, then each line's row and colour, a later
        // line covering an earlier one.
        Surface literal = Frame();
        RandomSource random;
        for (std::size_t tick = 0; tick < sizes.size(); ++tick) {
            // The next interval is set while the window still shows the last
            // frame. A refused timer ends the tick there, and the next tick
            // goes on as if that one had drawn nothing.
            const Surface before = Frame();
            if (tick == 4) {
                host->SetIntervalHandler([](std::uint32_t) { throw std::runtime_error("timer refused"); });
                EXPECT_THROW(NoiseTick(*host, state), std::runtime_error);
                random.Next(460);
            }
            host->SetIntervalHandler([&](std::uint32_t) { EXPECT_TRUE(Frame() == before) << tick; });
            const auto [width, height] = sizes[tick];
            host->SetFrameSize(width, height);
            Tick();
            const std::uint32_t interval = random.Next(460) + 40;
            CopyArea(literal, {0, 0, width, height}, Snapshot(), {0, 0, width, height});
            for (std::int32_t i = 0; i < lines; ++i) {
                const auto y = static_cast<std::int32_t>(random.Next(height + 20u)) - 10;
                std::uint8_t rgb[3];
                for (std::uint8_t& component : rgb) component = static_cast<std::uint8_t>(random.Next(128));
                DrawRowLine(literal, y, 0, width, MakeColour(rgb[0], rgb[1], rgb[2]));
            }
            ASSERT_EQ(Frame(), literal) << deal << ", tick " << tick;
            ASSERT_EQ(host->Timer2Interval(), interval) << deal << ", tick " << tick;
            ASSERT_EQ(host->Random().Seed(), random.Seed()) << deal << ", tick " << tick;
        }
    }
}

TEST_F(NoiseTest, LinesOnTheLastRowAsTheFrameShortensNarrowsWidensAndGrowsTaller)
{
    // Deal 0 on a 6 x 4 screen: twenty lines a frame, each seed below
    // putting the one or none that lands on the screen where the comment
    // says. Each frame puts the snapshot back inside W x H, then draws its
    // lines across W. A line below a short frame or past a narrow one stays
    // on the screen until a frame that covers it puts the snapshot back.
    Start(test_support::Picture("abcdef/ghijkl/mnopqr/stuvwx"), "[Noise]\nDeal=0\n");
    ExpectTicks({{{6, 4}, 173, "abcdef/ghijkl/mnopqr/111111"},   // line 1 on row 3, the last
                 {{6, 3}, 39, "abcdef/ghijkl/222222/111111"},    // line 2 on row 2, the last
                 {{4, 3}, 92, "abcdef/3333kl/mnop22/111111"},    // line 3 on row 1
                 {{6, 3}, 59, "abcdef/ghijkl/mnopqr/111111"},    // none
                 {{6, 4}, 65, "444444/ghijkl/mnopqr/stuvwx"}},   // line 4 on row 0
                {MakeColour(121, 47, 32), MakeColour(45, 93, 30), MakeColour(33, 107, 112), MakeColour(110, 36, 91)});
}

TEST(RandomSourceTest, SeedZeroGivesTheKnownSequenceAndTheClockSeedsWithTheMillisecondOfTheDay)
{
    // A draw from one value still moves the sequence on.
    RandomSource random;
    std::vector<std::uint32_t> drawn;
    for (std::uint32_t n : {128u, 1u, 128u, 128u}) drawn.push_back(random.Next(n));
    EXPECT_EQ(drawn, (std::vector<std::uint32_t>{0, 0, 110, 25}));
    random.SeedFromClock(FixedClock({23, 59, 59, 999}));
    EXPECT_EQ(random.Seed(), 86399999u);
}

} // namespace
} // namespace nimbrel
