// Melt: the setup tick, the columns of a drawing tick, the restore and its
// signed deadline, the preview width, the out-of-range settings, and the
// drawing tick against the same tick done literally.
#include "effects/melt.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

using test_support::FindSeed;
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

// A seed whose first `count` draws of Next(21) all give 10: on a frame 4
// pixels wide, a column at x = 0 on each of `count` one-column ticks.
std::uint32_t SeedForColumnsAtZero(int count)
{
    return FindSeed([&](RandomSource& random) {
        for (int i = 0; i < count; ++i) {
            if (random.Next(21) != 10) return false;
        }
        return true;
    });
}

class MeltTest : public test_support::EffectRunTest {
protected:
    void StartMelt(Surface picture, const std::string& settings, std::uint32_t tickCount = 0)
    {
        StartRun(std::move(picture), settings);
        host->SetTickCount(tickCount);
        state = MeltState{};
        MeltTick(*host, state);
    }

    // Runs one drawing tick and returns the frame it presented.
    Surface DrawTick()
    {
        std::optional<Surface> presented;
        host->SetPresentHandler([&](const Surface& frame, FrameSize) { presented = frame; });
        MeltTick(*host, state);
        host->SetPresentHandler(nullptr);
        EXPECT_TRUE(presented.has_value());
        return presented.value_or(Surface());
    }

    MeltState state;
};

TEST_F(MeltTest, SetupTickReadsTheSettingsAndSetsTheFirstDeadline)
{
    StartMelt(MakeTestPattern(8, 4), "", 5000);
    EXPECT_FALSE(host->EffectNeedsSetup());
    EXPECT_EQ(state.ColumnsPerTick, 31);
    EXPECT_TRUE(state.RestoreEnabled);
    EXPECT_EQ(state.RestoreDeadline, 185000u);
    // Nothing drawn or shown, no draws, the interval untouched.
    EXPECT_EQ(host->PresentCount(), 0);
    EXPECT_EQ(host->Random().Seed(), 0u);
    EXPECT_EQ(host->IntervalChanges(), 0);
    EXPECT_EQ(Frame(), Snapshot());

    StartMelt(MakeTestPattern(8, 4), "[Melt]\nSpeed=6\nRecover=0\nRecoverTime=30\n", 100);
    EXPECT_EQ(state.ColumnsPerTick, 61);
    EXPECT_FALSE(state.RestoreEnabled);
    EXPECT_EQ(state.RestoreDeadline, 30100u);
}

TEST_F(MeltTest, OneColumnRunsTheRowsDownTickByTick)
{
    StartMelt(ThreeRows(), "[Melt]\nSpeed=0\nRecover=0\nRecoverTime=0\n");
    host->Random().SetSeed(SeedForColumnsAtZero(3));
    DrawTick();
    EXPECT_EQ(Frame(), SurfaceFromRows({{K, K, K, K}, {a, a, a, a}, {b, b, b, b}}));
    EXPECT_EQ(Work(), Frame());
    DrawTick();
    EXPECT_EQ(Frame(), SurfaceFromRows({{K, K, K, K}, {K, K, K, K}, {a, a, a, a}}));
    EXPECT_EQ(Work(), Frame());
    // Covered on H ticks and never restored: black from top to bottom.
    DrawTick();
    EXPECT_EQ(Frame(), SurfaceFromRows({{K, K, K, K}, {K, K, K, K}, {K, K, K, K}}));
}

TEST_F(MeltTest, RestoringTickShowsTheMeltedFrameThenStartsOver)
{
    StartMelt(ThreeRows(), "[Melt]\nSpeed=0\nRecoverTime=10\n", 1000);
    host->Random().SetSeed(SeedForColumnsAtZero(3));
    host->SetTickCount(5000);
    DrawTick();
    host->SetTickCount(11000);
    EXPECT_EQ(DrawTick(), SurfaceFromRows({{K, K, K, K}, {K, K, K, K}, {a, a, a, a}}));
    EXPECT_EQ(Frame(), ThreeRows());
    EXPECT_EQ(Work(), ThreeRows());
    EXPECT_EQ(state.RestoreDeadline, 21000u);
    host->SetTickCount(12000);
    EXPECT_EQ(DrawTick(), SurfaceFromRows({{K, K, K, K}, {a, a, a, a}, {b, b, b, b}}));
}

TEST_F(MeltTest, DeadlineTestIsSignedAcrossTheWrap)
{
    // The deadline 2147492647 reads as negative while the tick count is still
    // positive: every tick restores until the tick count passes 2^31 too.
    StartMelt(MakeTestPattern(8, 4), "[Melt]\nSpeed=-1\nRecoverTime=10\n", 2147482647u);
    for (std::uint32_t now : {2147482700u, 2147483647u}) {
        host->SetTickCount(now);
        DrawTick();
        EXPECT_EQ(state.RestoreDeadline, now + 10000u) << "a restore expected at " << now;
    }
    for (std::uint32_t now : {2147483648u, 2147493646u}) {
        host->SetTickCount(now);
        DrawTick();
        EXPECT_EQ(state.RestoreDeadline, 2147493647u) << "no restore expected at " << now;
    }
    host->SetTickCount(2147493647u);
    DrawTick();
    EXPECT_EQ(state.RestoreDeadline, 2147503647u);
}

TEST_F(MeltTest, PeriodOfZeroOrLessRestoresOnEveryTick)
{
    for (const char* period : {"0", "-2147483647"}) {
        StartMelt(MakeTestPattern(16, 8),
                  std::string("[Melt]\nSpeed=6\nRecoverTime=") + period + "\n", 2147483000u);
        for (int tick = 0; tick < 4; ++tick) {
            host->AdvanceTickCount(400);  // crosses 2^31 on the way
            EXPECT_NE(DrawTick(), Snapshot()) << "period " << period << ", tick " << tick;
            EXPECT_EQ(Frame(), Snapshot());
            EXPECT_EQ(Work(), Snapshot());
        }
    }
}

TEST_F(MeltTest, RestorePeriodIsCountedModuloTwoToThe32)
{
    StartMelt(MakeTestPattern(8, 4), "[Melt]\nRecoverTime=5000000\n", 7);
    EXPECT_EQ(state.RestoreDeadline, 7u + 705032704u);  // 5 000 000 000 mod 2^32

    // 2147483647000 ms is 2^32 - 1000 modulo 2^32: the deadline lies 1000 ms
    // back, so the first drawing tick restores.
    StartMelt(MakeTestPattern(8, 4), "[Melt]\nSpeed=6\nRecoverTime=2147483647\n", 5000);
    EXPECT_EQ(state.RestoreDeadline, 4000u);
    DrawTick();
    EXPECT_EQ(Work(), Snapshot());
}

TEST_F(MeltTest, PreviewColumnsComeFromTheFramesWidth)
{
    StartMelt(MakeTestPattern(16, 8), "[Melt]\nSpeed=6\nRecover=0\n");
    host->SetFrameSize(4, 3);
    bool reachedColumn13 = false;
    for (int tick = 0; tick < 20; ++tick) {
        DrawTick();
        reachedColumn13 = reachedColumn13 || Frame().ColourAt(13, 1) != Snapshot().ColourAt(13, 1);
    }
    EXPECT_TRUE(reachedColumn13);
    for (std::int32_t y = 0; y < 8; ++y) {
        for (std::int32_t x = 0; x < 16; ++x) {
            // WorkBitmap changes only in the frame's corner; columns start at
            // W + 6 = 10 at most and reach down to row H = 3.
            if (x >= 4 || y >= 3) {
                EXPECT_EQ(Work().ColourAt(x, y), Snapshot().ColourAt(x, y));
            }
            if (x >= 14 || y >= 4) {
                EXPECT_EQ(Frame().ColourAt(x, y), Snapshot().ColourAt(x, y));
            }
        }
    }
}

TEST_F(MeltTest, OutOfRangeSpeedMovesNoColumnsOrACappedNumber)
{
    for (const char* speed : {"-1", "-2147483647", "$80000000"}) {
        StartMelt(MakeTestPattern(8, 4), std::string("[Melt]\nRecover=0\nSpeed=") + speed + "\n");
        EXPECT_EQ(DrawTick(), Snapshot()) << "Speed " << speed;
        EXPECT_EQ(host->Random().Seed(), 0u);
    }
    EXPECT_EQ(MeltColumnsFromSpeed(7), 71);
    EXPECT_EQ(MeltColumnsFromSpeed(100), 1001);
    StartMelt(MakeTestPattern(8, 4), "[Melt]\nRecover=0\nSpeed=2147483647\n");
    EXPECT_EQ(state.ColumnsPerTick, kMaxMeltColumnsPerTick);
    DrawTick();
    EXPECT_EQ(host->Random().Seed(), test_support::SeedAfterDraws(0, kMaxMeltColumnsPerTick));
}

// The drawing tick done literally, column by column, with the whole frame
// carried over or restored, on its own copies of the surfaces.
struct LiteralMelt {
    void Tick(FrameSize size, std::uint32_t now)
    {
        Surface& work = surfaces.WorkBitmap;
        Surface& frame = surfaces.FrameBitmap;
        for (std::int32_t i = 0; i < columns; ++i) {
            const auto x =
                static_cast<std::int32_t>(random.Next(static_cast<std::uint32_t>(size.Width) + 17))
                - 10;
            CopyArea(frame, {x, 1, x + 4, size.Height + 1}, work, {x, 0, x + 4, size.Height});
            FillArea(frame, {x, 0, x + 4, 1}, kBlack);
        }
        presented = frame;
        const PixelRect whole{0, 0, size.Width, size.Height};
        if (static_cast<std::int32_t>(now) >= static_cast<std::int32_t>(deadline)) {
            CopyArea(work, whole, surfaces.SnapshotBitmap, whole);
            CopyArea(frame, whole, surfaces.SnapshotBitmap, whole);
            deadline = now + 1000u;
        } else {
            CopyArea(work, whole, frame, whole);
        }
    }

    SaverSurfaces surfaces;
    RandomSource random;
    std::int32_t columns;
    std::uint32_t deadline;
    Surface presented;
};

TEST_F(MeltTest, DrawingTicksMatchTheLiteralTickAsTheFrameChanges)
{
    // Full frames, preview frames that shrink and grow, a frame larger than
    // the surfaces and empty ones, with a restore every few ticks. Speed 100
    // piles many columns on the same x, which must not add up.
    const std::vector<FrameSize> sizes = {{40, 24}, {40, 24}, {25, 10}, {25, 10}, {33, 17},
                                          {40, 24}, {40, 24}, {10, 3},  {0, 0},   {1, 1},
                                          {48, 30}, {40, 24}, {3, 24},  {40, 2},  {40, 1},
                                          {40, 1},  {40, 24}, {40, 24}, {39, 23}, {40, 24}};
    for (const char* speed : {"1", "6", "100"}) {
        StartMelt(MakeTestPattern(40, 24),
                  std::string("[Melt]\nSpeed=") + speed + "\nRecoverTime=1\n");
        host->Random().SetSeed(12345);
        LiteralMelt literal{host->Surfaces(), RandomSource(12345), state.ColumnsPerTick, 1000u, {}};
        for (std::size_t tick = 0; tick < sizes.size(); ++tick) {
            const std::uint32_t now = 300u * static_cast<std::uint32_t>(tick + 1);
            host->SetTickCount(now);
            host->SetFrameSize(sizes[tick].Width, sizes[tick].Height);
            const Surface shown = DrawTick();
            literal.Tick(sizes[tick], now);
            SCOPED_TRACE(::testing::Message() << "Speed " << speed << ", tick " << tick);
            ASSERT_EQ(shown, literal.presented);
            ASSERT_EQ(Frame(), literal.surfaces.FrameBitmap);
            ASSERT_EQ(Work(), literal.surfaces.WorkBitmap);
        }
    }
}

} // namespace
} // namespace nimbrel
