// The simulated saver run: effect choice, simulated time, and the frames the
// window shows, checked against pictures written out in the tests.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "effects/random_source.h"
#include "tests/tools/render_test_support.h"
#include "tools/render/render_run.h"

namespace nimbrel::render {
namespace {

using test::PictureFromRows;
using test::RowList;
using test::Rows;

constexpr Colour kA = 0x0000A0;
constexpr Colour kB = 0x00B000;
constexpr Colour kC = 0xC00000;
constexpr Colour K = kBlack;

// One run's frames and ticks, everything the sink and the result give.
struct Played {
    RenderResult Result;
    std::vector<Surface> Frames;
    std::vector<std::uint32_t> Durations;
};

Played Play(const Surface& picture, const RenderOptions& options)
{
    Played played;
    played.Result = RenderRun(picture, options, [&](const ShownFrame& frame) {
        EXPECT_EQ(frame.Index, static_cast<std::int32_t>(played.Frames.size()));
        played.Frames.push_back(frame.Picture);
        played.Durations.push_back(frame.DurationMs);
    });
    return played;
}

RenderOptions WithSettings(std::string text)
{
    RenderOptions options;
    options.SettingsText = std::move(text);
    return options;
}

std::vector<std::int32_t> RestoringTicks(const RenderResult& result)
{
    std::vector<std::int32_t> ticks;
    for (const TickRecord& row : result.Ticks) {
        if (row.Restored) ticks.push_back(row.Tick);
    }
    return ticks;
}

// Two rows of eight distinct colours; Wave with one-row bands shifts row 0
// by C(t - 1) and row 1 by C(t) on drawing tick t, with C = 0, 2, 3, 4, ...
Surface EightByTwo()
{
    return PictureFromRows({{1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18}});
}

TEST(RenderRunChoice, DefaultsRunWave)
{
    const Played played = Play(EightByTwo(), {});
    EXPECT_EQ(played.Result.Effect, EffectKind::Wave);
}

TEST(RenderRunChoice, NothingEnabledRunsWave)
{
    const Played played = Play(EightByTwo(), WithSettings("[Main]\nWave=0\nMelt=0\nNoise=0\n"));
    EXPECT_EQ(played.Result.Effect, EffectKind::Wave);
}

TEST(RenderRunChoice, OnlyNoiseEnabledRunsNoise)
{
    const Played played = Play(EightByTwo(), WithSettings("[Main]\nWave=0\nNoise=1\n"));
    EXPECT_EQ(played.Result.Effect, EffectKind::Noise);
    EXPECT_EQ(played.Result.Ticks.back().Effect, EffectKind::Noise);
}

TEST(RenderRunChoice, EffectsOptionReplacesTheFilesChoice)
{
    RenderOptions options = WithSettings("[Main]\nWave=1\nMelt=0\nNoise=0\n");
    options.Effects = EnabledEffects{false, true, false};
    EXPECT_EQ(Play(EightByTwo(), options).Result.Effect, EffectKind::Melt);
}

TEST(RenderRunChoice, SeedPicksAmongEnabledEffects)
{
    // The first Next(30) from seeds 0, 2 and 3 gives 0, 1 and 2.
    RenderOptions options;
    options.Effects = EnabledEffects{true, true, true};
    options.Frames = 0;
    const EffectKind expected[] = {EffectKind::Wave, EffectKind::Melt, EffectKind::Noise};
    const std::uint32_t seeds[] = {0, 2, 3};
    for (int i = 0; i < 3; ++i) {
        options.Seed = seeds[i];
        EXPECT_EQ(Play(EightByTwo(), options).Result.Effect, expected[i]) << "seed " << seeds[i];
    }
    // From seed 0 the draws are 0, 0, 25: without Wave the choice redraws
    // twice and lands on Melt (25 mod 3 = 1).
    options.Seed = 0;
    options.Effects = EnabledEffects{false, true, true};
    EXPECT_EQ(Play(EightByTwo(), options).Result.Effect, EffectKind::Melt);
}

class RenderRunWave : public ::testing::Test {
protected:
    // One-row bands, 150 ms a tick.
    RenderOptions options = WithSettings("[Wave]\nPitch=1\nSpeed=5\n");
};

TEST_F(RenderRunWave, FramesAreThePicturesThatTheTicksShow)
{
    options.Frames = 3;
    const Played played = Play(EightByTwo(), options);
    ASSERT_EQ(played.Frames.size(), 4u);
    // Before the first drawing tick the window shows the snapshot.
    EXPECT_EQ(Rows(played.Frames[0]), Rows(EightByTwo()));
    // Row 1 moves right by 2; its first two pixels keep what was there.
    EXPECT_EQ(Rows(played.Frames[1]), (RowList{{1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 11, 12, 13, 14, 15, 16}}));
    // Row 0 takes row 1's old shift of 2, row 1 moves on to 3.
    EXPECT_EQ(Rows(played.Frames[2]), (RowList{{1, 2, 1, 2, 3, 4, 5, 6}, {11, 12, 11, 11, 12, 13, 14, 15}}));
    EXPECT_EQ(Rows(played.Frames[3]), (RowList{{1, 2, 1, 1, 2, 3, 4, 5}, {11, 12, 11, 11, 11, 12, 13, 14}}));
}

TEST_F(RenderRunWave, SetupTickComesAfter50MsAndSetsTheInterval)
{
    options.Frames = 2;
    options.StartMs = 1000;
    const Played played = Play(EightByTwo(), options);
    ASSERT_EQ(played.Result.Ticks.size(), 3u);
    const std::uint64_t times[] = {1050, 1200, 1350};
    for (std::size_t i = 0; i < 3; ++i) {
        const TickRecord& row = played.Result.Ticks[i];
        EXPECT_EQ(row.Tick, static_cast<std::int32_t>(i));
        EXPECT_EQ(row.TimeMs, times[i]);
        EXPECT_EQ(row.IntervalMs, 150u);
        EXPECT_EQ(row.Effect, EffectKind::Wave);
        EXPECT_FALSE(row.Restored);
    }
    // The snapshot is on screen from creation to the first drawing tick.
    EXPECT_EQ(played.Durations, (std::vector<std::uint32_t>{200, 150, 150}));
}

TEST_F(RenderRunWave, SmallerWindowShowsTheTopLeftCorner)
{
    options.Frames = 1;
    options.WindowSize = FrameSize{4, 2};
    const Surface picture = PictureFromRows(
        {{1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18}, {21, 22, 23, 24, 25, 26, 27, 28}});
    const Played played = Play(picture, options);
    ASSERT_EQ(played.Frames.size(), 2u);
    EXPECT_EQ(Rows(played.Frames[0]), (RowList{{1, 2, 3, 4}, {11, 12, 13, 14}}));
    EXPECT_EQ(Rows(played.Frames[1]), (RowList{{1, 2, 3, 4}, {11, 12, 11, 12}}));
}

TEST_F(RenderRunWave, ZeroFramesGivesTheSnapshotAndTheSetupTick)
{
    options.Frames = 0;
    const Played played = Play(EightByTwo(), options);
    ASSERT_EQ(played.Frames.size(), 1u);
    EXPECT_EQ(Rows(played.Frames[0]), Rows(EightByTwo()));
    ASSERT_EQ(played.Result.Ticks.size(), 1u);
    EXPECT_EQ(played.Result.Ticks[0].Tick, 0);
    EXPECT_EQ(played.Durations, (std::vector<std::uint32_t>{200}));
}

TEST_F(RenderRunWave, EveryRunStartsAsInAFreshProcess)
{
    // Wave's base offset outlives a run in the saver's process; the renderer
    // plays the first run of a process every time.
    options.Frames = 3;
    const Played first = Play(EightByTwo(), options);
    const Played second = Play(EightByTwo(), options);
    EXPECT_EQ(Rows(second.Frames[3]), Rows(first.Frames[3]));
}

class RenderRunMelt : public ::testing::Test {
protected:
    RenderRunMelt() { options.Effects = EnabledEffects{false, true, false}; }

    // A frame four pixels wide whose rows are a, b and c.
    Surface picture = PictureFromRows({{kA, kA, kA, kA}, {kB, kB, kB, kB}, {kC, kC, kC, kC}});
    RenderOptions options;
};

TEST_F(RenderRunMelt, ColumnDrawsFollowTheChoiceDraws)
{
    // From seed 758 Next(30) gives two draws that are not Melt and then one
    // that is; the next two Next(21) give 10, a column at x = 0.
    RandomSource random(758);
    EXPECT_NE(random.Next(30) % 3, 1u);
    EXPECT_NE(random.Next(30) % 3, 1u);
    EXPECT_EQ(random.Next(30) % 3, 1u);
    ASSERT_EQ(random.Next(21), 10u);
    ASSERT_EQ(random.Next(21), 10u);

    options.SettingsText = "[Melt]\nSpeed=0\nRecover=0\n";
    options.Seed = 758;
    options.Frames = 2;
    const Played played = Play(picture, options);
    ASSERT_EQ(played.Frames.size(), 3u);
    EXPECT_EQ(Rows(played.Frames[1]), (RowList{{K, K, K, K}, {kA, kA, kA, kA}, {kB, kB, kB, kB}}));
    EXPECT_EQ(Rows(played.Frames[2]), (RowList{{K, K, K, K}, {K, K, K, K}, {kA, kA, kA, kA}}));
    EXPECT_EQ(played.Result.Ticks[1].TimeMs, 100u);
    EXPECT_EQ(played.Result.Ticks[2].TimeMs, 150u);
    EXPECT_EQ(played.Result.Ticks[2].IntervalMs, 50u);
}

// With Speed 6 sixty-one columns land on 21 places from x = -10 to 10, so
// from seed 0 every column of a 4-pixel frame moves on every tick.
TEST_F(RenderRunMelt, RestoringTickShowsTheMeltedFrameAndTheNextStartsOver)
{
    options.SettingsText = "[Melt]\nSpeed=6\nRecover=1\nRecoverTime=1\n";
    options.Frames = 21;
    const Played played = Play(picture, options);
    // The setup tick at 50 ms sets the deadline to 1050 ms, the time of
    // drawing tick 20.
    EXPECT_EQ(RestoringTicks(played.Result), (std::vector<std::int32_t>{20}));
    EXPECT_EQ(played.Result.Ticks[20].TimeMs, 1050u);
    const RowList black{{K, K, K, K}, {K, K, K, K}, {K, K, K, K}};
    EXPECT_EQ(Rows(played.Frames[3]), black);
    EXPECT_EQ(Rows(played.Frames[20]), black);
    EXPECT_EQ(Rows(played.Frames[21]), (RowList{{K, K, K, K}, {kA, kA, kA, kA}, {kB, kB, kB, kB}}));
}

TEST_F(RenderRunMelt, TickCountWrapsAt32Bits)
{
    // Setup at 2^32 - 246 ms; the deadline wraps to 754 and is met one
    // period later, by the wrapped count.
    options.SettingsText = "[Melt]\nSpeed=0\nRecoverTime=1\n";
    options.StartMs = 4294967000u;
    options.Frames = 21;
    const Played played = Play(picture, options);
    EXPECT_EQ(RestoringTicks(played.Result), (std::vector<std::int32_t>{20}));
    EXPECT_EQ(played.Result.Ticks[0].TimeMs, 4294967050u);
    EXPECT_EQ(played.Result.Ticks[20].TimeMs, 4294968050u);
}

TEST_F(RenderRunMelt, DeadlinePast2To31IsMetAtOnceUntilTheCountGetsThere)
{
    // Setup at 2^31 - 450 ms: the deadline, 2^31 + 550, reads as negative,
    // so the still positive count meets it on every tick up to 2^31 - 50.
    // From tick 9 the count itself reads as negative and the deadline of
    // tick 8's restore, 2^31 + 950, comes at tick 28.
    options.SettingsText = "[Melt]\nSpeed=0\nRecoverTime=1\n";
    options.StartMs = 2147483148u;
    options.Frames = 30;
    const Played played = Play(picture, options);
    EXPECT_EQ(RestoringTicks(played.Result), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 28}));
}

class RenderRunNoise : public ::testing::Test {
protected:
    RenderRunNoise() { options.Effects = EnabledEffects{false, false, true}; }

    RenderOptions options;
};

TEST_F(RenderRunNoise, EachTickComesAfterTheIntervalTheTickBeforeDrew)
{
    options.Frames = 40;
    const Surface picture(8, 6);
    const Played played = Play(picture, options);
    const auto& ticks = played.Result.Ticks;
    ASSERT_EQ(ticks.size(), 41u);
    // The setup tick keeps the starting 50 ms.
    EXPECT_EQ(ticks[0].TimeMs, 50u);
    EXPECT_EQ(ticks[0].IntervalMs, 50u);
    EXPECT_EQ(ticks[1].TimeMs, 100u);
    std::set<std::uint32_t> intervals;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i].IntervalMs, 40u);
        EXPECT_LE(ticks[i].IntervalMs, 499u);
        if (i + 1 < ticks.size()) {
            EXPECT_EQ(ticks[i + 1].TimeMs, ticks[i].TimeMs + ticks[i].IntervalMs);
        }
        EXPECT_EQ(played.Durations[i], ticks[i].IntervalMs);
        intervals.insert(ticks[i].IntervalMs);
    }
    EXPECT_GT(intervals.size(), 20u) << "the intervals should vary";
}

TEST_F(RenderRunNoise, EveryFrameIsTheSnapshotPlusThatFramesDarkLines)
{
    options.Frames = 20;
    // Deal 0: twenty lines on 28 possible rows, eight of them in the frame.
    options.SettingsText = "[Noise]\nDeal=0\n";
    const Surface picture(6, 8);  // white
    const Played played = Play(picture, options);
    int lines = 0;
    for (const Surface& frame : played.Frames) {
        for (std::int32_t y = 0; y < frame.Height(); ++y) {
            const Colour colour = frame.ColourAt(0, y);
            for (std::int32_t x = 1; x < frame.Width(); ++x) ASSERT_EQ(frame.ColourAt(x, y), colour);
            if (colour == kWhite) continue;
            ++lines;
            EXPECT_EQ(colour & 0x808080u, 0u) << "every component is 0 to 127";
        }
    }
    EXPECT_GT(lines, 0);
    EXPECT_EQ(Rows(played.Frames[0]), Rows(picture));
}

TEST(RenderRunOptions, RefusesWindowsThePictureCannotHold)
{
    const Surface picture(8, 2);
    RenderOptions options;
    for (const FrameSize size : {FrameSize{9, 2}, FrameSize{8, 3}, FrameSize{0, 2}, FrameSize{8, 0}}) {
        options.WindowSize = size;
        EXPECT_THROW(RenderRun(picture, options, [](const ShownFrame&) {}), std::invalid_argument);
    }
    options.WindowSize.reset();
    options.Frames = -1;
    EXPECT_THROW(RenderRun(picture, options, [](const ShownFrame&) {}), std::invalid_argument);
}

} // namespace
} // namespace nimbrel::render
