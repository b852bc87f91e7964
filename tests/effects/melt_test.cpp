// Melt: the settings a setup tick reads, columns at the screen's edges as
// the frame changes, down to the restore, and restores at deadlines near
// 2^31, written out on tiny screens.
#include "effects/melt.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

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

TEST_F(MeltTest, RestoresComeAtDeadlinesComparedAsSignedNumbers)
{
    // Speed 100 on a 3 x 3 screen: the columns pile up on every place, yet
    // each tick moves the picture one row down, no more. A restore follows
    // the present, so a frame shows how many ticks ago the last one was. A
    // deadline past 2^31 - 1 counts as passed until the tick count gets
    // there too; a period of 0 or less restores on every tick. A frame larger
    // than the surfaces draws what they hold; an empty one only blackens the
    // columns' top pixels.
    struct WrittenTick {
        std::uint32_t Now;
        FrameSize Size;
        const char* Frame;
        std::uint32_t Deadline;  // after the tick
    };
    const std::tuple<const char*, std::uint32_t, std::vector<WrittenTick>> runs[] = {
        {"Speed=100\nRecoverTime=1", 2147482000u,
         {{2147482999u, {3, 3}, "###/abc/def", 2147483000u},
          {2147483000u, {3, 3}, "###/###/abc", 2147484000u},  // at the deadline
          {2147483001u, {3, 3}, "###/abc/def", 2147484001u},  // a deadline past 2^31 - 1
          {2147483648u, {3, 3}, "###/abc/def", 2147484001u},  // and a tick count past it
          {2147484001u, {3, 3}, "###/###/abc", 2147485001u}}},
        {"Speed=100\nRecoverTime=0", 5,
         {{7, {3, 3}, "###/abc/def", 7}, {7, {9, 5}, "###/abc/def", 7}, {8, {0, 0}, "###/def/ghi", 8}}},
        // -2147483647000 ms is 1000 modulo 2^32.
        {"Speed=100\nRecoverTime=-2147483647", 2147483000u,
         {{2147483000u, {3, 3}, "###/abc/def", 2147484000u}, {2147483100u, {3, 3}, "###/abc/def", 2147484100u}}},
        {"Speed=-1\nRecoverTime=9", 0, {{0, {3, 3}, "abc/def/ghi", 9000}}},
    };
    for (const auto& [settings, start, ticks] : runs) {
        Start(test_support::Picture("abc/def/ghi"), std::string("[Melt]\n") + settings + "\n", start);
        for (const WrittenTick& tick : ticks) {
            host->SetTickCount(tick.Now);
            host->SetFrameSize(tick.Size.Width, tick.Size.Height);
            EXPECT_EQ(test_support::Text(Tick()), tick.Frame) << settings << ", at " << tick.Now;
            EXPECT_EQ(state.RestoreDeadline, tick.Deadline) << settings << ", at " << tick.Now;
        }
    }
}

} // namespace
} // namespace nimbrel
