// Noise: the setup tick, the order of the draws, frames that never keep an
// earlier frame's lines, the preview frame, and the out-of-range settings.
#include "effects/noise.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

using test_support::SeedAfterDraws;

// One drawing tick done literally on its own frame: the interval drawn
// first, the whole snapshot copied over the frame, then the lines in the
// order of their draws, a later line covering an earlier one.
struct LiteralNoise {
    void Tick(const Surface& snapshot, FrameSize size)
    {
        interval = random.Next(460) + 40;
        const PixelRect whole{0, 0, size.Width, size.Height};
        CopyArea(frame, whole, snapshot, whole);
        for (std::int32_t i = 0; i < lines; ++i) {
            const auto y =
                static_cast<std::int32_t>(random.Next(static_cast<std::uint32_t>(size.Height) + 20))
                - 10;
            const auto red = static_cast<std::uint8_t>(random.Next(128));
            const auto green = static_cast<std::uint8_t>(random.Next(128));
            const auto blue = static_cast<std::uint8_t>(random.Next(128));
            DrawRowLine(frame, y, 0, size.Width, MakeColour(red, green, blue));
        }
    }

    Surface frame;
    RandomSource random;
    std::int32_t lines;
    std::uint32_t interval = 0;
};

class NoiseTest : public test_support::EffectRunTest {
protected:
    void StartNoise(Surface picture, const std::string& settings)
    {
        StartRun(std::move(picture), settings);
        state = NoiseState{};
        NoiseTick(*host, state);
    }

    NoiseState state;
};

TEST_F(NoiseTest, SetupTickReadsDealAndLeavesTheInterval)
{
    StartNoise(MakeTestPattern(8, 4), "");
    EXPECT_FALSE(host->EffectNeedsSetup());
    EXPECT_EQ(state.LinesPerTick, 80);
    // The first drawing tick follows at Timer2's starting interval.
    EXPECT_EQ(host->IntervalChanges(), 0);
    EXPECT_EQ(host->PresentCount(), 0);
    EXPECT_EQ(host->Random().Seed(), 0u);
    StartNoise(MakeTestPattern(8, 4), "[Noise]\nDeal=6\n");
    EXPECT_EQ(state.LinesPerTick, 140);
}

TEST_F(NoiseTest, DrawingTickDrawsTheIntervalThenTheLinesInOrder)
{
    // Six rows and 80 lines: many lines share a row.
    StartNoise(MakeTestPattern(10, 6), "");
    host->Random().SetSeed(4242);
    LiteralNoise literal{Frame(), RandomSource(4242), 80};
    NoiseTick(*host, state);
    literal.Tick(Snapshot(), {10, 6});
    EXPECT_EQ(Frame(), literal.frame);
    EXPECT_EQ(host->Timer2Interval(), literal.interval);
    EXPECT_EQ(host->Random().Seed(), SeedAfterDraws(4242, 321));
    EXPECT_EQ(host->PresentCount(), 1);
}

TEST_F(NoiseTest, IntervalIsSetBeforeTheFrameIsDrawn)
{
    StartNoise(MakeTestPattern(10, 6), "");
    NoiseTick(*host, state);
    const Surface firstFrame = Frame();
    std::optional<Surface> frameAtInterval;
    host->SetIntervalHandler([&](std::uint32_t) { frameAtInterval = Frame(); });
    NoiseTick(*host, state);
    EXPECT_EQ(frameAtInterval.value_or(Surface()), firstFrame);

    // A refused timer ends the tick there, and the next tick goes on as if
    // the failed one had drawn nothing.
    const Surface before = Frame();
    host->SetIntervalHandler([](std::uint32_t) { throw std::runtime_error("timer refused"); });
    EXPECT_THROW(NoiseTick(*host, state), std::runtime_error);
    EXPECT_EQ(Frame(), before);
    host->SetIntervalHandler(nullptr);
    LiteralNoise literal{Frame(), RandomSource(host->Random().Seed()), 80};
    NoiseTick(*host, state);
    literal.Tick(Snapshot(), {10, 6});
    EXPECT_EQ(Frame(), literal.frame);
}

TEST_F(NoiseTest, EachFrameShowsOnlyItsOwnLines)
{
    // Twenty dark lines over forty white rows: most rows alternate between
    // having a line and having none.
    StartNoise(test_support::SolidSurface(8, 40, kWhite), "[Noise]\nDeal=0\n");
    for (int tick = 0; tick < 30; ++tick) {
        LiteralNoise literal{Snapshot(), RandomSource(host->Random().Seed()), 20};
        NoiseTick(*host, state);
        literal.Tick(Snapshot(), {8, 40});
        ASSERT_EQ(Frame(), literal.frame) << "tick " << tick;
        EXPECT_GE(host->Timer2Interval(), 40u);
        EXPECT_LE(host->Timer2Interval(), 499u);
        for (std::int32_t y = 0; y < 40; ++y) {
            const Colour pixel = Frame().ColourAt(0, y);
            if (pixel == kWhite) continue;
            EXPECT_LE(pixel & 0xFF, 127u);
            EXPECT_LE((pixel >> 8) & 0xFF, 127u);
            EXPECT_LE(pixel >> 16, 127u);
        }
    }
}

TEST_F(NoiseTest, FramesMatchTheLiteralTickAsTheFrameChanges)
{
    // Lines below a preview frame land on surface rows that no frame copy
    // restores, exactly as in the literal tick.
    const std::vector<FrameSize> sizes = {{24, 16}, {24, 16}, {12, 8},  {12, 8},  {20, 5},
                                          {24, 16}, {0, 0},   {1, 1},   {30, 20}, {24, 16},
                                          {24, 3},  {5, 16},  {24, 16}, {24, 16}};
    StartNoise(MakeTestPattern(24, 16), "[Noise]\nDeal=2\n");
    host->Random().SetSeed(99);
    LiteralNoise literal{Frame(), RandomSource(99), 60};
    for (std::size_t tick = 0; tick < sizes.size(); ++tick) {
        host->SetFrameSize(sizes[tick].Width, sizes[tick].Height);
        NoiseTick(*host, state);
        literal.Tick(Snapshot(), sizes[tick]);
        ASSERT_EQ(Frame(), literal.frame) << "tick " << tick;
    }
}

TEST_F(NoiseTest, OutOfRangeDealDrawsNoLinesOrACappedNumber)
{
    for (const char* deal : {"-1", "-2147483647"}) {
        StartNoise(MakeTestPattern(8, 6), std::string("[Noise]\nDeal=") + deal + "\n");
        for (int tick = 1; tick <= 2; ++tick) {
            NoiseTick(*host, state);
            // The snapshot alone, at a random interval: one draw per tick.
            EXPECT_EQ(Frame(), Snapshot()) << "Deal " << deal;
            EXPECT_EQ(host->IntervalChanges(), tick);
            EXPECT_EQ(host->Random().Seed(), SeedAfterDraws(0, tick));
        }
    }
    EXPECT_EQ(NoiseLinesFromDeal(7), 160);
    EXPECT_EQ(NoiseLinesFromDeal(99), 2000);
    StartNoise(MakeTestPattern(8, 6), "[Noise]\nDeal=2147483647\n");
    NoiseTick(*host, state);
    EXPECT_EQ(host->Random().Seed(), SeedAfterDraws(0, 1 + 4 * kMaxNoiseLinesPerTick));
}

} // namespace
} // namespace nimbrel
