// Melt: the settings a setup tick reads, columns at the screen's edges as
// the frame changes, down to the restore, and the drawing tick against the
// same tick done literally, restores and their signed deadlines included.
#include "effects/melt.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

using MeltTest = test_support::EffectRunTest<MeltState, MeltTick>;

TEST_F(MeltTest, SetupTickReadsTheSettingsAndSetsTheFirstDeadline)
{
    // Settings, the tick count at setup, columns per tick, restores or not,
    // and the first deadline.
    const std::tuple<const char*, std::uint32_t, std::int32_t, bool, std::uint32_t> cases[] = {
        {"", 5000, 31, true, 185000},
        {"Speed=6\nRecover=0\nRecoverTime=30", 100, 61, false, 30100},
        {"Speed=100", 0, 1001, true, 180000},
        {"Speed=2147483647", 0, 1001, true, 180000},
        {"Speed=-1", 0, 0, true, 180000},
        {"Speed=$80000000", 0, 0, true, 180000},
        {"RecoverTime=5000000", 7, 31, true, 7 + 705032704},  // 5 000 000 000 mod 2^32
    };
    for (const auto& [settings, now, columns, restores, deadline] : cases) {
        Start(MakeTestPattern(8, 4), std::string("[Melt]\n") + settings + "\n", now);
        EXPECT_EQ(std::tuple(state.ColumnsPerTick, state.RestoreEnabled, state.RestoreDeadline),
                  std::tuple(columns, restores, deadline))
            << settings;
        // Nothing drawn or shown, no draws, the interval untouched.
        EXPECT_EQ(std::tuple(host->EffectNeedsSetup(), host->PresentCount(), host->IntervalChanges(),
                             host->Random().Seed()),
                  std::tuple(false, 0, 0, 0u));
        EXPECT_EQ(Frame(), Snapshot());
    }
}

TEST_F(MeltTest, ColumnsAtTheEdgesAsTheFrameShortensGrowsTallerNarrowsAndWidens)
{
    // One column a tick on a 6 x 4 screen ('#' black). A column at x copies
    // the melted picture's columns x to x + 3, rows 0 to H - 1, one row down
    // on the frame, as far as the screen reaches, and blackens its top row;
    // then the frame's W x H corner becomes the melted picture. So a column
    // writes row H below a short frame and columns past a narrow one, and
    // those pixels show once the frame grows. The tick at the deadline shows
    // its melt, then brings the desktop back.
    Start(test_support::Picture("abcdef/ghijkl/mnopqr/stuvwx"), "[Melt]\nSpeed=0\nRecoverTime=1\n");
    // Each seed places the tick's column.
    ExpectTicks({
        {{6, 4}, 20, "abcd##/ghijef/mnopkl/stuvqr"},        // x = 4, the right edge
        {{6, 2}, 14, "######/abcdef/ghijkl/stuvqr"},        // x = 0
        {{6, 4}, 20, "######/abcd##/ghijef/stuvkl"},        // x = 4
        {{2, 4}, 19, "######/a#####/gbcd#f/shijel"},        // x = 1
        {{6, 4}, 20, "######/a#####/gbcd##/shijef"},        // x = 4
        {{6, 4}, 14, "######/######/a#####/gbcdef", 1000},  // x = 0, at the deadline
    });
    EXPECT_EQ(Frame(), Snapshot());
}

TEST_F(MeltTest, DrawingTicksMatchTheLiteralTick)
{
    // The literal tick: each column copied one row down from WorkBitmap to
    // FrameBitmap at a place drawn from the frame's width, its top pixel
    // blackened, then the whole frame restored or carried over. A period of 0
    // or less restores on every tick. Tick counts compare as signed numbers:
    // a deadline past 2^31 - 1 counts as passed until the tick count gets
    // there too, so runs that start just before 2^31 restore on every tick
    // for a while. The frames include preview frames that shrink and grow,
    // one larger than the surfaces and empty ones; Speed 100 piles columns on
    // the same places, and Speed -1 moves none.
    const FrameSize sizes[] = {{40, 24}, {40, 24}, {25, 10}, {25, 10}, {33, 17}, {40, 24},
                               {10, 3},  {0, 0},   {1, 1},   {48, 30}, {40, 24}, {3, 24},
                               {40, 1},  {40, 1},  {40, 24}, {39, 23}, {40, 24}};
    // Speed, columns per tick, restore period in seconds, tick count at setup.
    const std::tuple<const char*, std::int32_t, std::int32_t, std::uint32_t> runs[] = {
        {"1", 11, 1, 0},          {"100", 1001, 1, 0},        {"-1", 0, 1, 0},
        {"6", 61, 1, 2147482000}, {"6", 61, 0, 2147483000u}, {"6", 61, -2147483647, 2147483000u}};
    for (const auto& [speed, columns, period, start] : runs) {
        const std::string settings = std::string("Speed=") + speed + "\nRecoverTime=" + std::to_string(period);
        Start(MakeTestPattern(40, 24), "[Melt]\n" + settings + "\n", start);
        host->Random().SetSeed(12345);
        SaverSurfaces literal = host->Surfaces();
        Surface& work = literal.WorkBitmap;
        Surface& frame = literal.FrameBitmap;
        RandomSource random(12345);
        std::uint32_t deadline = start + static_cast<std::uint32_t>(period) * 1000u;
        for (std::size_t tick = 0; tick < std::size(sizes); ++tick) {
            const auto [width, height] = sizes[tick];
            const std::uint32_t now = start + 250u * static_cast<std::uint32_t>(tick + 1);
            host->SetTickCount(now);
            host->SetFrameSize(width, height);
            const Surface shown = Tick();

            for (std::int32_t i = 0; i < columns; ++i) {
                const std::int32_t x = static_cast<std::int32_t>(random.Next(width + 17u)) - 10;
                CopyArea(frame, {x, 1, x + 4, height + 1}, work, {x, 0, x + 4, height});
                FillArea(frame, {x, 0, x + 4, 1}, kBlack);
            }
            ASSERT_EQ(shown, frame) << settings << ", tick " << tick;
            const PixelRect whole{0, 0, width, height};
            const bool restore =
                period <= 0 || static_cast<std::int32_t>(now) >= static_cast<std::int32_t>(deadline);
            if (restore) CopyArea(frame, whole, literal.SnapshotBitmap, whole);
            CopyArea(work, whole, frame, whole);
            if (restore) deadline = now + static_cast<std::uint32_t>(period) * 1000u;
            ASSERT_EQ(Frame(), frame) << settings << ", tick " << tick;
            ASSERT_EQ(state.RestoreDeadline, deadline) << settings << ", tick " << tick;
        }
        EXPECT_EQ(host->Random().Seed(), random.Seed()) << settings;
    }
}

} // namespace
} // namespace nimbrel
