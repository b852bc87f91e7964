// Wave: the setup tick, the bands of a drawing tick, the travelling wave, the
// settings that only a hand-edited file can hold.
#include "effects/wave.h"

#include <gtest/gtest.h>

#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

// C(0) to C(21): the sums of the first m steps of the cycle, period 22.
constexpr std::int32_t kCycleSums[22] = {0, 2,  3,  4,  5,  5,  5,  5,  4,  3,  2,
                                         0, -2, -3, -4, -5, -5, -5, -5, -4, -3, -2};

// The frame expected when row y of the snapshot is drawn shifted by
// shifts[y] over `previous`; pixels whose source lies outside keep the
// previous frame's value.
Surface ShiftRows(const Surface& previous, const Surface& snapshot,
                  const std::vector<std::int32_t>& shifts)
{
    Surface expected = previous;
    for (std::int32_t y = 0; y < expected.Height(); ++y) {
        for (std::int32_t x = 0; x < expected.Width(); ++x) {
            const std::int32_t from = x - shifts[static_cast<std::size_t>(y)];
            if (from >= 0 && from < snapshot.Width()) {
                expected.SetColourAt(x, y, snapshot.ColourAt(from, y));
            }
        }
    }
    return expected;
}

// Shifts C(first), C(first + 1), ... for `rows` rows of one-row bands.
std::vector<std::int32_t> CycleShifts(std::int32_t first, std::int32_t rows)
{
    std::vector<std::int32_t> shifts;
    for (std::int32_t k = 0; k < rows; ++k) shifts.push_back(kCycleSums[(first + k) % 22]);
    return shifts;
}

class WaveTest : public test_support::EffectRunTest {
protected:
    void SetUp() override { WaveBaseOffset() = 0; }

    // A run on a fresh test pattern, through its setup tick.
    void StartWave(std::int32_t width, std::int32_t height, const std::string& settings)
    {
        StartRun(MakeTestPattern(width, height), settings);
        state = WaveState{};
        WaveTick(*host, state);
    }

    WaveState state;
};

TEST_F(WaveTest, SetupTickReadsTheSettingsAndDrawsNothing)
{
    WaveBaseOffset() = 7;
    StartWave(16, 8, "[Wave]\nPitch=2\nSpeed=5\n");
    EXPECT_FALSE(host->EffectNeedsSetup());
    EXPECT_EQ(state.BandHeight, 2);
    EXPECT_EQ(host->Timer2Interval(), 150u);
    EXPECT_EQ(host->PresentCount(), 0);
    EXPECT_EQ(Frame(), Snapshot());
    EXPECT_EQ(WaveBaseOffset(), 7);  // not touched by a setup tick

    StartWave(4, 4, "");
    EXPECT_EQ(state.BandHeight, 4);
    EXPECT_EQ(host->Timer2Interval(), 350u);
    StartWave(4, 4, "[Wave]\nSpeed=6\n");
    EXPECT_EQ(host->Timer2Interval(), 50u);
}

TEST_F(WaveTest, FirstDrawingTickShiftsTheSecondBandRightByTwo)
{
    StartWave(16, 10, "[Wave]\nPitch=4\n");
    const Surface snapshot = Snapshot();
    WaveTick(*host, state);
    EXPECT_EQ(host->PresentCount(), 1);
    // Bands at rows 0, 4 and 8 shifted by 0, 2 and 3; the last covers two
    // rows. Columns uncovered by a shift keep the snapshot's own pixels.
    EXPECT_EQ(Frame(), ShiftRows(snapshot, snapshot, {0, 0, 0, 0, 2, 2, 2, 2, 3, 3}));
    EXPECT_EQ(Frame().ColourAt(1, 5), snapshot.ColourAt(1, 5));
    EXPECT_EQ(Frame().ColourAt(15, 5), snapshot.ColourAt(13, 5));
}

TEST_F(WaveTest, OneRowBandsFollowTheClosedFormTickAfterTick)
{
    StartWave(12, 46, "[Wave]\nPitch=1\n");
    const Surface snapshot = Snapshot();
    WaveTick(*host, state);
    EXPECT_EQ(CycleShifts(0, 24),
              (std::vector<std::int32_t>{0,  2,  3,  4,  5,  5,  5,  5,  4,  3,  2, 0,
                                         -2, -3, -4, -5, -5, -5, -5, -4, -3, -2, 0, 2}));
    EXPECT_EQ(Frame(), ShiftRows(snapshot, snapshot, CycleShifts(0, 46)));
    // Each band then takes the shift that the band below it had; where a
    // shift to either side leaves columns uncovered, they keep the first
    // frame's pixels, and the columns pushed past the edge are dropped.
    const Surface first = Frame();
    WaveTick(*host, state);
    EXPECT_EQ(Frame(), ShiftRows(first, snapshot, CycleShifts(1, 46)));
}

TEST_F(WaveTest, PhaseCyclesAndTheBaseFollowsTheSums)
{
    WaveBaseOffset() = 3;
    StartWave(8, 8, "");
    EXPECT_EQ(state.Phase, 0);
    std::vector<std::int32_t> phases;
    for (int n = 1; n <= 25; ++n) {
        WaveTick(*host, state);
        phases.push_back(state.Phase);
        EXPECT_EQ(WaveBaseOffset(), 3 + kCycleSums[(n - 1) % 22]) << "after " << n << " ticks";
    }
    EXPECT_EQ(phases, (std::vector<std::int32_t>{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                                 14, 15, 16, 17, 18, 19, 20, 21, 22, 1,  2,  3}));
}

TEST_F(WaveTest, BaseOffsetCarriesOverToTheNextRun)
{
    StartWave(16, 8, "[Wave]\nPitch=8\n");
    for (int i = 0; i < 5; ++i) WaveTick(*host, state);
    StartWave(16, 8, "[Wave]\nPitch=8\n");
    EXPECT_EQ(WaveBaseOffset(), 5);
    const Surface snapshot = Snapshot();
    WaveTick(*host, state);
    EXPECT_EQ(Frame(), ShiftRows(snapshot, snapshot, std::vector<std::int32_t>(8, 5)));
}

TEST_F(WaveTest, FramesMatchTheLiteralTickAsTheFrameChanges)
{
    // Every band copied on every tick, straight from the steps, over frames
    // that shrink and grow between ticks as in preview mode. At H = 24 the
    // band at row H lies below the frame but still on the surfaces.
    const std::vector<FrameSize> sizes = {{30, 40}, {30, 40}, {30, 40}, {20, 40}, {20, 40},
                                          {30, 40}, {30, 25}, {30, 24}, {30, 24}, {30, 40},
                                          {30, 40}, {0, 0},   {30, 40}, {30, 41}, {30, 40}};
    WaveBaseOffset() = -1;
    StartWave(30, 40, "[Wave]\nPitch=3\n");
    Surface literal = Frame();
    std::int32_t base = -1;
    std::int32_t phase = 0;
    for (std::size_t tick = 0; tick < sizes.size(); ++tick) {
        const FrameSize size = sizes[tick];
        host->SetFrameSize(size.Width, size.Height);
        WaveTick(*host, state);

        base += kWaveOffsetTable[static_cast<std::size_t>(phase)];
        phase = phase == 22 ? 1 : phase + 1;
        std::int32_t offset = base;
        std::int32_t bandPhase = phase;
        for (std::int32_t top = 0; top <= size.Height; top += 3) {
            CopyArea(literal, {offset, top, size.Width + offset, top + 3}, Snapshot(),
                     {0, top, size.Width, top + 3});
            offset += kWaveOffsetTable[static_cast<std::size_t>(bandPhase)];
            bandPhase = bandPhase == 22 ? 1 : bandPhase + 1;
        }
        ASSERT_EQ(Frame(), literal) << "tick " << tick;
    }
}

TEST_F(WaveTest, OutOfRangePitchGivesOneRowBandsOrOneBand)
{
    StartWave(12, 30, "[Wave]\nPitch=1\n");
    WaveTick(*host, state);
    const Surface oneRowBands = Frame();
    for (const char* pitch : {"0", "-7", "-2147483647"}) {
        WaveBaseOffset() = 0;
        StartWave(12, 30, std::string("[Wave]\nPitch=") + pitch + "\n");
        EXPECT_EQ(state.BandHeight, 1);
        WaveTick(*host, state);
        EXPECT_EQ(Frame(), oneRowBands) << "Pitch " << pitch;
    }
    // A band taller than the frame: one band, shifted as the top band.
    WaveBaseOffset() = 3;
    StartWave(16, 8, "[Wave]\nPitch=2147483647\n");
    WaveTick(*host, state);
    EXPECT_EQ(Frame(), ShiftRows(Snapshot(), Snapshot(), std::vector<std::int32_t>(8, 3)));
}

TEST_F(WaveTest, OutOfRangeSpeedKeepsAnIntervalATimerAccepts)
{
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {"7", 10u},
        {"2147483647", 10u},
        {"-1", 750u},
        {"-21474830", 2147483647u},  // 2147483650 ms
        {"$80000000", 2147483647u},
    };
    for (const auto& [speed, interval] : cases) {
        StartWave(4, 4, "[Wave]\nSpeed=" + speed + "\n");
        EXPECT_EQ(host->Timer2Interval(), interval) << "Speed " << speed;
    }
}

TEST_F(WaveTest, BaseOffsetWrapsInsteadOfOverflowing)
{
    WaveBaseOffset() = 2147483646;
    StartWave(16, 8, "[Wave]\nPitch=4\n");
    WaveTick(*host, state);  // adds step 0
    WaveTick(*host, state);  // adds 2
    EXPECT_EQ(WaveBaseOffset(), -2147483647 - 1);
    EXPECT_EQ(Frame(), Snapshot());  // every band lies far outside
}

} // namespace
} // namespace nimbrel
