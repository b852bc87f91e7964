// Ending the saver: the mouse-move threshold, keys and clicks, and every
// outcome of the exit request with what the cursor and the animation do.
#include <functional>
#include <tuple>
#include <utility>

#include "saver_test_fixture.h"

namespace nimbrel {
namespace {

TEST_F(SaverTest, InputRequestsTheExitPastTheMoveThresholdOrAtOnceUnlessInAPreview)
{
    // On the NT family a request closes at once: one "CloseWindow" each. The
    // counter stays after a request, so after a refusal the next move asks
    // again; a threshold of 255 is never passed, as the counter wraps. Rows:
    // the threshold, the preview parent, the moves that request nothing, the
    // requests of the next move and the counter after it.
    const std::tuple<const char*, WindowHandle, int, long, int> rows[] = {
        {"0", 0, 1, 1, 1}, {"4", 0, 5, 1, 5}, {"255", 0, 600, 0, 89}, {"0", 31, 255, 0, 0}};
    platform.platformId = kPlatformWin32Nt;
    for (const auto& [threshold, previewParent, quietMoves, requestsOnTheNext, countAfter] : rows) {
        SCOPED_TRACE(threshold);
        run.PreviewParent = previewParent;
        WriteSettings(std::string("[Main]\nCloseMouseMove=") + threshold + "\n");
        CreateQuietly();
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
        EXPECT_EQ(run.AnimationActive, previewParent != 0);
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
    // The calls after the registry value is read and found set.
    const auto asked = [](Calls then) {
        Calls calls{kOpen, "ReadDword ScreenSaveUsePassword", "CloseKey"};
        calls.insert(calls.end(), then.begin(), then.end());
        return calls;
    };
    const Calls accepted = asked({"ShowCursor TRUE", kLoad, "VerifyScreenSavePwd", "CloseWindow", "FreeLibrary",
                                  "ShowCursor FALSE"});
    const Calls refused = asked({"ShowCursor TRUE", kLoad, "VerifyScreenSavePwd", "FreeLibrary", "ShowCursor FALSE"});
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
        {"no key", [](auto& p) { p.usePassword.reset(); }, {kOpen, "CloseWindow"}, false},
        {"value 0", [](auto& p) { p.usePassword = {Status::Read, 0}; }, asked({"CloseWindow"}), false},
        {"value unread", [](auto& p) { p.usePassword = {Status::NotRead, 1}; }, asked({}), false,
         "'ScreenSaveUsePassword' の取得に失敗しました"},
        {"value of a wrong type", [](auto& p) { p.usePassword = {Status::WrongType, 1}; }, asked({}), false,
         "'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です"},
        {"no library", [](auto& p) { p.libraryLoads = false; },
         asked({"ShowCursor TRUE", kLoad, "CloseWindow", "ShowCursor FALSE"}), true},
        {"no system directory, so no bare name", [](auto& p) { p.systemDirectory = ""; },
         asked({"ShowCursor TRUE", "CloseWindow", "ShowCursor FALSE"}), true},
        {"no verifier", [](auto& p) { p.passwordAnswer.reset(); },
         asked({"ShowCursor TRUE", kLoad, "CloseWindow", "FreeLibrary", "ShowCursor FALSE"}), true},
        {"value 0xFFFFFFFF, accepted", [](auto& p) { p.usePassword = {Status::Read, 0xFFFFFFFF}; }, accepted, true},
        {"accepted in the low byte", [](auto& p) { p.passwordAnswer = 0x101; }, accepted, true},
        {"refused", [](auto& p) { p.passwordAnswer = 0; }, refused, true},
        {"refused in the low byte", [](auto& p) { p.passwordAnswer = 0xFFFFFF00; }, refused, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        platform = ScriptedSaverPlatform();
        CreateQuietly();  // the cursor counter is now -1
        row.script(platform);
        // While the password dialog is up the picture stands still and the
        // cursor shows; afterwards the cursor is hidden again.
        std::optional<std::pair<bool, int>> inDialog;
        platform.whileDialogOpen = [&] { inDialog = {run.AnimationActive, platform.cursorCounter}; };
        std::string error;
        try {
            form.RequestExit();
        } catch (const Error& raised) {
            error = raised.what();
        }
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(platform.calls, row.calls);
        EXPECT_EQ(run.AnimationActive, row.animationGoesOn);
        EXPECT_EQ(platform.cursorCounter, -1);
        EXPECT_EQ(inDialog, Count("VerifyScreenSavePwd") ? std::optional(std::pair{false, 0}) : std::nullopt);
        form.FormDestroy();
    }
    EXPECT_EQ(PasswordLibraryPath("C:\\"), "C:\\PASSWORD.CPL");
}

} // namespace
} // namespace nimbrel
