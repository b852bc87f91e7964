// Wave: the settings a setup tick reads, the bands of a drawing tick, the
// travelling wave, and extreme settings that only a hand-edited file holds.
#include "effects/wave.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

// C(0) to C(24): the shift of band k on the first drawing tick, the sums of
// the first k steps of the cycle, period 22.
constexpr std::int32_t kShifts[25] = {0,  2,  3,  4,  5,  5,  5,  5,  4,  3, 2, 0, -2,
                                      -3, -4, -5, -5, -5, -5, -4, -3, -2, 0, 2, 3};

// `previous` with row y of the snapshot drawn shifted right by shifts[y];
// pixels whose source lies outside keep the previous frame's value.
Surface ShiftRows(const Surface& previous, const Surface& snapshot, const std::int32_t* shifts)
{
    Surface expected = previous;
    for (std::int32_t y = 0; y < expected.Height(); ++y) {
        for (std::int32_t x = 0; x < expected.Width(); ++x) {
            const std::int32_t from = x - shifts[y];
            if (from >= 0 && from < snapshot.Width()) expected.SetColourAt(x, y, snapshot.ColourAt(from, y));
        }
    }
    return expected;
}

class WaveTest : public test_support::EffectRunTest<WaveState, WaveTick> {
protected:
    void SetUp() override { WaveBaseOffset() = 0; }
};

TEST_F(WaveTest, SetupTickReadsPitchAndSpeedAndDrawsNothing)
{
    // Settings, band height, and Timer2's interval.
    const std::tuple<const char*, std::int32_t, std::uint32_t> cases[] = {
        {"", 4, 350},
        {"Pitch=2\nSpeed=5", 2, 150},
        {"Speed=6", 4, 50},
        {"Speed=7", 4, 10},
        {"Speed=2147483647", 4, 10},
        {"Speed=-1", 4, 750},
        {"Speed=-21474830", 4, 2147483647},  // 2147483650 ms
        {"Speed=$80000000", 4, 2147483647},
        {"Pitch=0", 1, 350},
        {"Pitch=-2147483647", 1, 350},
    };
    for (const auto& [settings, bandHeight, interval] : cases) {
        WaveBaseOffset() = 7;
        Start(MakeTestPattern(4, 4), std::string("[Wave]\n") + settings + "\n");
        EXPECT_EQ(state.BandHeight, bandHeight) << settings;
        EXPECT_EQ(host->Timer2Interval(), interval) << settings;
        EXPECT_FALSE(host->EffectNeedsSetup());
        EXPECT_EQ(host->PresentCount(), 0);
        EXPECT_EQ(Frame(), Snapshot());
        EXPECT_EQ(WaveBaseOffset(), 7);
    }
}

TEST_F(WaveTest, OneRowBandsFollowTheClosedFormTickAfterTick)
{
    // Band k is shifted by C(k) on the first tick; on the next, each band
    // takes the shift that the band below it had. Columns uncovered by a shift
    // to either side keep the previous frame's pixels.
    Start(MakeTestPattern(12, 24), "[Wave]\nPitch=1\n");
    const Surface snapshot = Snapshot();
    EXPECT_EQ(Tick(), ShiftRows(snapshot, snapshot, kShifts));
    const Surface first = Frame();
    EXPECT_EQ(Tick(), ShiftRows(first, snapshot, kShifts + 1));
}

TEST_F(WaveTest, PhaseCyclesAndTheBaseCarriesIntoTheNextRun)
{
    WaveBaseOffset() = 3;
    Start(MakeTestPattern(8, 8), "[Wave]\nPitch=8\n");
    std::vector<std::int32_t> phases;
    for (int n = 1; n <= 25; ++n) {
        Tick();
        phases.push_back(state.Phase);
        EXPECT_EQ(WaveBaseOffset(), 3 + kShifts[n - 1]) << "after " << n << " ticks";
    }
    EXPECT_EQ(phases, (std::vector<std::int32_t>{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                                 14, 15, 16, 17, 18, 19, 20, 21, 22, 1,  2,  3}));
    // The next run starts from the 3 + C(24) = 6 that this one left, at
    // phase 0 and without the memory of this run's last frame (whose band
    // had that same shift).
    StartAgain(MakeTestPattern(8, 8), "[Wave]\nPitch=8\n");
    const std::vector<std::int32_t> six(8, 6);
    EXPECT_EQ(Tick(), ShiftRows(Snapshot(), Snapshot(), six.data()));
}

TEST_F(WaveTest, HugePitchIsOneBandAndTheBaseWraps)
{
    WaveBaseOffset() = 3;
    Start(MakeTestPattern(16, 8), "[Wave]\nPitch=2147483647\n");
    const std::vector<std::int32_t> three(8, 3);
    const Surface first = Tick();
    EXPECT_EQ(first, ShiftRows(Snapshot(), Snapshot(), three.data()));
    // 2147483646 plus the step of 2 wraps; the band then lies far outside.
    WaveBaseOffset() = 2147483646;
    EXPECT_EQ(Tick(), first);
    EXPECT_EQ(WaveBaseOffset(), -2147483647 - 1);
}

TEST_F(WaveTest, FramesMatchTheLiteralTickAsTheFrameChanges)
{
    // Every band copied on every tick, straight from the steps, while the
    // frame shrinks and grows as in preview mode. At H = 24 the band at row H
    // lies below the frame but still on the surfaces.
    const std::vector<FrameSize> sizes = {{30, 40}, {30, 40}, {20, 40}, {20, 40}, {30, 40}, {30, 25}, {30, 24},
                                          {30, 24}, {30, 40}, {0, 0},   {30, 40}, {30, 41}, {30, 40}};
    WaveBaseOffset() = -1;
    Start(MakeTestPattern(30, 40), "[Wave]\nPitch=3\n");
    Surface literal = Frame();
    std::int32_t base = -1;
    std::size_t phase = 0;
    for (std::size_t tick = 0; tick < sizes.size(); ++tick) {
        const FrameSize size = sizes[tick];
        host->SetFrameSize(size.Width, size.Height);
        Tick();
        base += kWaveOffsetTable[phase];
        phase = phase % 22 + 1;
        std::int32_t offset = base;
        for (std::int32_t top = 0, band = 0; top <= size.Height; top += 3, ++band) {
            const PixelRect source{0, top, size.Width, top + 3};
            CopyArea(literal, {offset, top, size.Width + offset, top + 3}, Snapshot(), source);
            offset += kWaveOffsetTable[(phase + band - 1) % 22 + 1];
        }
        ASSERT_EQ(Frame(), literal) << "tick " << tick;
    }
}

} // namespace
} // namespace nimbrel
