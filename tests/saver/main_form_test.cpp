// The saver window's creation, tick dispatch, painting, system commands,
// closing and destruction, over the scripted platform.
#include "saver/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "saver_test_fixture.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

constexpr WindowHandle kPreviewWindow = 31;

using SaverCreationTest = SaverTest;

TEST_F(SaverCreationTest, SaverModeCoversTheScreenHidesTheCursorAndCapturesLast)
{
    form.FormCreate();
    EXPECT_EQ(platform.calls, (Calls{"PlaceWindow 0 0 8 6", "MakeTopmost", "SetScreenSaverRunning 1",
                                     "ShowCursor FALSE", "CreateSurface 8 6", "CaptureScreen",
                                     "CreateSurface 8 6", "CreateSurface 8 6"}));
    EXPECT_EQ(run.Surfaces.SnapshotBitmap, platform.screen.picture);
    EXPECT_EQ(run.Surfaces.WorkBitmap, platform.screen.picture);
    EXPECT_EQ(run.Surfaces.FrameBitmap, platform.screen.picture);
}

TEST_F(SaverCreationTest, CursorIsLoweredUntilTheCounterIsNegativeAndAtLeastOnce)
{
    for (auto [start, calls] : {std::pair{2, 3}, {0, 1}, {-3, 1}}) {
        platform.calls.clear();
        platform.cursorCounter = start;
        form.FormCreate();
        EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "ShowCursor FALSE"), calls) << start;
        EXPECT_EQ(platform.cursorCounter, start - calls);
        form.FormDestroy();
    }
}

TEST_F(SaverCreationTest, PreviewTouchesNeitherCursorNorRunningFlagButCapturesTheWholeScreen)
{
    run.PreviewParent = kPreviewWindow;
    form.FormCreate();
    form.SetClosesOnInput(false);
    platform.clientWidth = 4;  // program entry moves the window into the preview
    platform.clientHeight = 3;
    form.FormDestroy();
    EXPECT_EQ(platform.calls, (Calls{"PlaceWindow 0 0 8 6", "MakeTopmost", "CreateSurface 8 6",
                                     "CaptureScreen", "CreateSurface 8 6", "CreateSurface 8 6"}));
    EXPECT_EQ(run.PreviewParent, kPreviewWindow);
}

TEST_F(SaverCreationTest, MissingSettingsGiveWaveAndThreshold4)
{
    form.FormCreate();
    EXPECT_EQ(run.EnabledEffects, (std::array{true, false, false}));
    EXPECT_EQ(run.CloseMouseMove, 4);
    EXPECT_EQ(run.CurrentEffect, EffectKind::Wave);
}

TEST_F(SaverCreationTest, MainSectionGivesTheEnabledEffects)
{
    WriteSettings("[Main]\nWave=0\nMelt=1\nNoise=-7\n");
    form.FormCreate();
    EXPECT_EQ(run.EnabledEffects, (std::array{false, true, true}));
}

TEST_F(SaverCreationTest, ThresholdKeepsTheLow8BitsOfTheSetting)
{
    for (auto [text, threshold] : {std::pair{"260", 4}, {"-1", 255}, {"255", 255}, {"0", 0}, {"x", 4}}) {
        WriteSettings(std::string("[Main]\nCloseMouseMove=") + text + "\n");
        form.FormCreate();
        EXPECT_EQ(run.CloseMouseMove, threshold) << text;
        form.FormDestroy();
    }
}

TEST_F(SaverCreationTest, NoEnabledEffectRunsWaveAndLeavesTheFileAsItWas)
{
    const std::string text = "[Main]\nWave=0\nMelt=0\nNoise=0\n";
    WriteSettings(text);
    form.FormCreate();
    EXPECT_EQ(run.EnabledEffects, (std::array{true, false, false}));
    EXPECT_EQ(run.CurrentEffect, EffectKind::Wave);
    EXPECT_EQ(store.FileText(kSettingsFileName), text);
    EXPECT_EQ(store.WriteCount(), 0);
}

TEST_F(SaverCreationTest, EffectIsDrawnAfterSeedingFromTheClockUntilAnEnabledOneComesUp)
{
    // Seeded with 0 (midnight), Next(30) gives 0, 0, 25, 6, 8: Wave, Wave,
    // Melt, Wave, Noise. A seed left over from before must not matter.
    ProcessRandomSource().SetSeed(777);
    WriteSettings("[Main]\nWave=0\nMelt=1\nNoise=1\n");
    form.FormCreate();
    EXPECT_EQ(run.CurrentEffect, EffectKind::Melt);
    EXPECT_EQ(ProcessRandomSource().Seed(), 3698175007u);  // three draws taken
    form.FormDestroy();

    WriteSettings("[Main]\nWave=0\nMelt=0\nNoise=1\n");
    form.FormCreate();
    EXPECT_EQ(run.CurrentEffect, EffectKind::Noise);
    form.FormDestroy();

    // 12:34:56.789 seeds 45296789, whose first draw is 14: Noise.
    platform.clock.Set({12, 34, 56, 789});
    WriteSettings("[Main]\nWave=1\nMelt=0\nNoise=1\n");
    form.FormCreate();
    EXPECT_EQ(run.CurrentEffect, EffectKind::Noise);
}

TEST_F(SaverCreationTest, OnlyNoiseEnabledAlwaysRunsNoise)
{
    WriteSettings("[Main]\nWave=0\nNoise=1\n");
    for (std::uint32_t ms : {0u, 1u, 5u, 7u, 345u, 999u}) {
        platform.clock.Set({3, 0, 0, ms});
        form.FormCreate();
        EXPECT_EQ(run.CurrentEffect, EffectKind::Noise) << ms;
        form.FormDestroy();
    }
}

TEST_F(SaverCreationTest, EveryCreationStartsFromFreshFlagsAndANewCapture)
{
    form.FormCreate();
    run.AnimationActive = false;
    run.MouseMoveCount = 9;
    run.EffectNeedsSetup = false;
    form.FormDestroy();

    // A second test run in the same process, on a changed screen.
    platform.screen.picture.SetColourAt(0, 0, kBlack);
    TMainForm second(run, platform);
    second.FormCreate();
    EXPECT_TRUE(run.AnimationActive);
    EXPECT_EQ(run.MouseMoveCount, 0);
    EXPECT_TRUE(run.EffectNeedsSetup);
    EXPECT_TRUE(second.ClosesOnInput());
    EXPECT_EQ(run.Surfaces.SnapshotBitmap, platform.screen.picture);
    EXPECT_EQ(run.Surfaces.FrameBitmap.ColourAt(0, 0), kBlack);
    second.FormDestroy();
}

TEST_F(SaverCreationTest, ARefusedSurfaceUndoesCreationAndLeavesTheErrorToTheCaller)
{
    platform.screen.refuseSurfaceNumber = 2;
    try {
        form.FormCreate();
        FAIL() << "creation went through";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kSurfaceOutOfResources);
    }
    const Calls expected{"PlaceWindow 0 0 8 6", "MakeTopmost", "SetScreenSaverRunning 1", "ShowCursor FALSE",
                         "CreateSurface 8 6", "CaptureScreen", "CreateSurface 8 6",
                         "SetScreenSaverRunning 0", "ShowCursor TRUE"};
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(platform.cursorCounter, 0);

    // The destruction that follows a failed creation has nothing left to undo.
    form.FormDestroy();
    EXPECT_EQ(platform.calls, expected);
}

TEST_F(SaverCreationTest, PreviewParentTurnsThePopupIntoAChild)
{
    const CreationParams standard{kStylePopup | 0x16000000, 0};
    EXPECT_EQ(form.CreateParams(standard), standard);
    run.PreviewParent = kPreviewWindow;
    EXPECT_EQ(form.CreateParams(standard), (CreationParams{0x56000000, kPreviewWindow}));
}

using SaverTickTest = SaverTest;

TEST_F(SaverTickTest, PausedTicksDrawNothingAndASetupTickWaitsForTheResume)
{
    WriteSettings("[Wave]\nSpeed=4\n");
    CreateQuietly();
    run.AnimationActive = false;
    form.Timer2Timer();
    form.Timer2Timer();
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(run.EffectNeedsSetup);

    run.AnimationActive = true;
    form.Timer2Timer();
    EXPECT_EQ(platform.calls, (Calls{"SetTimer2Interval 250"}));  // Wave's setup tick
    EXPECT_FALSE(run.EffectNeedsSetup);

    form.Timer2Timer();
    EXPECT_EQ(platform.calls, (Calls{"SetTimer2Interval 250", "PresentFrame 8 6"}));
}

TEST_F(SaverTickTest, TicksGoToTheRunsEffect)
{
    WriteSettings("[Main]\nWave=0\nMelt=1\n");
    CreateQuietly();
    form.Timer2Timer();  // Melt's setup keeps Timer2 at 50 ms
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_FALSE(run.EffectNeedsSetup);
    form.Timer2Timer();
    EXPECT_EQ(platform.calls, (Calls{"PresentFrame 8 6"}));
}

TEST_F(SaverTickTest, AnEffectValueOutsideTheThreeKindsDoesNothing)
{
    CreateQuietly();
    run.CurrentEffect = static_cast<EffectKind>(3);
    form.Timer2Timer();
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(run.EffectNeedsSetup);
}

using SaverWindowTest = SaverTest;

TEST_F(SaverWindowTest, PaintBeforeTheFirstFrameShowsTheSnapshotAtTheClientSize)
{
    CreateQuietly();
    form.FormPaint();
    EXPECT_EQ(platform.calls, (Calls{"PresentFrame 8 6"}));
    EXPECT_EQ(platform.presented, platform.screen.picture);

    platform.clientWidth = 5;  // a preview shows the top-left part
    platform.clientHeight = 2;
    form.FormPaint();
    EXPECT_EQ(platform.calls.back(), "PresentFrame 5 2");
}

TEST_F(SaverWindowTest, OnlyTheScreenSaveCommandIsAnsweredHere)
{
    EXPECT_EQ(form.WMSysCommand(0xF140), 1);
    EXPECT_EQ(form.WMSysCommand(0xF142), 1);  // the low four bits are the system's
    EXPECT_EQ(form.WMSysCommand(0xF020), std::nullopt);  // SC_MINIMIZE
    EXPECT_EQ(form.WMSysCommand(0xF060), std::nullopt);  // SC_CLOSE
    EXPECT_EQ(form.WMSysCommand(0xF150), std::nullopt);
}

TEST_F(SaverWindowTest, DestructionFreesTheSurfacesClearsTheFlagAndShowsTheCursorOnce)
{
    CreateQuietly();
    form.FormDestroy();
    EXPECT_EQ(platform.calls, (Calls{"SetScreenSaverRunning 0", "ShowCursor TRUE"}));
    EXPECT_EQ(run.Surfaces.SnapshotBitmap.Width(), 0);
    EXPECT_EQ(run.Surfaces.WorkBitmap.Width(), 0);
    EXPECT_EQ(run.Surfaces.FrameBitmap.Width(), 0);

    form.FormDestroy();
    EXPECT_EQ(platform.calls.size(), 2u);
}

} // namespace
} // namespace nimbrel
