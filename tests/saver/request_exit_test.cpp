// Ending the saver: the mouse-move threshold, keys and clicks, and every
// outcome of the exit request with what the cursor and the animation do.
#include <gtest/gtest.h>

#include "saver_test_fixture.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

class InputTest : public SaverTest {
protected:
    // On the NT family a request closes at once, so each request shows as
    // one "CloseWindow".
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
    long Requests() const { return std::count(platform.calls.begin(), platform.calls.end(), "CloseWindow"); }
};

TEST_F(InputTest, Threshold4RequestsOnTheSixthMoveAndLeavesTheCounter)
{
    CreateWithThreshold("4");
    MoveMouse(5);
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(run.MouseMoveCount, 5);
    MoveMouse(1);
    EXPECT_EQ(Requests(), 1);
    EXPECT_EQ(run.MouseMoveCount, 5);
}

TEST_F(InputTest, Threshold0RequestsOnTheSecondMove)
{
    CreateWithThreshold("0");
    MoveMouse(1);
    EXPECT_EQ(Requests(), 0);
    MoveMouse(1);
    EXPECT_EQ(Requests(), 1);
}

TEST_F(InputTest, Threshold255NeverRequestsOnMovesButKeysAndClicksStillDo)
{
    CreateWithThreshold("255");
    MoveMouse(600);
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(run.MouseMoveCount, 600 % 256);
    form.FormKeyDown();
    form.FormClick();
    EXPECT_EQ(Requests(), 2);
}

TEST_F(InputTest, Timer1StartsANewPeriod)
{
    CreateWithThreshold("4");
    MoveMouse(5);
    form.Timer1Timer();
    EXPECT_EQ(run.MouseMoveCount, 0);
    MoveMouse(5);
    EXPECT_EQ(Requests(), 0);
    MoveMouse(1);
    EXPECT_EQ(Requests(), 1);
}

TEST_F(InputTest, KeysAndClicksRequestAtOnceWithoutCounting)
{
    CreateWithThreshold("4");
    form.FormKeyDown();
    EXPECT_EQ(Requests(), 1);
    form.FormClick();
    EXPECT_EQ(Requests(), 2);
    EXPECT_EQ(run.MouseMoveCount, 0);
}

TEST_F(InputTest, PreviewIgnoresInputAndTheCounterWraps)
{
    run.PreviewParent = 31;
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

// One row of the outcome table: what the system answers, and what the window,
// the animation and the cursor do.
class ExitRequestTest : public SaverTest {
protected:
    ExitRequestTest() { CreateQuietly(); }  // the cursor counter is now -1

    static constexpr const char* kOpenKey = "OpenCurrentUserKey Control Panel\\desktop";
    static constexpr const char* kReadValue = "ReadDword ScreenSaveUsePassword";
    static constexpr const char* kLoad = "LoadPasswordLibrary C:\\WINDOWS\\SYSTEM\\PASSWORD.CPL";
};

TEST_F(ExitRequestTest, NtFamilyClosesWithoutAskingAnything)
{
    platform.platformId = kPlatformWin32Nt;
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{"CloseWindow"}));
    EXPECT_FALSE(run.AnimationActive);
}

TEST_F(ExitRequestTest, AFailedVersionQueryCountsAsNotNt)
{
    platform.platformId = 0;
    form.RequestExit();
    EXPECT_EQ(platform.calls.front(), kOpenKey);
}

TEST_F(ExitRequestTest, AKeyThatCannotBeOpenedCloses)
{
    platform.keyOpens = false;
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{kOpenKey, "CloseWindow"}));
    EXPECT_FALSE(run.AnimationActive);
}

TEST_F(ExitRequestTest, NoPasswordInUseCloses)
{
    platform.usePassword = {RegistryDword::Status::Read, 0};
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{kOpenKey, kReadValue, "CloseKey", "CloseWindow"}));
    EXPECT_FALSE(run.AnimationActive);
    EXPECT_EQ(platform.cursorCounter, -1);
}

TEST_F(ExitRequestTest, AnUnreadableValueRaisesAndLeavesThePictureStandingAndTheCursorHidden)
{
    const std::pair<RegistryDword::Status, const char*> cases[] = {
        {RegistryDword::Status::NotRead, "'ScreenSaveUsePassword' の取得に失敗しました"},
        {RegistryDword::Status::WrongType, "'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です"},
    };
    for (const auto& [status, message] : cases) {
        platform.calls.clear();
        platform.usePassword = {status, 1};
        try {
            form.FormKeyDown();
            ADD_FAILURE() << "no error for " << message;
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), message);
        }
        EXPECT_EQ(platform.calls, (Calls{kOpenKey, kReadValue, "CloseKey"}));
        EXPECT_FALSE(run.AnimationActive);
        EXPECT_EQ(platform.cursorCounter, -1);
    }
}

TEST_F(ExitRequestTest, ALibraryThatCannotBeLoadedClosesAfterShowingTheCursorBriefly)
{
    platform.libraryLoads = false;
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{kOpenKey, kReadValue, "CloseKey", "ShowCursor TRUE", kLoad, "CloseWindow",
                                     "ShowCursor FALSE"}));
    EXPECT_TRUE(run.AnimationActive);
    EXPECT_EQ(platform.cursorCounter, -1);
}

TEST_F(ExitRequestTest, WithoutASystemDirectoryNoLibraryIsLoadedByBareName)
{
    platform.systemDirectory = "";
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{kOpenKey, kReadValue, "CloseKey", "ShowCursor TRUE", "CloseWindow",
                                     "ShowCursor FALSE"}));
    EXPECT_TRUE(run.AnimationActive);
}

TEST_F(ExitRequestTest, AnAcceptedPasswordClosesWithTheCursorShownDuringTheDialog)
{
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{kOpenKey, kReadValue, "CloseKey", "ShowCursor TRUE", kLoad,
                                     "VerifyScreenSavePwd", "CloseWindow", "FreeLibrary", "ShowCursor FALSE"}));
    EXPECT_EQ(platform.cursorCounterInDialog, 0);
    EXPECT_TRUE(run.AnimationActive);
    EXPECT_EQ(platform.cursorCounter, -1);
}

TEST_F(ExitRequestTest, ARefusedPasswordLetsTheAnimationGoOn)
{
    platform.passwordAnswer = 0;
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{kOpenKey, kReadValue, "CloseKey", "ShowCursor TRUE", kLoad,
                                     "VerifyScreenSavePwd", "FreeLibrary", "ShowCursor FALSE"}));
    EXPECT_EQ(platform.cursorCounterInDialog, 0);
    EXPECT_TRUE(run.AnimationActive);
    EXPECT_EQ(platform.cursorCounter, -1);
}

TEST_F(ExitRequestTest, OnlyTheLowByteOfTheAnswerCounts)
{
    for (auto [answer, closes] : {std::pair{0x100u, false}, {0xFFFFFF00u, false}, {0x101u, true}, {0x80u, true}}) {
        platform.calls.clear();
        platform.passwordAnswer = answer;
        form.RequestExit();
        EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "CloseWindow"), closes ? 1 : 0)
            << std::hex << answer;
    }
}

TEST_F(ExitRequestTest, ALibraryWithoutTheVerifierClosesAndIsReleased)
{
    platform.passwordAnswer.reset();
    form.RequestExit();
    EXPECT_EQ(platform.calls, (Calls{kOpenKey, kReadValue, "CloseKey", "ShowCursor TRUE", kLoad, "CloseWindow",
                                     "FreeLibrary", "ShowCursor FALSE"}));
    EXPECT_TRUE(run.AnimationActive);
}

TEST_F(ExitRequestTest, EveryNonZeroValueMeansAPasswordIsInUse)
{
    for (std::uint32_t value : {1u, 2u, 0xFFFFFFFFu}) {
        platform.calls.clear();
        platform.usePassword = {RegistryDword::Status::Read, value};
        form.RequestExit();
        EXPECT_NE(std::find(platform.calls.begin(), platform.calls.end(), "VerifyScreenSavePwd"),
                  platform.calls.end())
            << value;
    }
}

TEST_F(ExitRequestTest, TicksDuringThePasswordDialogDrawNothingButTimer1StillClears)
{
    run.MouseMoveCount = 6;
    platform.whileDialogOpen = [&] {
        form.Timer2Timer();
        form.Timer2Timer();
        form.Timer1Timer();
    };
    platform.passwordAnswer = 0;
    form.RequestExit();
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "PresentFrame 8 6"), 0);
    EXPECT_TRUE(run.EffectNeedsSetup);  // the setup tick still waits
    EXPECT_EQ(run.MouseMoveCount, 0);
}

TEST_F(ExitRequestTest, AfterARefusalOneMoreMoveInTheSamePeriodAsksAgain)
{
    platform.passwordAnswer = 0;
    for (int i = 0; i < 6; ++i) form.FormMouseMove();
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "VerifyScreenSavePwd"), 1);
    form.Timer2Timer();  // the animation goes on
    EXPECT_FALSE(run.EffectNeedsSetup);
    form.FormMouseMove();
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "VerifyScreenSavePwd"), 2);
}

TEST(PasswordLibraryPathTest, JoinsTheSystemDirectoryWithOneBackslash)
{
    EXPECT_EQ(PasswordLibraryPath("C:\\WINDOWS\\SYSTEM"), "C:\\WINDOWS\\SYSTEM\\PASSWORD.CPL");
    EXPECT_EQ(PasswordLibraryPath("C:\\"), "C:\\PASSWORD.CPL");
    EXPECT_EQ(PasswordLibraryPath(""), "PASSWORD.CPL");
}

} // namespace
} // namespace nimbrel
