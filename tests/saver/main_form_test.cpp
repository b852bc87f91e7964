// The saver window over a stand-in for the system: its creation and
// destruction, the effect choice, ticks and system commands, and ending it by
// input, with every outcome of the exit request. The stand-in answers from a
// script that the test sets up and records every call in order.
#include "saver/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/errors.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

using Calls = std::vector<std::string>;

class ScriptedSaverPlatform final : public SaverPlatform, public ScreenAccess {
public:
    Calls calls;

    // The script. The primary screen and the window's client area are 8 x 6;
    // a capture blackens the top-left pixel of the white surface.
    PixelRect virtualScreen{0, 0, 8, 6};  // all monitors together
    FixedClock clock;
    std::int32_t cursorCounter = 0;
    std::uint32_t platformId = 1;  // the Windows 95 family
    // The value under the desktop key; nothing: the key does not open.
    std::optional<RegistryDword> usePassword = RegistryDword{RegistryDword::Status::Read, 1};
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
    bool libraryLoads = true;
    std::optional<std::uint32_t> passwordAnswer = 1;  // nothing: the library lacks the verifier
    std::function<void()> whileDialogOpen;
    // The window's client area follows its placement.
    std::int32_t clientWidth = 8;
    std::int32_t clientHeight = 6;

    ScreenAccess& Screen() override { return *this; }
    std::int32_t ScreenWidth() override { return 8; }
    std::int32_t ScreenHeight() override { return 6; }
    PixelRect VirtualScreen() override { return virtualScreen; }
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override
    {
        Log("CaptureScreen", left, top, surface.Width(), surface.Height());
        surface.SetColourAt(0, 0, kBlack);
    }
    const Clock& UtcClock() override { return clock; }
    void PlaceWindow(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override
    {
        Log("PlaceWindow", left, top, width, height);
        clientWidth = width;
        clientHeight = height;
    }
    void MakeTopmost() override { Log("MakeTopmost"); }
    std::int32_t ClientWidth() override { return clientWidth; }
    std::int32_t ClientHeight() override { return clientHeight; }
    void PresentFrame(const Surface&, std::span<const PixelRect> rects) override
    {
        for (const PixelRect& rect : rects) Log("PresentFrame", rect.Left, rect.Top, rect.Right, rect.Bottom);
    }
    void CloseWindow() override { Log("CloseWindow"); }
    void SetTimer2Interval(std::uint32_t milliseconds) override { Log("SetTimer2Interval", milliseconds); }
    std::uint32_t TickCount() override { return 0; }
    void SetScreenSaverRunning(RunningFlag flag) override { Log("SetScreenSaverRunning", flag == RunningFlag::Set); }
    std::int32_t ShowCursor(CursorStep step) override
    {
        Log("ShowCursor", step == CursorStep::Show ? "TRUE" : "FALSE");
        return cursorCounter += step == CursorStep::Show ? 1 : -1;
    }
    std::uint32_t PlatformId() override { return platformId; }
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(std::string_view path) override
    {
        Log("OpenCurrentUserKey", path);
        return usePassword ? std::make_unique<Handle>(*this, "CloseKey") : nullptr;
    }
    std::string SystemDirectory() override { return systemDirectory; }
    std::unique_ptr<PasswordLibrary> LoadPasswordLibrary(std::string_view path) override
    {
        Log("LoadPasswordLibrary", path);
        return libraryLoads ? std::make_unique<Handle>(*this, "FreeLibrary") : nullptr;
    }

private:
    // An open key or a loaded library, which logs its closing call when it goes.
    struct Handle final : RegistryKey, PasswordLibrary {
        Handle(ScriptedSaverPlatform& platform, const char* closeCall) : platform(platform), closeCall(closeCall) {}
        ~Handle() override { platform.Log(closeCall); }
        RegistryDword ReadDword(std::string_view) override { return *platform.usePassword; }
        std::optional<std::uint32_t> VerifyScreenSavePwd() override
        {
            if (!platform.passwordAnswer) return std::nullopt;
            platform.Log("VerifyScreenSavePwd");
            if (platform.whileDialogOpen) platform.whileDialogOpen();
            return platform.passwordAnswer;
        }
        ScriptedSaverPlatform& platform;
        const char* closeCall;
    };

    // Records the call as its name and arguments, separated by spaces.
    template <typename... Arguments>
    void Log(const char* name, const Arguments&... arguments)
    {
        std::ostringstream call;
        call << name;
        ((call << ' ' << arguments), ...);
        calls.push_back(call.str());
    }
};

class SaverTest : public ::testing::Test {
protected:
    SaverTest() { SetCurrentProfileStore(&store); }
    ~SaverTest() override { SetCurrentProfileStore(nullptr); }

    long Count(const std::string& call) const { return std::ranges::count(platform.calls, call); }

    MemoryProfileStore store;
    SaverRun run;
    ScriptedSaverPlatform platform;
    TMainForm form{run, platform};
};

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
        EXPECT_TRUE(run.AnimationActive && run.EffectNeedsSetup && run.MouseMoveCount == 0);
        // The three surfaces hold the capture.
        EXPECT_EQ(run.Surfaces.SnapshotBitmap.ColourAt(0, 0), kBlack);
        EXPECT_TRUE(run.Surfaces.WorkBitmap == run.Surfaces.SnapshotBitmap
                    && run.Surfaces.FrameBitmap == run.Surfaces.SnapshotBitmap);
        form.SetClosesOnInput(previewParent == 0);  // as program entry does for a preview
        form.FormDestroy();
        form.FormDestroy();
        EXPECT_EQ(platform.calls, calls);
        EXPECT_EQ(run.Surfaces.FrameBitmap.Width(), 0);
    }
}

TEST_F(SaverTest, TheClockSeedsTheChoiceAmongTheEnabledEffects)
{
    // Seeded with 0 (midnight), Next(30) draws 0, 0, 25: Wave, Wave, Melt.
    // 12:34:56.789 seeds 45296789, whose first draw is 14: Noise. With no
    // effect enabled Wave runs, and the file keeps the user's choice.
    const std::tuple<const char*, TimeOfDay, EffectKind> rows[] = {
        {"", {}, EffectKind::Wave},
        {"Wave=0\nMelt=1\nNoise=-7\n", {}, EffectKind::Melt},
        {"Wave=0\nMelt=0\nNoise=0\n", {}, EffectKind::Wave},
        {"Wave=1\nNoise=1\n", {12, 34, 56, 789}, EffectKind::Noise},
    };
    for (const auto& [main, clock, effect] : rows) {
        store.SetFileText(kSettingsFileName, std::string("[Main]\n") + main);
        platform.clock.Set(clock);
        ProcessRandomSource().SetSeed(777);  // a seed left from before must not matter
        form.FormCreate();
        EXPECT_EQ(run.CurrentEffect, effect) << main;
        form.FormDestroy();
    }
    EXPECT_EQ(store.WriteCount(), 0);
}

TEST_F(SaverTest, TicksDrawWhileTheAnimationRunsAndOnlyTheScreenSaveCommandIsAnswered)
{
    // A paused tick draws nothing, and a setup tick that is due waits for the
    // animation to resume.
    form.FormCreate();
    platform.calls.clear();
    run.AnimationActive = false;
    form.Timer2Timer();
    run.AnimationActive = true;
    form.Timer2Timer();
    form.Timer2Timer();
    EXPECT_EQ(platform.calls, (Calls{"SetTimer2Interval 350", "PresentFrame 0 0 8 6"}));

    // The system uses the low four bits of a command itself.
    EXPECT_EQ(form.WMSysCommand(0xF142), 1);
    EXPECT_EQ(form.WMSysCommand(0xF060), std::nullopt);  // SC_CLOSE
    EXPECT_EQ(form.WMSysCommand(0xF150), std::nullopt);
}

TEST_F(SaverTest, ADisplayChangeCoversTheNewScreenWithEveryPixelInPlace)
{
    // The 8 x 6 screen gains a monitor on the left and a row below: the new
    // area is (-2, 0) to (8, 7). The capture blackened the snapshot's (0, 0);
    // the frame shows red at (1, 1). Both keep their place on the screen,
    // which is (2, 0) and (3, 1) on the new surfaces; the rest of the old
    // area keeps its white, and the new parts are black. Each effect's next
    // drawing tick then shows the whole new frame, whatever it kept before.
    // Settings that make a tick change little: one-row bands, one column, no
    // line at all.
    for (const char* effect : {"Wave", "Melt", "Noise"}) {
        SCOPED_TRACE(effect);
        store.SetFileText(kSettingsFileName, std::string("[Main]\nWave=0\n") + effect
                                                 + "=1\n[Wave]\nPitch=1\n[Melt]\nSpeed=0\n[Noise]\nDeal=-1\n");
        platform.virtualScreen = {0, 0, 8, 6};
        form.FormCreate();
        form.Timer2Timer();  // the setup tick
        form.Timer2Timer();
        run.Surfaces.FrameBitmap.SetColourAt(1, 1, 0x0000FF);

        platform.calls.clear();
        platform.virtualScreen = {-2, 0, 8, 7};
        form.WMDisplayChange();
        EXPECT_EQ(platform.calls, (Calls{"PlaceWindow -2 0 10 7", "MakeTopmost"}));
        const SaverSurfaces& surfaces = run.Surfaces;
        for (const Surface* surface : {&surfaces.SnapshotBitmap, &surfaces.WorkBitmap, &surfaces.FrameBitmap}) {
            ASSERT_EQ(surface->Width(), 10);
            ASSERT_EQ(surface->Height(), 7);
            EXPECT_EQ(surface->ColourAt(0, 0), kBlack);
            EXPECT_EQ(surface->ColourAt(1, 5), kBlack);
            EXPECT_EQ(surface->ColourAt(9, 6), kBlack);
        }
        EXPECT_EQ(surfaces.SnapshotBitmap.ColourAt(2, 0), kBlack);
        EXPECT_EQ(surfaces.SnapshotBitmap.ColourAt(3, 1), kWhite);
        EXPECT_EQ(surfaces.WorkBitmap.ColourAt(3, 1), 0x0000FFu);
        EXPECT_EQ(surfaces.FrameBitmap.ColourAt(3, 1), 0x0000FFu);

        // The same geometry again changes nothing but the placement. A move
        // that keeps the size still counts as a change: after a tick at the
        // new size, the area moves one row down, and the next tick shows the
        // whole frame again.
        form.WMDisplayChange();
        EXPECT_EQ(run.Surfaces.FrameBitmap.ColourAt(3, 1), 0x0000FFu);
        form.Timer2Timer();
        run.Surfaces.FrameBitmap.SetColourAt(3, 1, 0x0000FF);
        platform.virtualScreen = {-2, 1, 8, 8};
        form.WMDisplayChange();
        EXPECT_EQ(run.Surfaces.FrameBitmap.ColourAt(3, 0), 0x0000FFu);
        platform.calls.clear();
        form.Timer2Timer();
        EXPECT_EQ(platform.calls.back(), "PresentFrame 0 0 10 7") << ::testing::PrintToString(platform.calls);
        form.FormDestroy();
    }

    // A preview keeps its parent's size, and so does a window never created.
    platform.calls.clear();
    form.WMDisplayChange();
    run.PreviewParent = 31;
    form.FormCreate();
    platform.calls.clear();
    form.WMDisplayChange();
    EXPECT_TRUE(platform.calls.empty());
    form.FormDestroy();
}

TEST_F(SaverTest, InputRequestsTheExitPastTheMoveThresholdOrAtOnceUnlessInAPreview)
{
    // On the NT family a request closes at once: one "CloseWindow" each. The
    // counter stays after a request, so after a refusal the next move asks
    // again. The setting keeps its low 8 bits (260 is 4, -1 is 255, which
    // is never passed as the counter wraps; x is the default 4). Rows: the
    // threshold, the preview parent, the moves that request nothing, the
    // requests of the next move and the counter after it.
    const std::tuple<const char*, WindowHandle, int, long, int> rows[] = {
        {"0", 0, 1, 1, 1}, {"260", 0, 5, 1, 5}, {"-1", 0, 600, 0, 89}, {"x", 31, 255, 0, 0}};
    platform.platformId = kPlatformWin32Nt;
    for (const auto& [threshold, previewParent, quietMoves, requestsOnTheNext, countAfter] : rows) {
        SCOPED_TRACE(threshold);
        run.PreviewParent = previewParent;
        store.SetFileText(kSettingsFileName, std::string("[Main]\nCloseMouseMove=") + threshold + "\n");
        form.FormCreate();
        platform.calls.clear();
        form.SetClosesOnInput(previewParent == 0);  // as program entry does for a preview
        for (int i = 0; i < quietMoves; ++i) form.FormMouseMove();
        EXPECT_EQ(Count("CloseWindow"), 0);
        form.FormMouseMove();
        EXPECT_EQ(Count("CloseWindow"), requestsOnTheNext);
        EXPECT_EQ(run.MouseMoveCount, countAfter);
        // Timer1 starts a new period; keys and clicks do not count.
        form.Timer1Timer();
        form.FormKeyDown();
        form.FormClick();
        EXPECT_EQ(run.MouseMoveCount, 0);
        EXPECT_EQ(Count("CloseWindow"), requestsOnTheNext + (previewParent == 0 ? 2 : 0));
        form.FormDestroy();
    }
    // A preview is a child of the preview window instead of a pop-up, with
    // the other style bits as they were.
    EXPECT_EQ(form.CreateParams({kStylePopup | 0x10000000u, 0}), (CreationParams{kStyleChild | 0x10000000u, 31}));
}

TEST_F(SaverTest, ExitRequestOutcomesWithTheCursorAndTheAnimation)
{
    constexpr const char* kOpen = "OpenCurrentUserKey Control Panel\\desktop";
    constexpr const char* kLoad = "LoadPasswordLibrary C:\\WINDOWS\\SYSTEM\\PASSWORD.CPL";
    // The key opened and closed again once its value is read, then what
    // follows; an error raised is listed last.
    const auto asked = [](Calls then) {
        Calls calls{kOpen, "CloseKey"};
        calls.insert(calls.end(), then.begin(), then.end());
        return calls;
    };
    const Calls accepted = asked({"ShowCursor TRUE", kLoad, "VerifyScreenSavePwd", "CloseWindow", "FreeLibrary",
                                  "ShowCursor FALSE"});
    const Calls refused = asked({"ShowCursor TRUE", kLoad, "VerifyScreenSavePwd", "FreeLibrary", "ShowCursor FALSE"});
    using Status = RegistryDword::Status;
    // The script, and the calls it brings.
    const std::pair<std::function<void(ScriptedSaverPlatform&)>, Calls> rows[] = {
        {[](auto& p) { p.platformId = kPlatformWin32Nt; }, {"CloseWindow"}},
        {[](auto& p) { p.platformId = 0; }, accepted},  // a failed version query
        {[](auto& p) { p.usePassword.reset(); }, {kOpen, "CloseWindow"}},
        {[](auto& p) { p.usePassword = {Status::Read, 0}; }, asked({"CloseWindow"})},
        {[](auto& p) { p.usePassword = {Status::NotRead, 1}; }, asked({"'ScreenSaveUsePassword' の取得に失敗しました"})},
        {[](auto& p) { p.usePassword = {Status::WrongType, 1}; }, asked({"'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です"})},
        {[](auto& p) { p.libraryLoads = false; }, asked({"ShowCursor TRUE", kLoad, "CloseWindow", "ShowCursor FALSE"})},
        // Without a system directory there is no path, and a bare name is never loaded.
        {[](auto& p) { p.systemDirectory = ""; }, asked({"ShowCursor TRUE", "CloseWindow", "ShowCursor FALSE"})},
        {[](auto& p) { p.passwordAnswer.reset(); },  // the library lacks the verifier
         asked({"ShowCursor TRUE", kLoad, "CloseWindow", "FreeLibrary", "ShowCursor FALSE"})},
        {[](auto& p) { p.usePassword = {Status::Read, 0xFFFFFFFF}; }, accepted},
        {[](auto& p) { p.passwordAnswer = 0x101; }, accepted},  // only the low byte counts
        {[](auto& p) { p.passwordAnswer = 0xFFFFFF00; }, refused},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [script, calls] = rows[i];
        SCOPED_TRACE(i);
        platform = ScriptedSaverPlatform();
        form.FormCreate();
        platform.calls.clear();
        script(platform);
        // While the password dialog is up the picture stands still. Only the
        // way through the password library, whatever its answer, lets the
        // animation go on; the rest leaves the window to close or, after an
        // error, the picture standing. The cursor always ends hidden again.
        platform.whileDialogOpen = [&] { form.Timer2Timer(); };
        try {
            form.RequestExit();
        } catch (const Error& raised) {
            platform.calls.push_back(raised.what());
        }
        EXPECT_EQ(platform.calls, calls);
        EXPECT_EQ(run.AnimationActive, Count("ShowCursor TRUE") == 1);
        form.FormDestroy();
    }
    EXPECT_EQ(PasswordLibraryPath("C:\\"), "C:\\PASSWORD.CPL");
}

} // namespace
} // namespace nimbrel
