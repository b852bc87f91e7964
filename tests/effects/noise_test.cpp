// Noise: the settings a setup tick reads, the order of the draws, frames that
// never keep an earlier frame's lines, and the interval set before drawing.
#include "effects/noise.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

// One drawing tick done literally on its own frame: the interval drawn
// first, the whole snapshot copied over the frame, then each line's row and
// colour, a later line covering an earlier one.
struct LiteralNoise {
    void Tick(const Surface& snapshot, FrameSize size)
    {
        interval = random.Next(460) + 40;
        const PixelRect whole{0, 0, size.Width, size.Height};
        CopyArea(frame, whole, snapshot, whole);
        for (std::int32_t i = 0; i < lines; ++i) {
            const auto y = static_cast<std::int32_t>(random.Next(size.Height + 20u)) - 10;
            std::uint8_t rgb[3];
            for (std::uint8_t& component : rgb) component = static_cast<std::uint8_t>(random.Next(128));
            DrawRowLine(frame, y, 0, size.Width, MakeColour(rgb[0], rgb[1], rgb[2]));
        }
    }

    Surface frame;
    RandomSource random;
    std::int32_t lines;
    std::uint32_t interval = 0;
};

using NoiseTest = test_support::EffectRunTest<NoiseState, NoiseTick>;

TEST_F(NoiseTest, FramesMatchTheLiteralTickAsTheFrameChanges)
{
    // Lines below a preview frame land on surface rows that no later frame
    // restores, exactly as in the literal tick.
    const std::vector<FrameSize> sizes = {{24, 16}, {24, 16}, {12, 8}, {12, 8}, {20, 5}, {24, 16}, {0, 0},
                                          {1, 1},   {30, 20}, {24, 3}, {5, 16}, {24, 16}, {24, 16}};
    const std::pair<const char*, std::int32_t> deals[] = {
        {"", 80}, {"Deal=2", 60}, {"Deal=6", 140}, {"Deal=99", 2000},
        {"Deal=-1", 0}, {"Deal=-2147483647", 0}, {"Deal=2147483647", 2000}};
    for (const auto& [deal, lines] : deals) {
        Start(MakeTestPattern(24, 16), std::string("[Noise]\n") + deal + "\n");
        // The setup tick draws nothing and keeps Timer2's starting interval.
        EXPECT_EQ(state.LinesPerTick, lines) << deal;
        EXPECT_FALSE(host->EffectNeedsSetup());
        EXPECT_EQ(host->IntervalChanges(), 0);
        EXPECT_EQ(host->PresentCount(), 0);
        EXPECT_EQ(host->Random().Seed(), 0u);
        host->Random().SetSeed(99);
        LiteralNoise literal{Frame(), RandomSource(99), lines};
        for (std::size_t tick = 0; tick < sizes.size(); ++tick) {
            host->SetFrameSize(sizes[tick].Width, sizes[tick].Height);
            Tick();
            literal.Tick(Snapshot(), sizes[tick]);
            ASSERT_EQ(Frame(), literal.frame) << deal << ", tick " << tick;
            ASSERT_EQ(host->Timer2Interval(), literal.interval) << deal << ", tick " << tick;
            ASSERT_EQ(host->Random().Seed(), literal.random.Seed()) << deal << ", tick " << tick;
        }
    }
}

TEST_F(NoiseTest, IntervalIsSetBeforeTheFrameIsDrawn)
{
    Start(MakeTestPattern(10, 6), "");
    const Surface firstFrame = Tick();
    std::optional<Surface> frameAtInterval;
    host->SetIntervalHandler([&](std::uint32_t) { frameAtInterval = Frame(); });
    Tick();
    EXPECT_EQ(frameAtInterval.value_or(Surface()), firstFrame);

    // A refused timer ends the tick there, and the next tick goes on as if
    // the failed one had drawn nothing.
    const Surface before = Frame();
    host->SetIntervalHandler([](std::uint32_t) { throw std::runtime_error("timer refused"); });
    EXPECT_THROW(NoiseTick(*host, state), std::runtime_error);
    EXPECT_EQ(Frame(), before);
    host->SetIntervalHandler(nullptr);
    LiteralNoise literal{Frame(), RandomSource(host->Random().Seed()), 80};
    literal.Tick(Snapshot(), {10, 6});
    EXPECT_EQ(Tick(), literal.frame);
}

} // namespace
} // namespace nimbrel
