// Wave: the settings a setup tick reads, and drawing ticks against the same
// ticks worked out pixel by pixel, run after run, as the frame changes, and
// written out on a tiny screen.
#include "effects/wave.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

// The step that the n-th phase of a run adds to a shift: phase 0 first, then
// phases 1 to 22 over and over.
constexpr std::int32_t kSteps[23] = {0, 2, 1, 1, 1, 0, 0, 0, -1, -1, -1, -2, -2, -1, -1, -1, 0, 0, 0, 1, 1, 1, 2};

std::int32_t Step(std::size_t n)
{
    return kSteps[n == 0 ? 0 : (n - 1) % 22 + 1];
}

using WaveTest = test_support::EffectRunTest<WaveState, WaveTick>;

TEST_F(WaveTest, FramesMatchTheShiftedRowsRunAfterRun)
{
    // On each tick the top band's shift takes the phase's step, and each band
    // below shifts by the steps of the phases after it. Pixels whose source
    // lies outside the frame keep what they were; bands start at rows up to
    // the frame's height (at H = 24 the band at row H lies below the frame
    // but still on the surfaces). The shift carries into the next run, whose
    // phase starts at 0 again. A huge pitch makes one band, whose shift may
    // wrap around.
    const std::vector<FrameSize> sizes = {{150, 40}, {150, 40}, {20, 40},  {20, 40}, {150, 40}, {150, 25}, {150, 24},
                                          {150, 24}, {100, 40}, {0, 0},    {150, 40}, {150, 41}, {150, 40}};
    // Settings, band height, Timer2's interval, and the shift before the first run.
    const std::tuple<const char*, std::int32_t, std::uint32_t, std::int32_t> cases[] = {
        {"", 4, 350, 0},
        {"Pitch=3\nSpeed=5", 3, 150, -1},
        {"Pitch=0\nSpeed=7", 1, 10, 0},
        {"Pitch=2147483647\nSpeed=-21474830", 2147483647, 2147483647, 3},  // 2147483650 ms
        {"Pitch=2147483647", 2147483647, 350, 2147483645},
    };
    for (auto [settings, pitch, interval, base] : cases) {
        SCOPED_TRACE(settings);
        WaveBaseOffset() = base;
        for (int run = 0; run < 2; ++run) {
            // The setup tick draws nothing.
            StartAgain(MakeTestPattern(150, 40), std::string("[Wave]\n") + settings + "\n");
            EXPECT_EQ(host->Timer2Interval(), interval);
            EXPECT_EQ(host->PresentCount(), 0);
            EXPECT_EQ(WaveBaseOffset(), base);
            Surface literal = Frame();
            EXPECT_EQ(literal, Snapshot());
            for (std::size_t tick = 0; tick < 2 * sizes.size(); ++tick) {
                const FrameSize size = sizes[tick % sizes.size()];
                host->SetFrameSize(size.Width, size.Height);
                Tick();
                base = static_cast<std::int32_t>(static_cast<std::uint32_t>(base) + Step(tick));
                std::int64_t shift = base;
                for (std::int32_t y = 0; y < 40 && y - y % pitch <= size.Height; ++y) {
                    if (y > 0 && y % pitch == 0) shift += Step(tick + y / pitch);
                    for (std::int32_t x = 0; x < 150; ++x) {
                        const std::int64_t from = x - shift;
                        if (from >= 0 && from < size.Width) {
                            literal.SetColourAt(x, y, Snapshot().ColourAt(static_cast<std::int32_t>(from), y));
                        }
                    }
                }
                ASSERT_TRUE(Frame() == literal) << "run " << run << ", tick " << tick;
                ASSERT_EQ(WaveBaseOffset(), base);
            }
        }
    }
}

TEST_F(WaveTest, FramesAsTheFrameNarrowsWidensShortensAndGrowsTaller)
{
    // Pitch 2 on a 6 x 6 screen, from a shift of -4: on tick t band k is
    // shifted by -4 plus the sum of steps 0 to t - 1 + k. A band shifted by
    // s copies the snapshot's columns 0 to W - 1 to columns s to W - 1 + s;
    // what it does not reach keeps the last frame's pixels. Bands start at
    // rows up to H, so the last one may reach below the frame (rows 4 and 5
    // at H = 5, 2 and 3 at H = 3) and is drawn whole, even when the frame
    // keeps its size. On the taller tick the band at row 4, not drawn on the
    // short tick, has the shift it would have had there, yet must be drawn.
    WaveBaseOffset() = -4;
    Start(test_support::Picture("abcdef/ghijkl/mnopqr/stuvwx/yzABCD/EFGHIJ"), "[Wave]\nPitch=2\n");
    ExpectTicks({
        {{4, 5}, 0, "abcdef/ghijkl/opopqr/uvuvwx/zABBCD/FGHHIJ"},  // shifts -4, -2, -1
        {{4, 5}, 0, "cdcdef/ijijkl/noppqr/tuvvwx/yzABCD/EFGHIJ"},  // -2, -1, 0
        {{6, 3}, 0, "bcdeff/hijkll/mnopqr/stuvwx/yzABCD/EFGHIJ"},  // -1, 0
        {{6, 6}, 0, "abcdef/ghijkl/mmnopq/sstuvw/yyzABC/EEFGHI"},  // 0, 1, 1
        {{4, 6}, 0, "aabcdf/gghijl/mmnopq/sstuvw/yyzABC/EEFGHI"},  // 1, 1, 1
    });
}

} // namespace
} // namespace nimbrel
