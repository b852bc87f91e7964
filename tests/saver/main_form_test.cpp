// The saver window's creation, ticks, system commands and destruction, over
// the scripted platform.
#include "saver_test_fixture.h"

namespace nimbrel {
namespace {

TEST_F(SaverTest, CreationStartsFreshAndInSaverModeHidesTheCursorAndSetsTheRunningFlagBeforeCapturing)
{
    run.AnimationActive = false;  // left from an earlier run in the process
    run.MouseMoveCount = 9;
    run.EffectNeedsSetup = false;
    form.FormCreate();
    EXPECT_TRUE(run.AnimationActive);
    EXPECT_EQ(run.MouseMoveCount, 0);
    EXPECT_TRUE(run.EffectNeedsSetup);
    EXPECT_EQ(platform.calls, (Calls{"PlaceWindow 0 0 8 6", "MakeTopmost", "SetScreenSaverRunning 1",
                                     "ShowCursor FALSE", "CreateSurface 8 6", "CaptureScreen 0 0",
                                     "CreateSurface 8 6", "CreateSurface 8 6"}));
    EXPECT_EQ(run.Surfaces.SnapshotBitmap, platform.picture);
    EXPECT_EQ(run.Surfaces.WorkBitmap, platform.picture);
    EXPECT_EQ(run.Surfaces.FrameBitmap, platform.picture);
    form.FormDestroy();

    platform.calls.clear();  // a preview does neither
    run.PreviewParent = 31;
    form.FormCreate();
    form.SetClosesOnInput(false);  // as program entry does for a preview
    form.FormDestroy();
    EXPECT_EQ(platform.calls, (Calls{"PlaceWindow 0 0 8 6", "MakeTopmost", "CreateSurface 8 6", "CaptureScreen 0 0",
                                     "CreateSurface 8 6", "CreateSurface 8 6"}));
}

TEST_F(SaverTest, TheSaverCoversEveryMonitorAndThePreviewThePrimaryOne)
{
    // A second monitor left of the primary one, or above it: the virtual
    // screen starts at negative coordinates.
    for (const PixelRect area : {PixelRect{-5, 0, 8, 6}, PixelRect{0, -4, 8, 6}}) {
        SCOPED_TRACE(area.Left);
        platform.virtualScreen = area;
        platform.picture = MakeTestPattern(static_cast<std::int32_t>(area.Width()),
                                           static_cast<std::int32_t>(area.Height()));
        const std::string size = std::to_string(area.Width()) + " " + std::to_string(area.Height());
        const std::string corner = std::to_string(area.Left) + " " + std::to_string(area.Top);
        platform.calls.clear();
        run.PreviewParent = 0;
        form.FormCreate();
        EXPECT_EQ(platform.calls[0], "PlaceWindow " + corner + " " + size);
        EXPECT_EQ(Count("CaptureScreen " + corner), 1);
        EXPECT_EQ(run.Surfaces.SnapshotBitmap, platform.picture);
        EXPECT_EQ(run.Surfaces.FrameBitmap, platform.picture);
        form.FormDestroy();

        // The preview shows the primary screen's top-left corner, as with one
        // monitor.
        platform.calls.clear();
        run.PreviewParent = 31;
        form.FormCreate();
        form.SetClosesOnInput(false);
        EXPECT_EQ(platform.calls[0], "PlaceWindow 0 0 8 6");
        EXPECT_EQ(Count("CaptureScreen 0 0"), 1);
        Surface primary(8, 6);
        CopyArea(primary, {0, 0, 8, 6}, platform.picture, {-area.Left, -area.Top, 8 - area.Left, 6 - area.Top});
        EXPECT_EQ(run.Surfaces.SnapshotBitmap, primary);
        form.FormDestroy();
    }
}

TEST_F(SaverTest, CursorIsLoweredUntilTheCounterIsNegativeAndAtLeastOnce)
{
    for (auto [start, lowered] : {std::pair{2, 3}, {0, 1}, {-3, 1}}) {
        platform.calls.clear();
        platform.cursorCounter = start;
        form.FormCreate();
        EXPECT_EQ(Count("ShowCursor FALSE"), lowered) << start;
        form.FormDestroy();
    }
}

TEST_F(SaverTest, SettingsGiveEffectsAndThresholdAndTheClockSeedsTheEffectChoice)
{
    struct Row {
        const char* main;
        TimeOfDay clock;
        std::array<bool, 3> enabled;
        EffectKind effect;
        int threshold;
    };
    // Seeded with 0 (midnight), Next(30) draws 0, 0, 25: Wave, Wave, Melt.
    // 12:34:56.789 seeds 45296789, whose first draw is 14: Noise.
    const Row rows[] = {
        {"", {}, {true, false, false}, EffectKind::Wave, 4},
        {"Wave=0\nMelt=1\nNoise=-7\nCloseMouseMove=260\n", {}, {false, true, true}, EffectKind::Melt, 4},
        {"Wave=0\nNoise=1\nCloseMouseMove=-1\n", {3, 0, 0, 345}, {false, false, true}, EffectKind::Noise, 255},
        {"Wave=0\nMelt=0\nNoise=0\nCloseMouseMove=x\n", {}, {true, false, false}, EffectKind::Wave, 4},
        {"Wave=1\nNoise=1\nCloseMouseMove=0\n", {12, 34, 56, 789}, {true, false, true}, EffectKind::Noise, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.main);
        const std::string text = std::string("[Main]\n") + row.main;
        WriteSettings(text);
        platform.clock.Set(row.clock);
        ProcessRandomSource().SetSeed(777);  // a seed left from before must not matter
        form.FormCreate();
        EXPECT_EQ(run.EnabledEffects, row.enabled);
        EXPECT_EQ(run.CurrentEffect, row.effect);
        EXPECT_EQ(run.CloseMouseMove, row.threshold);
        EXPECT_EQ(store.FileText(kSettingsFileName), text);
        form.FormDestroy();
    }
    EXPECT_EQ(store.WriteCount(), 0);
}

TEST_F(SaverTest, ARefusedSurfaceLeavesABlackWindowThatInputEndsAndDestructionRestores)
{
    CreateQuietly();  // an earlier run's surfaces must not come back
    form.FormDestroy();
    platform.refuseSurfaceNumber = 5;  // the second of this creation
    EXPECT_THROW(form.FormCreate(), Error);
    EXPECT_EQ(platform.calls, (Calls{"SetScreenSaverRunning 0", "ShowCursor TRUE", "PlaceWindow 0 0 8 6",
                                     "MakeTopmost", "SetScreenSaverRunning 1", "ShowCursor FALSE",
                                     "CreateSurface 8 6", "CaptureScreen 0 0", "CreateSurface 8 6"}));
    EXPECT_EQ(run.Surfaces.SnapshotBitmap.Width(), 0);
    platform.calls.clear();
    form.FormPaint();
    form.Timer2Timer();
    form.Timer2Timer();
    platform.platformId = kPlatformWin32Nt;
    form.FormKeyDown();
    form.FormDestroy();
    EXPECT_EQ(platform.calls, (Calls{"CloseWindow", "SetScreenSaverRunning 0", "ShowCursor TRUE"}));
}

TEST_F(SaverTest, DestructionFreesTheSurfacesClearsTheFlagAndShowsTheCursorOnce)
{
    CreateQuietly();
    form.FormDestroy();
    form.FormDestroy();
    EXPECT_EQ(platform.calls, (Calls{"SetScreenSaverRunning 0", "ShowCursor TRUE"}));
    EXPECT_EQ(run.Surfaces.SnapshotBitmap.Width(), 0);
    EXPECT_EQ(run.Surfaces.WorkBitmap.Width(), 0);
    EXPECT_EQ(run.Surfaces.FrameBitmap.Width(), 0);
}

TEST_F(SaverTest, PausedTicksDrawNothingAndTheSetupTickOfTheChosenEffectWaitsForTheResume)
{
    WriteSettings("[Main]\nWave=0\nMelt=1\n");
    CreateQuietly();
    run.AnimationActive = false;
    form.Timer2Timer();
    form.Timer2Timer();
    EXPECT_TRUE(run.EffectNeedsSetup);

    run.AnimationActive = true;
    form.Timer2Timer();  // Melt's setup tick keeps Timer2 at 50 ms
    EXPECT_FALSE(run.EffectNeedsSetup);
    form.Timer2Timer();
    EXPECT_EQ(platform.calls, (Calls{"PresentFrame 0,0,8,6"}));
}

TEST_F(SaverTest, OnlyTheScreenSaveCommandIsAnsweredWhateverItsLowFourBits)
{
    EXPECT_EQ(form.WMSysCommand(0xF140), 1);
    EXPECT_EQ(form.WMSysCommand(0xF142), 1);
    EXPECT_EQ(form.WMSysCommand(0xF060), std::nullopt);  // SC_CLOSE
    EXPECT_EQ(form.WMSysCommand(0xF150), std::nullopt);
}

} // namespace
} // namespace nimbrel
