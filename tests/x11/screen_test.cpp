// What the hack shows under Xvfb: the daemon's screenshot distorted exactly
// as nimbrel-render distorts the same picture with the same seed, with and
// without MIT-SHM; the preview's crop of a whole-screen screenshot on a
// 32-bit window; and the made picture or --picture when the user keeps the
// desktop private.
#include <gtest/gtest.h>

#include "app/hack_picture.h"
#include "platform/headless/headless_effect_host.h"
#include "tests/x11/hack_session.h"
#include "tools/render/picture_files.h"

namespace nimbrel::x11::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 320;
constexpr int kHeight = 200;

class ScreenTest : public ::testing::TestWithParam<bool> {
protected:
    ScratchDir scratch;
    XServer server{kWidth, kHeight, 24,
                   GetParam() ? std::vector<std::string>{} : std::vector<std::string>{"-extension", "MIT-SHM"}};
    const Surface desktop = MakeTestPattern(kWidth, kHeight);

    void SetUp() override { server.PaintRoot(desktop); }

    // Runs the hack until `window` shows one of the frames, then stops it
    // with SIGTERM, which must end it with code 0 and nothing said.
    void ShowsThenStops(const std::vector<std::string>& args, Window window, std::optional<Window> saverWindow,
                        const RenderedFrames& frames, bool grab = true, bool unchangedToo = false)
    {
        Hack hack(&server, args, scratch.Home(grab), saverWindow, scratch.Path / "stderr");
        EXPECT_TRUE(frames.WaitUntilShown(server.Connection(), window, hack, unchangedToo))
            << "the window never showed a rendered frame; stderr: " << hack.ErrorOutput();
        EXPECT_EQ(hack.Stop(SIGTERM, 10s), 0);
        EXPECT_EQ(hack.ErrorOutput(), "");
    }
};

INSTANTIATE_TEST_SUITE_P(SharedMemory, ScreenTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "WithMitShm" : "WithoutMitShm"; });

TEST_P(ScreenTest, TheDaemonsScreenshotIsDistortedAsRenderedWithTheSameSeed)
{
    const Window daemon = MakeDaemonWindow(server);
    // The options and the settings file they stand for; seed 7 chooses Melt.
    const RenderedFrames frames(desktop, "[Main]\nWave=0\nMelt=1\nNoise=1\n[Melt]\nSpeed=6\n", 7, 400);
    ShowsThenStops({"--root", "--no-wave", "--melt", "--noise", "--melt-speed", "6", "--seed", "7"}, daemon, daemon,
                   frames);
}

TEST_P(ScreenTest, APreviewCropsTheWholeScreenScreenshotAtItsPlaceOnA32BitWindow)
{
    // At (60, 40) on the screen, inside a black parent that covers the
    // desktop around it.
    const Window preview = MakePreviewWindow(server, 60, 40, 160, 100, 32);
    Surface crop(160, 100);
    CopyArea(crop, {0, 0, 160, 100}, desktop, {60, 40, 220, 140});
    const RenderedFrames frames(crop, "[Main]\nWave=1\n[Wave]\nPitch=2\nSpeed=6\n", 0, 300);
    ShowsThenStops({"--window-id", std::to_string(preview), "--effect", "wave", "--wave-pitch", "2", "--wave-speed",
                    "6"},
                   preview, std::nullopt, frames);
}

TEST_P(ScreenTest, ADesktopKeptPrivateGivesWayToTheMadePictureOrTheGivenOne)
{
    const Window daemon = MakeDaemonWindow(server);
    const std::string settings = "[Main]\nWave=0\nNoise=1\n";
    ShowsThenStops({"--root", "--effect", "noise", "--seed", "0"}, daemon, daemon,
                   RenderedFrames(MakeColourBars(kWidth, kHeight), settings, 0, 100), false, true);

    // --picture: at the window's top-left corner, black around it.
    const Surface small = MakeTestPattern(100, 60);
    render::WritePng(scratch.Path / "small.png", small);
    Surface placed(kWidth, kHeight);
    FillArea(placed, {0, 0, kWidth, kHeight}, kBlack);
    CopyArea(placed, {0, 0, 100, 60}, small, {0, 0, 100, 60});
    ShowsThenStops({"--root", "--effect", "noise", "--seed", "0", "--picture", (scratch.Path / "small.png").string()},
                   daemon, daemon, RenderedFrames(placed, settings, 0, 100), false, true);
}

TEST_P(ScreenTest, AfterManyTicksOfChangedRectanglesOnlyTheWindowStillShowsTheFramesExactly)
{
    // Each tick sends only what it changed, and nothing waits for the
    // server: a rectangle left out, or a pixel the server read too early and
    // never got again, would stay wrong in every later frame, so the window
    // would stop showing rendered frames. Wave's frames repeat with the
    // wave, so what counts is how many times the window is seen to have
    // moved on to another rendered frame.
    struct Case {
        std::vector<std::string> Options;
        std::string Settings;
        int Changes;  // about two seconds of ticks
    };
    const Case cases[] = {
        {{"--effect", "melt", "--melt-speed", "6", "--no-melt-recover"},
         "[Main]\nWave=0\nMelt=1\n[Melt]\nSpeed=6\nRecover=0\n", 30},
        {{"--effect", "wave", "--wave-pitch", "1", "--wave-speed", "6"}, "[Main]\nWave=1\n[Wave]\nPitch=1\nSpeed=6\n",
         30},
        {{"--effect", "noise", "--noise-deal", "6"}, "[Main]\nWave=0\nNoise=1\n[Noise]\nDeal=6\n", 6},
    };
    const Window daemon = MakeDaemonWindow(server);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Options[1]);
        const RenderedFrames frames(desktop, c.Settings, 3, 200);
        std::vector<std::string> args{"--root", "--seed", "3"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        Hack hack(&server, args, scratch.Home(true), daemon, scratch.Path / "stderr");
        std::optional<int> last;
        int changes = 0;
        WaitUntil(30s, [&] {
            // Nothing: the hack ended, or showed no rendered frame for long.
            const std::optional<int> shown = frames.WaitUntilShown(server.Connection(), daemon, hack, false);
            if (shown && shown != last) ++changes;
            last = shown;
            return !shown || changes >= c.Changes;
        });
        EXPECT_GE(changes, c.Changes) << "last rendered frame seen: " << last.value_or(-1)
                                      << "; stderr: " << hack.ErrorOutput();
        EXPECT_EQ(hack.Stop(SIGTERM, 10s), 0);
    }
}

} // namespace
} // namespace nimbrel::x11::testing
