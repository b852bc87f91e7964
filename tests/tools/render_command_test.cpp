// The nimbrel-render command in-process: the files it writes and the way it
// refuses bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/render_test_support.h"
#include "tools/render/picture_files.h"
#include "tools/render/render_command.h"

namespace nimbrel::render {
namespace {

namespace fs = std::filesystem;
using test::PictureFromRows;
using test::RowList;
using test::Rows;

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class RenderCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(::testing::TempDir()) / ("nimbrel-render-" + std::string(info->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        WritePng(dir / "desk.png",
                 PictureFromRows({{1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18}}));
        // One-row bands, 150 ms a tick.
        WriteFile(dir / "wave.ini", "[Wave]\nPitch=1\nSpeed=5\n");
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(std::vector<std::string> words)
    {
        std::vector<std::string_view> args(words.begin(), words.end());
        out.str({});
        err.str({});
        return RunRenderCommand(args, out, err);
    }

    // Runs with the given arguments after the picture and the output folder.
    int RunOnDesk(std::vector<std::string> more)
    {
        std::vector<std::string> words{"--input", (dir / "desk.png").string(), "--out", (dir / "out").string()};
        words.insert(words.end(), more.begin(), more.end());
        return Run(words);
    }

    // The run failed with exactly one line on standard error that contains
    // `mentions`, and wrote nothing on standard output.
    void ExpectOneLineError(int code, int expectedCode, const std::string& mentions)
    {
        EXPECT_EQ(code, expectedCode);
        const std::string text = err.str();
        EXPECT_EQ(text.rfind("nimbrel-render: ", 0), 0u) << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
        EXPECT_NE(text.find(mentions), std::string::npos) << text;
        EXPECT_EQ(out.str(), "");
    }

    fs::path dir;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RenderCommandTest, WritesFramesAndTicksAndNamesTheEffect)
{
    ASSERT_EQ(RunOnDesk({"--ini", (dir / "wave.ini").string(), "--frames", "2", "--start-ms", "1000"}), 0)
        << err.str();
    EXPECT_EQ(out.str(), "wave\n");
    EXPECT_EQ(ReadFile(dir / "out" / "ticks.csv"),
              "tick,time_ms,interval_ms,effect,restored\n"
              "0,1050,150,wave,0\n"
              "1,1200,150,wave,0\n"
              "2,1350,150,wave,0\n");
    EXPECT_EQ(Rows(ReadPng(dir / "out" / "frame-0000.png")),
              (RowList{{1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18}}));
    EXPECT_EQ(Rows(ReadPng(dir / "out" / "frame-0002.png")),
              (RowList{{1, 2, 1, 2, 3, 4, 5, 6}, {11, 12, 11, 11, 12, 13, 14, 15}}));
    EXPECT_FALSE(fs::exists(dir / "out" / "frame-0003.png"));
}

TEST_F(RenderCommandTest, FrameSizeAndEffectsAndSeedReachTheRun)
{
    ASSERT_EQ(RunOnDesk({"--effects", "noise,melt", "--seed", "0", "--frame-size", "3x1", "--frames", "1"}), 0)
        << err.str();
    // From seed 0 Next(30) gives 0, 0, 25: the choice lands on Melt.
    EXPECT_EQ(out.str(), "melt\n");
    EXPECT_EQ(Rows(ReadPng(dir / "out" / "frame-0000.png")), (RowList{{1, 2, 3}}));
    EXPECT_NE(ReadFile(dir / "out" / "ticks.csv").find("1,100,50,melt,0\n"), std::string::npos);
}

TEST_F(RenderCommandTest, FramesOfAnEarlierLongerRunAreRemoved)
{
    ASSERT_EQ(RunOnDesk({"--frames", "3"}), 0);
    WriteFile(dir / "out" / "notes.txt", "mine");
    ASSERT_EQ(RunOnDesk({"--frames", "1"}), 0);
    EXPECT_TRUE(fs::exists(dir / "out" / "frame-0001.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "frame-0002.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "frame-0003.png"));
    EXPECT_EQ(ReadFile(dir / "out" / "notes.txt"), "mine");
}

TEST_F(RenderCommandTest, MissingOrUnreadablePictureFails)
{
    const std::string missing = (dir / "nowhere.png").string();
    ExpectOneLineError(Run({"--input", missing, "--out", (dir / "out").string()}), 1, missing);

    WriteFile(dir / "text.png", "not a picture");
    ExpectOneLineError(Run({"--input", (dir / "text.png").string(), "--out", (dir / "out").string()}), 1,
                       "text.png");
    EXPECT_FALSE(fs::exists(dir / "out"));
}

TEST_F(RenderCommandTest, MissingSettingsFileFails)
{
    ExpectOneLineError(RunOnDesk({"--ini", (dir / "none.ini").string()}), 1, "none.ini");
}

TEST_F(RenderCommandTest, UnknownEffectFails)
{
    ExpectOneLineError(RunOnDesk({"--effects", "wave,ripple"}), 2, "'ripple'");
    ExpectOneLineError(RunOnDesk({"--effects", "wave,"}), 2, "unknown effect ''");
    ExpectOneLineError(RunOnDesk({"--effects", "Wave"}), 2, "'Wave'");
}

TEST_F(RenderCommandTest, MalformedFrameSizeFails)
{
    for (const char* size : {"12", "12x", "x4", "0x4", "4x0", "-4x2", "4x2x1", "4 x2", "four"}) {
        ExpectOneLineError(RunOnDesk({"--frame-size", size}), 2, "--frame-size");
    }
    ExpectOneLineError(RunOnDesk({"--frame-size", "9x2"}), 2, "larger than the picture (8x2)");
}

TEST_F(RenderCommandTest, MalformedNumbersFail)
{
    ExpectOneLineError(RunOnDesk({"--seed", "4294967296"}), 2, "--seed");
    ExpectOneLineError(RunOnDesk({"--seed", "-1"}), 2, "--seed");
    ExpectOneLineError(RunOnDesk({"--frames", "2.5"}), 2, "--frames");
    ExpectOneLineError(RunOnDesk({"--frames", "3000000"}), 2, "--frames");
    ExpectOneLineError(RunOnDesk({"--start-ms", ""}), 2, "--start-ms");
}

TEST_F(RenderCommandTest, MalformedCommandLinesFail)
{
    ExpectOneLineError(Run({"--out", (dir / "out").string()}), 2, "--input");
    ExpectOneLineError(Run({"--input", (dir / "desk.png").string()}), 2, "--out");
    ExpectOneLineError(RunOnDesk({"--colour", "red"}), 2, "'--colour'");
    ExpectOneLineError(RunOnDesk({"--seed"}), 2, "--seed needs a value");
    ExpectOneLineError(RunOnDesk({"stray"}), 2, "'stray'");
}

} // namespace
} // namespace nimbrel::render
