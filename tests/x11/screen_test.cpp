// What the hack shows under Xvfb: the daemon's screenshot distorted exactly
// as nimbrel-render distorts the same picture with the same seed, with and
// without MIT-SHM; the preview's crop of a whole-screen screenshot on a
// 32-bit window; and the made picture or --picture when the user keeps the
// desktop private.
#include <gtest/gtest.h>

#include <iostream>

#include "app/hack_picture.h"
#include "platform/headless/headless_effect_host.h"
#include "tests/x11/hack_session.h"
#include "tools/render/picture_files.h"

namespace nimbrel::x11::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 320;
constexpr int kHeight = 200;
// Melt at 20 ticks a second: 20 seconds of frames.
constexpr int kFrames = 400;

class RootUnderDaemonTest : public ::testing::TestWithParam<bool> {};

// The options below and the settings file they stand for, written out.
const std::vector<std::string> kMeltOrNoise = {"--root", "--no-wave", "--melt", "--noise", "--melt-speed", "6",
                                               "--seed", "7"};
const std::string kMeltOrNoiseSettings = "[Main]\nWave=0\nMelt=1\nNoise=1\n[Melt]\nSpeed=6\n";

TEST_P(RootUnderDaemonTest, ShowsTheScreenshotDistortedAsRenderedAndEndsOnSigterm)
{
    const bool sharedMemory = GetParam();
    ScratchDir scratch;
    XServer server(kWidth, kHeight, 24,
                   sharedMemory ? std::vector<std::string>{} : std::vector<std::string>{"-extension", "MIT-SHM"});
    const Surface desktop = MakeTestPattern(kWidth, kHeight);
    server.PaintRoot(desktop);
    DaemonWindow daemon(server);

    const RenderedFrames frames(desktop, kMeltOrNoiseSettings, 7, kFrames);
    Hack hack(&server, kMeltOrNoise, scratch.Home(true), daemon.Id(), scratch.Path() / "stderr");
    const std::optional<int> shown = WaitForRenderedFrame(server.Connection(), daemon.Id(), frames, hack);
    ASSERT_TRUE(shown) << "the window never showed a rendered frame; stderr: " << hack.ErrorOutput();

    // A generous bound only: the time itself is measured and reported.
    EXPECT_EQ(hack.Stop(SIGTERM, 10s), 0);
    EXPECT_EQ(hack.ErrorOutput(), "");
    std::cout << "SIGTERM to exit " << (sharedMemory ? "with" : "without") << " MIT-SHM: "
              << hack.StopTime().count() / 1000.0 << " ms (frame " << *shown << " shown)\n";
    RecordProperty("sigterm_to_exit_us", static_cast<int>(hack.StopTime().count()));
}

INSTANTIATE_TEST_SUITE_P(SharedMemory, RootUnderDaemonTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "WithMitShm" : "WithoutMitShm"; });

TEST(PreviewTest, CropsTheWholeScreenScreenshotAtTheWindowsPlaceOnA32BitWindow)
{
    ScratchDir scratch;
    XServer server(kWidth, kHeight);
    const Surface desktop = MakeTestPattern(kWidth, kHeight);
    server.PaintRoot(desktop);
    // The preview sits at (60, 40) on the screen, inside a black parent that
    // covers the desktop around it.
    const Window preview = MakePreviewWindow(server, 60, 40, 160, 100, 32);

    Surface crop(160, 100);
    CopyArea(crop, {0, 0, 160, 100}, desktop, {60, 40, 220, 140});
    const RenderedFrames frames(crop, "[Main]\nWave=1\n[Wave]\nPitch=2\nSpeed=6\n", 0, 300);
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", preview);
    Hack hack(&server, {"--window-id", id, "--effect", "wave", "--wave-pitch", "2", "--wave-speed", "6"},
              scratch.Home(true), std::nullopt, scratch.Path() / "stderr");
    EXPECT_TRUE(WaitForRenderedFrame(server.Connection(), preview, frames, hack))
        << "stderr: " << hack.ErrorOutput();
    EXPECT_EQ(hack.Stop(SIGTERM, 10s), 0);
}

TEST(PrivacyTest, ADesktopKeptPrivateGivesWayToTheMadePictureOrTheGivenOne)
{
    ScratchDir scratch;
    XServer server(kWidth, kHeight);
    server.PaintRoot(MakeTestPattern(kWidth, kHeight));
    DaemonWindow daemon(server);
    const std::string settings = "[Main]\nWave=0\nNoise=1\n";

    const RenderedFrames bars(MakeColourBars(kWidth, kHeight), settings, 0, 100);
    {
        Hack hack(&server, {"--root", "--effect", "noise", "--seed", "0"}, scratch.Home(false), daemon.Id(), scratch.Path() / "e1");
        EXPECT_TRUE(WaitForRenderedFrame(server.Connection(), daemon.Id(), bars, hack, true))
            << "stderr: " << hack.ErrorOutput();
        EXPECT_EQ(hack.Stop(SIGTERM, 10s), 0);
    }

    // --picture: at the window's top-left corner, black around it.
    const Surface small = MakeTestPattern(100, 60);
    render::WritePng(scratch.Path() / "small.png", small);
    Surface placed(kWidth, kHeight);
    FillArea(placed, {0, 0, kWidth, kHeight}, kBlack);
    CopyArea(placed, {0, 0, 100, 60}, small, {0, 0, 100, 60});
    const RenderedFrames pictured(placed, settings, 0, 100);
    Hack hack(&server, {"--root", "--effect", "noise", "--seed", "0", "--picture", (scratch.Path() / "small.png").string()},
              scratch.Home(false), daemon.Id(), scratch.Path() / "e2");
    EXPECT_TRUE(WaitForRenderedFrame(server.Connection(), daemon.Id(), pictured, hack, true))
        << "stderr: " << hack.ErrorOutput();
    EXPECT_EQ(hack.Stop(SIGTERM, 10s), 0);
}

} // namespace
} // namespace nimbrel::x11::testing
