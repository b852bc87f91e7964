// The start-up sequence of every run mode, its early ends and its error
// report, against a scripted platform.
#include "app/startup.h"

#include <gtest/gtest.h>

#include "scripted_platform.h"
#include "settings/parse_integer.h"

namespace nimbrel {
namespace {

using Calls = std::vector<std::string>;

const std::string kStart = "RestrictLibrarySearch";
const std::string kGuard = "AcquireGuard Rendaxo32RunCheck@Kolt";
const std::string kTitle = "SetApplicationTitle Nimbrel";
const std::string kLoop = "RunMessageLoop";
const std::string kFindSaver = "TopLevelWindowExists TMainForm";
const std::string kHide = "HideApplicationWindow";
const std::string kChangeFor31 = "CallPasswordChange C:\\WINDOWS\\SYSTEM\\MPR.DLL SCRSAVE 31";
const std::string kChangeWithoutOwner = "CallPasswordChange C:\\WINDOWS\\SYSTEM\\MPR.DLL SCRSAVE 0";

class StartupTest : public ::testing::Test {
protected:
    // Runs one start and checks its exit code and every platform call.
    void ExpectRun(std::string_view commandLine, int exitCode, const Calls& calls)
    {
        platform.calls.clear();
        EXPECT_EQ(RunProgram(platform, commandLine), exitCode) << commandLine;
        EXPECT_EQ(platform.calls, calls) << commandLine;
    }

    ScriptedPlatform platform;
};

TEST_F(StartupTest, ConfigureAndSaverCreateTheirMainWindow)
{
    // Which words select which mode is shown with the command line.
    for (const char* line : {"N.SCR", "N.SCR -C 12", "N.SCR /x /s"}) {
        ExpectRun(line, 0, {kStart, kGuard, kTitle, "CreateSettingsDialog", kLoop});
    }
    for (const char* line : {"N.SCR /s", "N.SCR -S 12"}) {
        ExpectRun(line, 0, {kStart, kGuard, kTitle, "CreateSaverWindow 0", kLoop});
    }
}

TEST_F(StartupTest, GuardHeldOrUnavailableEndsSilently)
{
    for (GuardState state : {GuardState::HeldByAnother, GuardState::Unavailable}) {
        platform.guard = state;
        for (const char* line : {"N.SCR", "N.SCR /s", "N.SCR -c", "N.SCR /p 31"}) {
            ExpectRun(line, 0, {kStart, kGuard});
        }
    }
}

TEST_F(StartupTest, PasswordChangeSkipsTheGuardCreatesNoWindowAndLoadsTheLibraryByFullPath)
{
    platform.guard = GuardState::HeldByAnother;
    for (const char* line : {"N.SCR -a 31", "N.SCR /a $1F", "N.SCR -A \"  31\"", "N.SCR /A \"\" 31"}) {
        ExpectRun(line, 0, {kStart, kTitle, kChangeFor31, kLoop});
    }
    // Without a usable second argument there is no owner, and nothing is said.
    for (const char* line : {"N.SCR /a", "N.SCR /a 12x"}) {
        ExpectRun(line, 0, {kStart, kTitle, kChangeWithoutOwner, kLoop});
    }
    // A negative number is a handle with the high bit set.
    ExpectRun("N.SCR /a -1", 0,
              {kStart, kTitle, "CallPasswordChange C:\\WINDOWS\\SYSTEM\\MPR.DLL SCRSAVE 4294967295", kLoop});
    // The library is loaded by its full path only.
    platform.systemDirectory = "C:\\";
    ExpectRun("N.SCR /a 31", 0, {kStart, kTitle, "CallPasswordChange C:\\MPR.DLL SCRSAVE 31", kLoop});
    platform.systemDirectory = "";
    ExpectRun("N.SCR /a 31", 0, {kStart, kTitle, kLoop});
}

TEST_F(StartupTest, PreviewFillsItsLiveParentIgnoresInputAndNeverRunsBesideASaver)
{
    platform.windows[31] = WindowRect{100, 50, 252, 162};
    for (const char* line : {"N.SCR /p 31", "N.SCR -P $1F", "N.SCR /P \"  31\"", "N.SCR -p $1f 7"}) {
        ExpectRun(line, 0,
                  {kStart, kGuard, kTitle, kFindSaver, kHide, "WindowExists 31", "ShowWindowByHandle 31",
                   "OuterRect 31", "CreateSaverWindow 31", "SetSaverWindowBounds 0 0 152 112",
                   "SetSaverClosesOnInput 0", kLoop});
    }
    // It ends silently beside a running saver or without a live parent.
    platform.windowClasses.insert("TMainForm");
    ExpectRun("N.SCR /p 31", 0, {kStart, kGuard, kTitle, kFindSaver});
    platform.windowClasses.clear();
    for (const char* line : {"N.SCR /p", "N.SCR /p 0", "N.SCR /p $0"}) {
        ExpectRun(line, 0, {kStart, kGuard, kTitle, kFindSaver, kHide});
    }
    ExpectRun("N.SCR /p 32", 0, {kStart, kGuard, kTitle, kFindSaver, kHide, "WindowExists 32"});
}

TEST_F(StartupTest, ErrorsThatEscapeStartUpAreReportedWithWhereTheyWereRaisedAndExitCodeOne)
{
    const void* conversionSite = nullptr;
    try {
        (void)ParseInteger("12ab");
    } catch (const Error& e) {
        conversionSite = e.RaisedAt();
    }
    ExpectRun("N.SCR /p 12ab", 1,
              {kStart, kGuard, kTitle, kFindSaver, kHide,
               "ShowStartupErrorReport ｱﾌﾟﾘｹｰｼｮﾝ ｴﾗｰ EConvertErrorがﾓｼﾞｭｰﾙ NIMBREL.SCR の\r\n"
               "0040A1B2 で発生しました。\r\n'12ab' は整数ではありません."});
    EXPECT_EQ(platform.reportedRaisedAt, conversionSite);
    EXPECT_NE(conversionSite, nullptr);

    platform.saverCreationError = "ｳｨﾝﾄﾞｳを作成できません";
    platform.programPath = "D:\\SAVERS\\NIM.SCR";
    ExpectRun("N.SCR /s", 1,
              {kStart, kGuard, kTitle, "CreateSaverWindow 0",
               "ShowStartupErrorReport ｱﾌﾟﾘｹｰｼｮﾝ ｴﾗｰ Exceptionがﾓｼﾞｭｰﾙ NIM.SCR の\r\n"
               "0040A1B2 で発生しました。\r\nｳｨﾝﾄﾞｳを作成できません."});
    EXPECT_NE(platform.reportedRaisedAt, conversionSite);
}

} // namespace
} // namespace nimbrel
