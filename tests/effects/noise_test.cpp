// Noise: the settings a setup tick reads, the interval set first and a
// refused timer, lines on the last row as the frame changes, written out on
// a tiny screen; and the process's random sequence that the lines come from.
#include "effects/noise.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

using NoiseTest = test_support::EffectRunTest<NoiseState, NoiseTick>;

// The colours of the lines that the seeds below put on the screen.
const std::vector<Colour> kInks = {MakeColour(121, 47, 32), MakeColour(45, 93, 30), MakeColour(33, 107, 112),
                                   MakeColour(110, 36, 91)};

TEST_F(NoiseTest, SetupTickReadsTheDealAndDrawsNothing)
{
    // The setup tick draws nothing, makes no draws and keeps Timer2's
    // starting interval.
    for (const auto& [deal, lines] : {std::pair{"", 80}, {"Deal=2", 60}, {"Deal=99", 2000}, {"Deal=-1", 0}}) {
        Start(MakeTestPattern(8, 4), std::string("[Noise]\n") + deal + "\n");
        EXPECT_EQ(std::tuple(state.LinesPerTick, host->IntervalChanges(), host->PresentCount(), host->Random().Seed()),
                  std::tuple(lines, 0, 0, 0u))
            << deal;
        EXPECT_EQ(Frame(), Snapshot());
    }
}

TEST_F(NoiseTest, TheIntervalIsSetWhileTheLastFrameShowsAndARefusedTimerEndsTheTick)
{
    // Deal 0 on a 6 x 4 screen. Each tick sets the next interval first,
    // while the window still shows the last frame. A refused timer ends the
    // tick there, and the next tick goes on as if that one had drawn
    // nothing: it puts back the row of the tick before. A frame larger than
    // the surfaces draws on what they hold.
    Start(test_support::Picture("abcdef/ghijkl/mnopqr/stuvwx"), "[Noise]\nDeal=0\n");
    // Frame size, seed, whether the timer refuses, Timer2's interval after
    // the tick and the frame.
    const std::tuple<FrameSize, std::uint32_t, bool, std::uint32_t, const char*> ticks[] = {
        {{6, 4}, 173, false, 237, "abcdef/ghijkl/mnopqr/111111"},
        {{6, 4}, 14, true, 237, "abcdef/ghijkl/mnopqr/111111"},
        {{6, 4}, 14, false, 242, "abcdef/ghijkl/mnopqr/stuvwx"},
        {{9, 6}, 92, false, 447, "abcdef/ghijkl/mnopqr/333333"},
        {{0, 0}, 0, false, 40, "abcdef/ghijkl/mnopqr/333333"},
    };
    for (const auto& [size, seed, refused, interval, frame] : ticks) {
        host->SetFrameSize(size.Width, size.Height);
        host->Random().SetSeed(seed);
        const std::string before = test_support::Text(Frame(), kInks);
        host->SetIntervalHandler([&](std::uint32_t) {
            EXPECT_EQ(test_support::Text(Frame(), kInks), before);
            if (refused) throw std::runtime_error("timer refused");
        });
        if (refused) {
            EXPECT_THROW(NoiseTick(*host, state), std::runtime_error);
        } else {
            Tick();
        }
        EXPECT_EQ(test_support::Text(Frame(), kInks), frame) << "seed " << seed;
        EXPECT_EQ(host->Timer2Interval(), interval) << "seed " << seed;
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
                 {{6, 4}, 65, "444444/ghijkl/mnopqr/stuvwx"},    // line 4 on row 0
                 {{6, 4}, 14, "abcdef/ghijkl/mnopqr/stuvwx"}},   // none
                kInks);
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
