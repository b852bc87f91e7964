// Ending the saver: the mouse-move threshold, keys and clicks, and every
// outcome of the exit request with what the cursor and the animation do.
#include "saver_test_fixture.h"

namespace nimbrel {
namespace {

class InputTest : public SaverTest {
protected:
    // On the NT family a request closes at once: one "CloseWindow" each.
    InputTest() { platform.platformId = kPlatformWin32Nt; }

    void CreateWithThreshold(const char* threshold)
    {
        WriteSettings(std::string("[Main]\nCloseMouseMove=") + threshold + "\n");
        CreateQuietly();
    }
    void MoveMouse(int times)
    {
        for (int i = 0; i < times; ++i) form.FormMouseMove();
    }
};

TEST_F(InputTest, TheMoveAfterThresholdPlusOneRequestsAndLeavesTheCounter)
{
    const struct {
        const char* threshold;
        int quietMoves;
        long requestsOnTheNext;
        int countAfter;
    } rows[] = {{"0", 1, 1, 1}, {"4", 5, 1, 5}, {"255", 600, 0, 89}};  // 255 wraps and never requests
    for (const auto& row : rows) {  // the counter stays, so after a refusal the next move asks again
        SCOPED_TRACE(row.threshold);
        CreateWithThreshold(row.threshold);
        MoveMouse(row.quietMoves);
        EXPECT_EQ(Count("CloseWindow"), 0);
        MoveMouse(1);
        EXPECT_EQ(Count("CloseWindow"), row.requestsOnTheNext);
        EXPECT_EQ(run.MouseMoveCount, row.countAfter);
        form.FormDestroy();
    }
}

TEST_F(InputTest, Timer1StartsANewPeriodForTheMouseMoves)
{
    CreateWithThreshold("4");
    MoveMouse(5);
    form.Timer1Timer();
    MoveMouse(5);
    EXPECT_EQ(Count("CloseWindow"), 0);
    MoveMouse(1);
    EXPECT_EQ(Count("CloseWindow"), 1);
}

TEST_F(InputTest, KeysAndClicksRequestAtOnceWithoutCounting)
{
    CreateWithThreshold("4");
    form.FormKeyDown();
    form.FormClick();
    EXPECT_EQ(Count("CloseWindow"), 2);
    EXPECT_EQ(run.MouseMoveCount, 0);
}

TEST_F(InputTest, PreviewIgnoresInputAndTheCounterWraps)
{
    run.PreviewParent = 31;
    // A child of the preview window: WS_CHILD instead of WS_POPUP, the
    // other style bits as they were.
    EXPECT_EQ(form.CreateParams({kStylePopup | 0x10000000u, 0}), (CreationParams{kStyleChild | 0x10000000u, 31}));
    CreateWithThreshold("0");
    form.SetClosesOnInput(false);
    MoveMouse(255);
    EXPECT_EQ(run.MouseMoveCount, 255);
    MoveMouse(1);
    EXPECT_EQ(run.MouseMoveCount, 0);
    form.FormKeyDown();
    form.FormClick();
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(run.AnimationActive);
}

TEST(ExitRequestTest, EveryOutcomeWithTheCursorAndTheAnimation)
{
    constexpr const char* kOpen = "OpenCurrentUserKey Control Panel\\desktop";
    constexpr const char* kRead = "ReadDword ScreenSaveUsePassword";
    constexpr const char* kLoad = "LoadPasswordLibrary C:\\WINDOWS\\SYSTEM\\PASSWORD.CPL";
    const Calls accepted{kOpen, kRead, "CloseKey", "ShowCursor TRUE", kLoad, "VerifyScreenSavePwd",
                         "CloseWindow", "FreeLibrary", "ShowCursor FALSE"};
    const Calls refused{kOpen, kRead, "CloseKey", "ShowCursor TRUE", kLoad, "VerifyScreenSavePwd",
                        "FreeLibrary", "ShowCursor FALSE"};
    using Status = RegistryDword::Status;
    const struct {
        const char* name;
        std::function<void(ScriptedSaverPlatform&)> script;
        Calls calls;
        bool animationGoesOn;
        std::string error = "";
    } rows[] = {
        {"NT family", [](auto& p) { p.platformId = kPlatformWin32Nt; }, {"CloseWindow"}, false},
        {"failed version query", [](auto& p) { p.platformId = 0; }, accepted, true},
        {"no key", [](auto& p) { p.keyOpens = false; }, {kOpen, "CloseWindow"}, false},
        {"value 0", [](auto& p) { p.usePassword = {Status::Read, 0}; },
         {kOpen, kRead, "CloseKey", "CloseWindow"}, false},
        {"value unread", [](auto& p) { p.usePassword = {Status::NotRead, 1}; }, {kOpen, kRead, "CloseKey"},
         false, "'ScreenSaveUsePassword' の取得に失敗しました"},
        {"value of a wrong type", [](auto& p) { p.usePassword = {Status::WrongType, 1}; },
         {kOpen, kRead, "CloseKey"}, false, "'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です"},
        {"no library", [](auto& p) { p.libraryLoads = false; },
         {kOpen, kRead, "CloseKey", "ShowCursor TRUE", kLoad, "CloseWindow", "ShowCursor FALSE"}, true},
        {"no system directory, so no bare name", [](auto& p) { p.systemDirectory = ""; },
         {kOpen, kRead, "CloseKey", "ShowCursor TRUE", "CloseWindow", "ShowCursor FALSE"}, true},
        {"no verifier", [](auto& p) { p.passwordAnswer.reset(); },
         {kOpen, kRead, "CloseKey", "ShowCursor TRUE", kLoad, "CloseWindow", "FreeLibrary", "ShowCursor FALSE"},
         true},
        {"accepted", [](auto&) {}, accepted, true},
        {"value 0xFFFFFFFF, accepted", [](auto& p) { p.usePassword = {Status::Read, 0xFFFFFFFF}; }, accepted,
         true},
        {"accepted in the low byte", [](auto& p) { p.passwordAnswer = 0x101; }, accepted, true},
        {"refused", [](auto& p) { p.passwordAnswer = 0; }, refused, true},
        {"refused in the low byte", [](auto& p) { p.passwordAnswer = 0xFFFFFF00; }, refused, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SaverRig rig;
        rig.CreateQuietly();  // the cursor counter is now -1
        row.script(rig.platform);
        std::optional<std::pair<bool, int>> inDialog;  // the animation and the cursor counter
        rig.platform.whileDialogOpen = [&] { inDialog = {rig.run.AnimationActive, rig.platform.cursorCounter}; };
        std::string error;
        try {
            rig.form.RequestExit();
        } catch (const Error& raised) {
            error = raised.what();
        }
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(rig.platform.calls, row.calls);
        EXPECT_EQ(rig.run.AnimationActive, row.animationGoesOn);
        EXPECT_EQ(rig.platform.cursorCounter, -1);
        const bool asked = rig.Count("VerifyScreenSavePwd") == 1;
        EXPECT_EQ(inDialog, asked ? std::optional(std::pair{false, 0}) : std::nullopt);
    }
}

TEST(PasswordLibraryPathTest, JoinsTheSystemDirectoryWithOneBackslash)
{
    EXPECT_EQ(PasswordLibraryPath("C:\\WINDOWS\\SYSTEM"), "C:\\WINDOWS\\SYSTEM\\PASSWORD.CPL");
    EXPECT_EQ(PasswordLibraryPath("C:\\"), "C:\\PASSWORD.CPL");
}

} // namespace
} // namespace nimbrel
