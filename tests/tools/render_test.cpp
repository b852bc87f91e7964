// nimbrel-render: the simulated run's frames and ticks, the command's files
// and its refusals, and the PNG and GIF files it writes, read back with the
// same libraries.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "tools/render/picture_files.h"
#include "tools/render/render_command.h"
#include "tools/render/render_run.h"

namespace nimbrel::render {
namespace {

namespace fs = std::filesystem;
using RowList = std::vector<std::vector<Colour>>;

constexpr Colour K = kBlack;

Surface PictureFromRows(const RowList& rows)
{
    Surface picture(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()));
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
        for (std::int32_t x = 0; x < picture.Width(); ++x) picture.SetColourAt(x, y, rows[y][x]);
    }
    return picture;
}

RowList Rows(const Surface& picture)
{
    RowList rows(static_cast<std::size_t>(picture.Height()));
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
        for (std::int32_t x = 0; x < picture.Width(); ++x) rows[y].push_back(picture.ColourAt(x, y));
    }
    return rows;
}

// Two rows of eight distinct colours; Wave with one-row bands shifts row 0
// by C(t - 1) and row 1 by C(t) on drawing tick t, with C = 0, 2, 3, 4, ...
const RowList kDesk = {{1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18}};

// Plays a run; returns the frames it showed, as rows.
std::vector<RowList> Play(const RowList& picture, const RenderOptions& options, RenderResult* result = nullptr)
{
    std::vector<RowList> frames;
    const RenderResult played = RenderRun(PictureFromRows(picture), options, [&](const ShownFrame& frame) {
        EXPECT_EQ(frame.Index, static_cast<std::int32_t>(frames.size()));
        frames.push_back(Rows(frame.Picture));
    });
    if (result) *result = played;
    return frames;
}

TEST(RenderRunTest, ChoiceFollowsTheSettingsOrTheEffectsOptionAndTheSeed)
{
    // Settings, the effects option, the seed, and the effect chosen. From
    // seeds 0, 2 and 3 the first Next(30) gives 0, 1 and 2; from seed 0 the
    // draws go on 0, 25, and 25 mod 3 = 1 names Melt.
    const std::tuple<const char*, std::optional<EnabledEffects>, std::uint32_t, EffectKind> cases[] = {
        {"", {}, 0, EffectKind::Wave},
        {"[Main]\nWave=0\nMelt=0\nNoise=0\n", {}, 0, EffectKind::Wave},
        {"[Main]\nWave=0\nNoise=1\n", {}, 0, EffectKind::Noise},
        {"[Main]\nWave=1\nMelt=0\nNoise=0\n", EnabledEffects{false, true, false}, 0, EffectKind::Melt},
        {"", EnabledEffects{true, true, true}, 0, EffectKind::Wave},
        {"", EnabledEffects{true, true, true}, 2, EffectKind::Melt},
        {"", EnabledEffects{true, true, true}, 3, EffectKind::Noise},
        {"", EnabledEffects{false, true, true}, 0, EffectKind::Melt},
    };
    for (const auto& [settings, effects, seed, expected] : cases) {
        RenderResult result;
        Play(kDesk, {.SettingsText = settings, .Effects = effects, .Seed = seed, .Frames = 1, .WindowSize = {}},
             &result);
        EXPECT_EQ(result.Effect, expected) << settings << ", seed " << seed;
    }
}

TEST(RenderRunTest, SmallerWindowShowsTheTopLeftCornerInEveryFreshRun)
{
    const RenderOptions options{
        .SettingsText = "[Wave]\nPitch=1\n", .Effects = {}, .Frames = 2, .WindowSize = FrameSize{4, 2}};
    // Wave's base offset outlives a run in the saver's process; every play
    // is the first run of a process.
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Play({kDesk[0], kDesk[1], {21, 22, 23, 24, 25, 26, 27, 28}}, options),
                  (std::vector<RowList>{{{1, 2, 3, 4}, {11, 12, 13, 14}},
                                        {{1, 2, 3, 4}, {11, 12, 11, 12}},
                                        {{1, 2, 1, 2}, {11, 12, 11, 11}}}));
    }
}

TEST(RenderRunTest, MeltDrawsAfterTheChoiceAndRestoresAsTheTickCountWraps)
{
    // From seed 758 Next(30) gives two draws that are not Melt and then one
    // that is; the next two Next(21) give 10, a column at x = 0. Setup at
    // 2^32 - 246 ms puts the deadline at 754 after the wrap, drawing tick 20.
    constexpr Colour a = 0x0000A0, b = 0x00B000, c = 0xC00000;
    const RenderOptions options{.SettingsText = "[Melt]\nSpeed=0\nRecoverTime=1\n",
                                .Effects = EnabledEffects{false, true, false}, .Seed = 758, .Frames = 30,
                                .WindowSize = {}, .StartMs = 4294967000u};
    RenderResult result;
    const std::vector<RowList> frames = Play({{a, a, a, a}, {b, b, b, b}, {c, c, c, c}}, options, &result);
    EXPECT_EQ(frames[1], (RowList{{K, K, K, K}, {a, a, a, a}, {b, b, b, b}}));
    EXPECT_EQ(frames[2], (RowList{{K, K, K, K}, {K, K, K, K}, {a, a, a, a}}));
    for (const TickRecord& row : result.Ticks) EXPECT_EQ(row.Restored, row.Tick == 20) << "tick " << row.Tick;
    EXPECT_EQ(result.Ticks[20].TimeMs, 4294968050u);
    EXPECT_EQ(result.Ticks[20].IntervalMs, 50u);
}

TEST(RenderRunTest, NoiseTicksComeAfterTheIntervalTheTickBeforeDrew)
{
    const RenderOptions options{
        .SettingsText = {}, .Effects = EnabledEffects{false, false, true}, .Frames = 40, .WindowSize = {}};
    std::vector<std::uint32_t> durations;
    const RenderResult result =
        RenderRun(Surface(8, 6), options, [&](const ShownFrame& frame) { durations.push_back(frame.DurationMs); });
    // The setup tick keeps the starting 50 ms; each frame stays for the
    // interval its tick drew, 40 to 499 ms.
    EXPECT_EQ(result.Ticks[1].TimeMs, 100u);
    std::set<std::uint32_t> intervals;
    for (std::size_t i = 1; i < result.Ticks.size(); ++i) {
        const TickRecord& before = result.Ticks[i - 1];
        EXPECT_EQ(result.Ticks[i].TimeMs, before.TimeMs + before.IntervalMs);
        EXPECT_EQ(durations[i], result.Ticks[i].IntervalMs);
        intervals.insert(result.Ticks[i].IntervalMs);
    }
    EXPECT_GE(*intervals.begin(), 40u);
    EXPECT_LE(*intervals.rbegin(), 499u);
    EXPECT_GT(intervals.size(), 20u) << "the intervals should vary";
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A decoded GIF: each frame as a viewer composes it, and its delay in
// hundredths of a second.
std::pair<std::vector<Surface>, std::vector<int>> DecodeGif(const fs::path& path)
{
    int error = 0;
    auto close = [](GifFileType* file) { DGifCloseFile(file, nullptr); };
    std::unique_ptr<GifFileType, decltype(close)> gif(DGifOpenFileName(path.c_str(), &error), close);
    if (!gif || DGifSlurp(gif.get()) != GIF_OK) throw std::runtime_error("cannot decode " + path.string());
    std::pair<std::vector<Surface>, std::vector<int>> decoded;
    Surface canvas(gif->SWidth, gif->SHeight);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const GifImageDesc& image = gif->SavedImages[i].ImageDesc;
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif.get(), i, &control);
        const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
        for (int y = 0; y < image.Height; ++y) {
            for (int x = 0; x < image.Width; ++x) {
                const int index = gif->SavedImages[i].RasterBits[y * image.Width + x];
                const GifColorType& c = map->Colors[index];
                if (index != control.TransparentColor) {
                    canvas.SetColourAt(image.Left + x, image.Top + y, MakeColour(c.Red, c.Green, c.Blue));
                }
            }
        }
        decoded.first.push_back(canvas);
        decoded.second.push_back(control.DelayTime);
    }
    return decoded;
}

class RenderFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(::testing::TempDir())
              / ("nimbrel-render-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        WritePng(dir / "desk.png", PictureFromRows(kDesk));
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(const std::vector<std::string>& words)
    {
        out.str({});
        err.str({});
        return RunRenderCommand(std::vector<std::string_view>(words.begin(), words.end()), out, err);
    }

    // Runs the command on the desk picture, writing into `out`, with `more`.
    int RunOnDesk(std::vector<std::string> more)
    {
        more.insert(more.begin(), {"--input", (dir / "desk.png").string(), "--out", (dir / "out").string()});
        return Run(more);
    }

    fs::path dir;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RenderFilesTest, CommandWritesTheFramesTheTickListAndTheGif)
{
    // One-row bands, 150 ms a tick.
    std::ofstream(dir / "wave.ini") << "[Wave]\nPitch=1\nSpeed=5\n";
    ASSERT_EQ(RunOnDesk({"--ini", (dir / "wave.ini").string(), "--frames", "3", "--start-ms", "1000", "--gif",
                         (dir / "run.gif").string()}),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "wave\n");
    EXPECT_EQ(ReadFile(dir / "out" / "ticks.csv"),
              "tick,time_ms,interval_ms,effect,restored,rects,changed_pixels\n"
              "0,1050,150,wave,0,0,0\n"
              "1,1200,150,wave,0,1,16\n"
              "2,1350,150,wave,0,1,16\n"
              "3,1500,150,wave,0,1,16\n");
    // Before the first drawing tick the window shows the picture; then row 1
    // moves right by 2, 3, 4 and row 0 follows it a tick later. The pixels a
    // shift uncovers keep what was there.
    const std::vector<RowList> frames = {kDesk,
                                         {{1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 11, 12, 13, 14, 15, 16}},
                                         {{1, 2, 1, 2, 3, 4, 5, 6}, {11, 12, 11, 11, 12, 13, 14, 15}},
                                         {{1, 2, 1, 1, 2, 3, 4, 5}, {11, 12, 11, 11, 11, 12, 13, 14}}};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(Rows(ReadPng(dir / "out" / ("frame-000" + std::to_string(i) + ".png"))), frames[i]) << i;
    }
    EXPECT_FALSE(fs::exists(dir / "out" / "frame-0004.png"));
    // The picture is on screen from creation to the first drawing tick.
    EXPECT_EQ(DecodeGif(dir / "run.gif").second, (std::vector<int>{20, 15, 15, 15}));
    EXPECT_NE(ReadFile(dir / "run.gif").find("NETSCAPE2.0"), std::string::npos) << "the GIF should loop";
}

TEST_F(RenderFilesTest, CommandPassesItsOptionsAndRemovesAnEarlierRunsFrames)
{
    ASSERT_EQ(RunOnDesk({"--frames", "3"}), 0);
    std::ofstream(dir / "out" / "notes.txt") << "mine";
    ASSERT_EQ(RunOnDesk({"--effects", "noise,melt", "--seed", "0", "--frame-size", "3x1", "--frames", "1"}), 0)
        << err.str();
    // From seed 0 Next(30) gives 0, 0, 25: the choice lands on Melt.
    EXPECT_EQ(out.str(), "melt\n");
    EXPECT_EQ(Rows(ReadPng(dir / "out" / "frame-0000.png")), (RowList{{1, 2, 3}}));
    EXPECT_NE(ReadFile(dir / "out" / "ticks.csv").find("\n1,100,50,melt,0,1,3\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir / "out" / "frame-0001.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "frame-0002.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "frame-0003.png"));
    EXPECT_EQ(ReadFile(dir / "out" / "notes.txt"), "mine");
}

TEST_F(RenderFilesTest, BadInputGivesOneLineOfErrorAndANonZeroCode)
{
    // Arguments after the desk picture and the output folder (a later
    // --input replaces the first), the exit code, and what the error line
    // mentions: 1 for a file that cannot be read, 2 for a bad command line.
    std::ofstream(dir / "text.png") << "not a picture";
    const std::string missing = (dir / "nowhere.png").string();
    std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"--input", missing}, 1, missing},
        {{"--input", (dir / "text.png").string()}, 1, "text.png"},
        {{"--ini", (dir / "none.ini").string()}, 1, "none.ini"},
        {{"--effects", "wave,ripple"}, 2, "'ripple'"},
        {{"--effects", "wave,"}, 2, "unknown effect ''"},
        {{"--effects", "Wave"}, 2, "'Wave'"},
        {{"--frame-size", "9x2"}, 2, "larger than the picture (8x2)"},
        {{"--frame-size", "8x3"}, 2, "larger than the picture (8x2)"},
        {{"--seed", "4294967296"}, 2, "--seed"},
        {{"--seed", "-1"}, 2, "--seed"},
        {{"--frames", "2.5"}, 2, "--frames"},
        {{"--frames", "3000000"}, 2, "--frames"},
        {{"--start-ms", ""}, 2, "--start-ms"},
        {{"--colour", "red"}, 2, "'--colour'"},
        {{"--seed"}, 2, "--seed needs a value"},
        {{"stray"}, 2, "'stray'"},
    };
    for (const char* size : {"12", "12x", "x4", "0x4", "4x0", "-4x2", "4x2x1", "4 x2", "four"}) {
        cases.push_back({{"--frame-size", size}, 2, "--frame-size"});
    }
    auto refused = [&](int code, int expected, const std::string& mentions) {
        EXPECT_EQ(code, expected) << mentions;
        EXPECT_TRUE(std::regex_match(err.str(), std::regex("nimbrel-render: [^\n]+\n"))) << err.str();
        EXPECT_NE(err.str().find(mentions), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    };
    for (const auto& [args, code, mentions] : cases) refused(RunOnDesk(args), code, mentions);
    refused(Run({"--out", (dir / "out").string()}), 2, "--input");
    refused(Run({"--input", (dir / "desk.png").string()}), 2, "--out");
    EXPECT_FALSE(fs::exists(dir / "out"));
}

TEST_F(RenderFilesTest, PngOfOtherKindsReadsAsOpaqueColours)
{
    // Grey 0x40 and 0xC0; opaque red, then fully transparent white, which
    // reads as black: a screen has no transparency.
    const std::pair<std::uint32_t, std::vector<png_byte>> files[] = {
        {PNG_FORMAT_GRAY, {0x40, 0xC0}}, {PNG_FORMAT_RGBA, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0}}};
    const RowList expected[] = {{{0x404040, 0xC0C0C0}}, {{0x0000FF, 0x000000}}};
    for (std::size_t i = 0; i < 2; ++i) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = 2;
        image.height = 1;
        image.format = files[i].first;
        ASSERT_TRUE(png_image_write_to_file(&image, (dir / "raw.png").c_str(), 0, files[i].second.data(), 0, nullptr));
        EXPECT_EQ(Rows(ReadPng(dir / "raw.png")), expected[i]);
    }
}

TEST_F(RenderFilesTest, GifShowsTheFramesWithTheirDelays)
{
    // A smooth gradient of 4096 colours in 255 (red 4 x, green 4 y, blue 96),
    // a red corner on it, the same again, and grey.
    Surface gradient(64, 64);
    for (std::int32_t y = 0; y < 64; ++y) {
        for (std::int32_t x = 0; x < 64; ++x) {
            gradient.SetColourAt(x, y, static_cast<Colour>(MakeColour(0, 0, 96) + x * 4 + y * 4 * 256));
        }
    }
    Surface corner = gradient;
    FillArea(corner, {60, 0, 64, 4}, 0x0000F0);
    Surface grey(64, 64);
    FillArea(grey, {0, 0, 64, 64}, 0x808080);
    const std::vector<Surface> frames = {gradient, corner, corner, grey};
    GifPalette palette;
    for (const Surface& frame : frames) palette.AddSample(frame);
    GifWriter writer(dir / "a.gif", 64, 64, palette.Build());
    // 35 ms frames start at 0, 35, 70 and 105 ms: delays of 3 and 4
    // hundredths of a second that do not drift.
    for (const Surface& frame : frames) writer.AddFrame(frame, 35);
    writer.Finish();
    const auto [shown, delays] = DecodeGif(dir / "a.gif");
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(delays, (std::vector<int>{4, 3, 4, 3}));
    // Every colour component within 16 of the frame's.
    for (std::size_t i = 0; i < frames.size(); ++i) {
        for (std::int32_t y = 0; y < 64; ++y) {
            for (std::int32_t x = 0; x < 64; ++x) {
                const Colour got = shown[i].ColourAt(x, y), wanted = frames[i].ColourAt(x, y);
                for (int shift : {0, 8, 16}) {
                    const int difference = static_cast<int>((got >> shift) & 0xFF)
                                           - static_cast<int>((wanted >> shift) & 0xFF);
                    ASSERT_LE(std::abs(difference), 16) << "frame " << i << " at (" << x << ", " << y << ")";
                }
            }
        }
    }
}

} // namespace
} // namespace nimbrel::render
