// The saver window's creation, ticks, system commands and destruction, over
// the scripted platform.
#include <tuple>

#include "saver_test_fixture.h"

namespace nimbrel {
namespace {

TEST_F(SaverTest, CreationAndDestructionOfTheSaverAndThePreview)
{
    // The saver covers every monitor (a second one left of the primary one,
    // or above it); before capturing it sets the running flag and lowers the
    // cursor until the counter is negative, at least once. A preview shows
    // the primary screen and does neither. Destruction frees the surfaces and
    // undoes the flag and the cursor, once.
    const std::tuple<PixelRect, WindowHandle, std::int32_t, Calls> rows[] = {
        {{-5, 0, 8, 6}, 0, 2,
         {"PlaceWindow -5 0 13 6", "MakeTopmost", "SetScreenSaverRunning 1", "ShowCursor FALSE", "ShowCursor FALSE",
          "ShowCursor FALSE", "CaptureScreen -5 0 13 6", "SetScreenSaverRunning 0", "ShowCursor TRUE"}},
        {{0, -4, 8, 6}, 0, -3,
         {"PlaceWindow 0 -4 8 10", "MakeTopmost", "SetScreenSaverRunning 1", "ShowCursor FALSE",
          "CaptureScreen 0 -4 8 10", "SetScreenSaverRunning 0", "ShowCursor TRUE"}},
        {{-5, 0, 8, 6}, 31, 0, {"PlaceWindow 0 0 8 6", "MakeTopmost", "CaptureScreen 0 0 8 6"}},
    };
    for (const auto& [monitors, previewParent, cursorCounter, calls] : rows) {
        SCOPED_TRACE(calls[0]);
        platform.calls.clear();
        platform.virtualScreen = monitors;
        platform.cursorCounter = cursorCounter;
        run.PreviewParent = previewParent;
        // Left from an earlier run in the process.
        run.AnimationActive = run.EffectNeedsSetup = false;
        run.MouseMoveCount = 9;
        form.FormCreate();
        EXPECT_TRUE(run.AnimationActive && run.EffectNeedsSetup);
        EXPECT_EQ(run.MouseMoveCount, 0);
        // The three surfaces hold the capture.
        EXPECT_EQ(run.Surfaces.SnapshotBitmap.ColourAt(0, 0), kBlack);
        EXPECT_EQ(run.Surfaces.WorkBitmap, run.Surfaces.SnapshotBitmap);
        EXPECT_EQ(run.Surfaces.FrameBitmap, run.Surfaces.SnapshotBitmap);
        form.SetClosesOnInput(previewParent == 0);  // as program entry does for a preview
        form.FormDestroy();
        form.FormDestroy();
        EXPECT_EQ(platform.calls, calls);
        EXPECT_EQ(run.Surfaces.SnapshotBitmap.Width() + run.Surfaces.WorkBitmap.Width(), 0);
        EXPECT_EQ(run.Surfaces.FrameBitmap.Width(), 0);
    }
}

TEST_F(SaverTest, SettingsGiveTheThresholdAndTheClockSeedsTheChoiceAmongTheEnabledEffects)
{
    // Seeded with 0 (midnight), Next(30) draws 0, 0, 25: Wave, Wave, Melt.
    // 12:34:56.789 seeds 45296789, whose first draw is 14: Noise. With no
    // effect enabled Wave runs, and the file keeps the user's choice.
    const std::tuple<const char*, TimeOfDay, EffectKind, int> rows[] = {
        {"", {}, EffectKind::Wave, 4},
        {"Wave=0\nMelt=1\nNoise=-7\nCloseMouseMove=260\n", {}, EffectKind::Melt, 4},
        {"Wave=0\nNoise=1\nCloseMouseMove=-1\n", {3, 0, 0, 345}, EffectKind::Noise, 255},
        {"Wave=0\nMelt=0\nNoise=0\nCloseMouseMove=x\n", {}, EffectKind::Wave, 4},
        {"Wave=1\nNoise=1\nCloseMouseMove=0\n", {12, 34, 56, 789}, EffectKind::Noise, 0},
    };
    for (const auto& [main, clock, effect, threshold] : rows) {
        SCOPED_TRACE(main);
        const std::string text = std::string("[Main]\n") + main;
        WriteSettings(text);
        platform.clock.Set(clock);
        ProcessRandomSource().SetSeed(777);  // a seed left from before must not matter
        form.FormCreate();
        EXPECT_EQ(run.CurrentEffect, effect);
        EXPECT_EQ(run.CloseMouseMove, threshold);
        EXPECT_EQ(store.FileText(kSettingsFileName), text);
        form.FormDestroy();
    }
    EXPECT_EQ(store.WriteCount(), 0);
}

TEST_F(SaverTest, TicksDrawWhileTheAnimationRunsOnSurfacesAndOnlyTheScreenSaveCommandIsAnswered)
{
    // A paused tick draws nothing, and a setup tick that is due waits for the
    // animation to resume.
    WriteSettings("[Main]\nWave=0\nMelt=1\n");
    CreateQuietly();
    run.AnimationActive = false;
    form.Timer2Timer();
    EXPECT_TRUE(run.EffectNeedsSetup);
    run.AnimationActive = true;
    form.Timer2Timer();  // Melt's setup tick keeps Timer2 at 50 ms
    form.Timer2Timer();
    EXPECT_EQ(platform.calls, (Calls{"PresentFrame 0 0 8 6"}));
    form.FormDestroy();

    // A refused surface (the second of a creation) leaves no surface at all,
    // not even an earlier run's, and a black window that input ends and
    // destruction restores.
    platform.refuseSurfaceNumber = 5;
    EXPECT_THROW(form.FormCreate(), Error);
    EXPECT_EQ(run.Surfaces.SnapshotBitmap.Width(), 0);
    platform.calls.clear();
    form.FormPaint();
    form.Timer2Timer();
    platform.platformId = kPlatformWin32Nt;
    form.FormKeyDown();
    form.FormDestroy();
    EXPECT_EQ(platform.calls, (Calls{"CloseWindow", "SetScreenSaverRunning 0", "ShowCursor TRUE"}));

    // The system uses the low four bits of a command itself.
    EXPECT_EQ(form.WMSysCommand(0xF142), 1);
    EXPECT_EQ(form.WMSysCommand(0xF060), std::nullopt);  // SC_CLOSE
    EXPECT_EQ(form.WMSysCommand(0xF150), std::nullopt);
}

} // namespace
} // namespace nimbrel
