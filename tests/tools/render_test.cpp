// nimbrel-render: the simulated run's timing, the command's files (its
// frames, tick list and GIF, a smaller window, a fresh start) and its
// refusals, and the GIF's delays. The program itself runs in
// render_program_test.cmake, which also has it choose an effect.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "../effects/effect_test_support.h"
#include "tools/render/picture_files.h"
#include "tools/render/render_command.h"
#include "tools/render/render_run.h"

namespace nimbrel::render {
namespace {

namespace fs = std::filesystem;
using test_support::Picture;
using test_support::Text;

// Two rows of eight distinct colours. Wave with one-row bands shifts row y
// by C(t - 1 + y) on drawing tick t, with C = 0, 2, 3, 4, ...
const char* const kDesk = "abcdefgh/ijklmnop";

TEST(RenderRunTest, TicksComeAfterTheIntervalTheTickBeforeLeftAndEachFrameStaysUntilTheNextTick)
{
    // Noise draws a new interval on every tick.
    const RenderOptions options{.SettingsText = {}, .Effects = EnabledEffects{false, false, true}, .Frames = 40,
                                .WindowSize = {}, .StartMs = 1000};
    std::vector<std::uint32_t> durations;
    const RenderResult result =
        RenderRun(Picture(kDesk), options, [&](const ShownFrame& frame) { durations.push_back(frame.DurationMs); });
    EXPECT_EQ(durations[0], result.Ticks[1].TimeMs - 1000);
    for (std::size_t i = 1; i < result.Ticks.size(); ++i) {
        EXPECT_EQ(result.Ticks[i].TimeMs, result.Ticks[i - 1].TimeMs + result.Ticks[i - 1].IntervalMs);
        EXPECT_EQ(durations[i], result.Ticks[i].IntervalMs);
    }
}

// The GIF's frame delays in hundredths of a second, read from its graphic
// control extensions (21 F9 04, flags, delay low byte, delay high byte).
std::vector<int> GifDelays(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<int> delays;
    for (auto at = bytes.find("\x21\xF9\x04"); at != std::string::npos; at = bytes.find("\x21\xF9\x04", at + 1)) {
        delays.push_back(static_cast<unsigned char>(bytes[at + 4]) | static_cast<unsigned char>(bytes[at + 5]) << 8);
    }
    return delays;
}

class RenderCommandTest : public ::testing::Test {
protected:
    RenderCommandTest()
    {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WritePng(dir_ / "desk.png", Picture(kDesk));
    }
    ~RenderCommandTest() override { fs::remove_all(dir_); }

    // Runs the command on the desk picture, writing into out/, with `more`.
    int RunOnDesk(std::vector<std::string> more)
    {
        more.insert(more.begin(), {"--input", (dir_ / "desk.png").string(), "--out", (dir_ / "out").string()});
        out_.str({});
        err_.str({});
        return RunRenderCommand(std::vector<std::string_view>(more.begin(), more.end()), out_, err_);
    }

    const fs::path dir_ = fs::path(::testing::TempDir()) / "nimbrel-render-test";
    std::ostringstream out_, err_;
};

TEST_F(RenderCommandTest, WritesTheFramesAndTheGifAndRemovesAnEarlierRunsFrames)
{
    // One-row bands, 150 ms a tick.
    std::ofstream(dir_ / "wave.ini") << "[Wave]\nPitch=1\nSpeed=5\n";
    ASSERT_EQ(RunOnDesk({"--ini", (dir_ / "wave.ini").string(), "--frames", "3", "--gif", (dir_ / "run.gif").string()}),
              0);
    EXPECT_EQ(out_.str(), "wave\n");
    // The pixels a shift uncovers keep what was there.
    EXPECT_EQ(Text(ReadPng(dir_ / "out" / "frame-0000.png")), kDesk);
    EXPECT_EQ(Text(ReadPng(dir_ / "out" / "frame-0003.png")), "abaabcde/ijiiijkl");
    // The picture is on screen from creation to the first drawing tick.
    EXPECT_EQ(GifDelays(dir_ / "run.gif"), (std::vector<int>{20, 15, 15, 15}));

    // A smaller window shows the top-left corner, and the next run starts
    // Wave afresh, as a new saver process would, in place of the earlier
    // frames but beside other files.
    std::ofstream(dir_ / "out" / "notes.txt") << "mine";
    ASSERT_EQ(RunOnDesk({"--ini", (dir_ / "wave.ini").string(), "--frame-size", "4x2", "--frames", "1"}), 0);
    EXPECT_EQ(Text(ReadPng(dir_ / "out" / "frame-0001.png")), "abcd/ijij");
    EXPECT_FALSE(fs::exists(dir_ / "out" / "frame-0002.png"));
    EXPECT_TRUE(fs::exists(dir_ / "out" / "notes.txt"));
}

TEST_F(RenderCommandTest, BadInputGivesOneLineOfErrorAndANonZeroCode)
{
    // The arguments after the desk picture and the output folder (a later
    // --input replaces the first), the exit code: 1 for a file that cannot
    // be read, 2 for a bad command line, and what the error line mentions.
    std::ofstream(dir_ / "text.png") << "not a picture";
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"--input", (dir_ / "text.png").string()}, 1, "text.png"},
        {{"--effects", "wave,Melt"}, 2, "unknown effect 'Melt'"},
        {{"--frame-size", "8x3"}, 2, "larger than the picture (8x2)"},
        {{"--seed", "4294967296"}, 2, "--seed"},
        {{"stray"}, 2, "'stray'"},
    };
    for (const auto& [args, code, mentions] : cases) {
        EXPECT_EQ(RunOnDesk(args), code) << mentions;
        const std::string error = err_.str();
        EXPECT_TRUE(error.starts_with("nimbrel-render: ") && error.find('\n') == error.size() - 1) << error;
        EXPECT_NE(error.find(mentions), std::string::npos) << error;
        EXPECT_EQ(out_.str(), "");
    }
    EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(RenderCommandTest, GifDelaysFollowTheFramesStartTimesWithoutDrifting)
{
    // 35 ms frames start at 0, 35, 70 and 105 ms: 4 and 3 hundredths in turn.
    GifWriter writer(dir_ / "a.gif", 8, 2, {kBlack, kWhite});
    for (std::int32_t i = 0; i < 4; ++i) writer.AddFrame(Picture(kDesk), 35);
    writer.Finish();
    EXPECT_EQ(GifDelays(dir_ / "a.gif"), (std::vector<int>{4, 3, 4, 3}));
}

} // namespace
} // namespace nimbrel::render
