// Melt: the settings a setup tick reads, the columns of a drawing tick, the
// restore and its signed deadline, and the drawing tick against the same tick
// done literally.
#include "effects/melt.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

using test_support::SurfaceFromRows;

constexpr Colour a = MakeColour(200, 10, 10);
constexpr Colour b = MakeColour(10, 200, 10);
constexpr Colour c = MakeColour(10, 10, 200);
constexpr Colour K = kBlack;

// A 4 x 3 picture whose rows are a, b and c.
Surface ThreeRows()
{
    return SurfaceFromRows({{a, a, a, a}, {b, b, b, b}, {c, c, c, c}});
}

// From this seed the first three Next(21) give 10: on a frame 4 pixels wide,
// one column at x = 0 on each of three one-column ticks.
constexpr std::uint32_t kColumnsAtZero = 7600;

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
        EXPECT_EQ(state.ColumnsPerTick, columns) << settings;
        EXPECT_EQ(state.RestoreEnabled, restores) << settings;
        EXPECT_EQ(state.RestoreDeadline, deadline) << settings;
        // Nothing drawn or shown, no draws, the interval untouched.
        EXPECT_FALSE(host->EffectNeedsSetup());
        EXPECT_EQ(host->PresentCount(), 0);
        EXPECT_EQ(host->Random().Seed(), 0u);
        EXPECT_EQ(host->IntervalChanges(), 0);
        EXPECT_EQ(Frame(), Snapshot());
    }
    // No columns: a drawing tick makes no draws and changes nothing.
    Start(MakeTestPattern(8, 4), "[Melt]\nRecover=0\nSpeed=-1\n");
    EXPECT_EQ(Tick(), Snapshot());
    EXPECT_EQ(host->Random().Seed(), 0u);
}

TEST_F(MeltTest, ColumnsRunDownUntilTheRestoreStartsOver)
{
    // One column at x = 0 per tick. The tick at the deadline still shows the
    // melted frame, then brings the desktop back for the next tick to melt.
    Start(ThreeRows(), "[Melt]\nSpeed=0\nRecoverTime=10\n", 1000);
    host->Random().SetSeed(kColumnsAtZero);
    host->SetTickCount(5000);
    EXPECT_EQ(Tick(), SurfaceFromRows({{K, K, K, K}, {a, a, a, a}, {b, b, b, b}}));
    host->SetTickCount(11000);
    EXPECT_EQ(Tick(), SurfaceFromRows({{K, K, K, K}, {K, K, K, K}, {a, a, a, a}}));
    EXPECT_EQ(Frame(), ThreeRows());
    EXPECT_EQ(state.RestoreDeadline, 21000u);
    host->SetTickCount(12000);
    EXPECT_EQ(Tick(), SurfaceFromRows({{K, K, K, K}, {a, a, a, a}, {b, b, b, b}}));
}

TEST_F(MeltTest, DeadlineTestIsSignedAcrossTheWrap)
{
    // The deadline 2147492647 reads as negative while the tick count is still
    // positive: every tick restores until the tick count passes 2^31 too.
    Start(MakeTestPattern(8, 4), "[Melt]\nSpeed=-1\nRecoverTime=10\n", 2147482647u);
    const std::pair<std::uint32_t, std::uint32_t> deadlineAfter[] = {
        {2147482700u, 2147492700u}, {2147483647u, 2147493647u}, {2147483648u, 2147493647u},
        {2147493646u, 2147493647u}, {2147493647u, 2147503647u}};
    for (const auto& [now, deadline] : deadlineAfter) {
        host->SetTickCount(now);
        Tick();
        EXPECT_EQ(state.RestoreDeadline, deadline) << "at " << now;
    }
    // A period of 0 or less restores after every tick, on either side of 2^31.
    for (const char* period : {"0", "-2147483647"}) {
        Start(MakeTestPattern(16, 8), std::string("[Melt]\nSpeed=6\nRecoverTime=") + period + "\n");
        for (const std::uint32_t now : {2147483000u, 2147484000u}) {
            host->SetTickCount(now);
            EXPECT_NE(Tick(), Snapshot()) << "period " << period << " at " << now;
            EXPECT_EQ(Frame(), Snapshot());
        }
    }
}

TEST_F(MeltTest, DrawingTicksMatchTheLiteralTickAsTheFrameChanges)
{
    // The literal tick: each column copied one row down from WorkBitmap to
    // FrameBitmap at a place drawn from the frame's width, its top pixel
    // blackened, then the whole frame restored or carried over. The frames
    // include preview frames that shrink and grow, one larger than the
    // surfaces and empty ones; Speed 100 piles columns on the same places.
    const std::vector<FrameSize> sizes = {{40, 24}, {40, 24}, {25, 10}, {25, 10}, {33, 17}, {40, 24},
                                          {10, 3},  {0, 0},   {1, 1},   {48, 30}, {40, 24}, {3, 24},
                                          {40, 1},  {40, 1},  {40, 24}, {39, 23}, {40, 24}};
    for (const auto& [speed, columns] : {std::pair{"1", 11}, {"100", 1001}}) {
        Start(MakeTestPattern(40, 24), std::string("[Melt]\nSpeed=") + speed + "\nRecoverTime=1\n");
        host->Random().SetSeed(12345);
        SaverSurfaces literal = host->Surfaces();
        RandomSource random(12345);
        std::uint32_t deadline = 1000;
        for (std::size_t tick = 0; tick < sizes.size(); ++tick) {
            const auto [width, height] = sizes[tick];
            const std::uint32_t now = 300u * static_cast<std::uint32_t>(tick + 1);
            host->SetTickCount(now);
            host->SetFrameSize(width, height);
            const Surface shown = Tick();

            Surface& work = literal.WorkBitmap;
            Surface& frame = literal.FrameBitmap;
            for (std::int32_t i = 0; i < columns; ++i) {
                const std::int32_t x = static_cast<std::int32_t>(random.Next(width + 17u)) - 10;
                CopyArea(frame, {x, 1, x + 4, height + 1}, work, {x, 0, x + 4, height});
                FillArea(frame, {x, 0, x + 4, 1}, K);
            }
            ASSERT_EQ(shown, frame) << "Speed " << speed << ", tick " << tick;
            const PixelRect whole{0, 0, width, height};
            const bool restore = static_cast<std::int32_t>(now) >= static_cast<std::int32_t>(deadline);
            if (restore) CopyArea(frame, whole, literal.SnapshotBitmap, whole);
            CopyArea(work, whole, frame, whole);
            if (restore) deadline = now + 1000u;
            ASSERT_EQ(Frame(), frame) << "Speed " << speed << ", tick " << tick;
        }
    }
}

} // namespace
} // namespace nimbrel
