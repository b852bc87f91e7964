// Wave: the settings a setup tick reads, one huge band run after run, and
// bands as the frame changes, written out on tiny screens.
#include "effects/wave.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

using WaveTest = test_support::EffectRunTest<WaveState, WaveTick>;

TEST_F(WaveTest, SetupTickReadsTheSettingsAndDrawsNothing)
{
    // Settings, band height and Timer2's interval (at most 2^31 - 1 ms).
    const std::tuple<const char*, std::int32_t, std::uint32_t> cases[] = {
        {"", 4, 350},
        {"Pitch=3\nSpeed=5", 3, 150},
        {"Pitch=0\nSpeed=7", 1, 10},
        {"Pitch=2147483647\nSpeed=-21474830", 2147483647, 2147483647},  // 2147483650 ms
    };
    WaveBaseOffset() = 3;
    for (const auto& [settings, pitch, interval] : cases) {
        Start(MakeTestPattern(8, 4), std::string("[Wave]\n") + settings + "\n");
        EXPECT_EQ(std::tuple(state.BandHeight, host->Timer2Interval(), host->PresentCount(), WaveBaseOffset()),
                  std::tuple(pitch, interval, 0, 3))
            << settings;
        EXPECT_EQ(Frame(), Snapshot());
    }
}

TEST_F(WaveTest, AHugePitchMakesOneBandWhoseShiftCarriesIntoTheNextRunAndWraps)
{
    // One band from a shift of -3: the steps 0, 2, 1, ... make it -3, -1, 0,
    // and a band whose shift changed is drawn again at the same frame size.
    // The steps of phases 1 to 22 add up to 0, so tick 24 (phase 1 again)
    // has the shift of tick 2. A new run starts with phase 0 from the shift
    // the last one left; past 2^31 - 1 the shift wraps round.
    const char* settings = "[Wave]\nPitch=2147483647\n";
    WaveBaseOffset() = -3;
    Start(test_support::Picture("abcdef/ghijkl"), settings);
    // What a shift uncovers keeps the last frame's pixels.
    ExpectTicks({{{6, 2}, 0, "defdef/jkljkl"}, {{6, 2}, 0, "bcdeff/hijkll"}, {{6, 2}, 0, "abcdef/ghijkl"}});
    for (int tick = 4; tick < 24; ++tick) Tick();
    ExpectTicks({{{6, 2}, 0, "bcdeff/hijkll"}});
    // The next run: shifts -1, then 1 on a frame larger than the surfaces.
    StartAgain(test_support::Picture("abcdef/ghijkl"), settings);
    ExpectTicks({{{6, 2}, 0, "bcdeff/hijkll"}, {{9, 3}, 0, "babcde/hghijk"}});
    // Shifts 2^31 - 2, then 2^31 wrapped round: both off the screen.
    WaveBaseOffset() = 2147483646;
    StartAgain(test_support::Picture("abcdef/ghijkl"), settings);
    ExpectTicks({{{6, 2}, 0, "abcdef/ghijkl"}, {{6, 2}, 0, "abcdef/ghijkl"}});
    EXPECT_EQ(WaveBaseOffset(), -2147483647 - 1);
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
