// Start-up: the command line's words and switches, then the sequence of every
// run mode, its early ends and the wording of its error report, against a
// stand-in for the operating system that answers from a script and records
// every call, with its arguments, in order.
#include "app/startup.h"

#include <map>
#include <optional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/run_mode.h"
#include "settings/errors.h"
#include "settings/parse_integer.h"

namespace nimbrel {
namespace {

TEST(CommandLineTest, SplitsAtCharactersOneToThirtyTwoOutsideQuotes)
{
    const std::pair<std::string_view, std::vector<std::string>> cases[] = {
        {"  prog\t\r\n/p\x01\x1f 12  ", {"prog", "/p", "12"}},
        // DEL and bytes above 127 belong to words, so multi-byte text stays whole.
        {"a\x7f \xe8\xa8\xad\xe5\xae\x9a", {"a\x7f", "\xe8\xa8\xad\xe5\xae\x9a"}},
        {std::string_view("p /s\0/c", 7), {"p", "/s"}}, {" \t ", {}},
        // Quoted stretches belong to their word; an unclosed quote runs to the end.
        {"\"C:\\My Saver\\n.scr\" /\"s\" a\"b c\"d", {"C:\\My Saver\\n.scr", "/s", "ab cd"}},
        {"p \"a b", {"p", "a b"}},
        // Empty quote pairs between words are skipped; a lone quote at the
        // end opens nothing.
        {"p \"\" /s \"\"\"\" 5 \"\"", {"p", "/s", "5"}},
        {"p a\"\"b \"\"c \" \"", {"p", "ab", "c", " "}},
        {"p /s \"", {"p", "/s"}},
    };
    for (const auto& [line, words] : cases) EXPECT_EQ(SplitCommandLine(line), words) << line;
}

TEST(RunModeTest, SwitchesMatchWholeAndByteForByte)
{
    using enum RunMode;
    for (const char* s : {"/c", "-c", "/C", "-C"}) EXPECT_EQ(SelectRunMode(s), Configure) << s;
    for (const char* s : {"/s", "-s", "/S", "-S"}) EXPECT_EQ(SelectRunMode(s), Saver) << s;
    for (const char* s : {"/p", "-p", "/P", "-P"}) EXPECT_EQ(SelectRunMode(s), Preview) << s;
    for (const char* s : {"-a", "/a", "-A", "/A"}) EXPECT_EQ(SelectRunMode(s), ChangePassword) << s;
    for (const char* s : {"", "/c:1234", "/a ", " /p", "s", "/x", "／ｓ"}) EXPECT_EQ(SelectRunMode(s), Configure) << s;
}

using Calls = std::vector<std::string>;

// The fixture is the stand-in platform itself.
class StartupTest : public ::testing::Test, public AppPlatform {
protected:
    GuardState guard = GuardState::Acquired;
    std::set<std::string, std::less<>> windowClasses;
    std::map<WindowHandle, WindowRect> windows;
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
    std::string programPath = "C:\\WINDOWS\\NIMBREL.SCR";
    std::optional<std::string> saverCreationError;
    const void* reportedRaisedAt = nullptr;  // what the report was asked to name
    Calls calls;

    void RestrictLibrarySearch() override { Log("RestrictLibrarySearch"); }
    void SetDpiAwareness(DpiAwareness awareness) override
    {
        Log("SetDpiAwareness", awareness == DpiAwareness::PerMonitor ? "per-monitor" : "system");
    }
    GuardState AcquireGuard(std::string_view name) override { return Log("AcquireGuard", name), guard; }
    void SetApplicationTitle(std::string_view title) override { Log("SetApplicationTitle", title); }
    bool TopLevelWindowExists(std::string_view name) override
    {
        return Log("TopLevelWindowExists", name), windowClasses.contains(name);
    }
    void HideApplicationWindow() override { Log("HideApplicationWindow"); }
    bool WindowExists(WindowHandle window) override { return Log("WindowExists", window), windows.contains(window); }
    void ShowWindowByHandle(WindowHandle window) override { Log("ShowWindowByHandle", window); }
    WindowRect OuterRect(WindowHandle window) override { return Log("OuterRect", window), windows.at(window); }
    void CreateSettingsDialog() override { Log("CreateSettingsDialog"); }
    void CreateSaverWindow(WindowHandle parent) override
    {
        Log("CreateSaverWindow", parent);
        if (saverCreationError) throw Error(*saverCreationError);
    }
    void SetSaverWindowBounds(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) override
    {
        Log("SetSaverWindowBounds", x, y, w, h);
    }
    void SetSaverClosesOnInput(bool closes) override { Log("SetSaverClosesOnInput", closes); }
    void RunMessageLoop() override { Log("RunMessageLoop"); }
    std::string SystemDirectory() override { return systemDirectory; }
    void CallPasswordChange(std::string_view path, std::string_view name, WindowHandle owner) override
    {
        Log("CallPasswordChange", path, name, owner);
    }
    std::string ProgramPath() override { return programPath; }
    std::uint32_t StartupErrorAddress(const void* raisedAt) override { return reportedRaisedAt = raisedAt, 0x0040A1B2; }
    void ShowStartupErrorReport(std::string_view title, std::string_view text) override { Log("Report", title, text); }

    // Runs one start and checks its exit code and every platform call after
    // the first, which always restricts the library search.
    void ExpectRun(std::string_view commandLine, int exitCode, Calls expected)
    {
        calls.clear();
        expected.insert(expected.begin(), "RestrictLibrarySearch");
        EXPECT_EQ(RunProgram(*this, commandLine), exitCode) << commandLine;
        EXPECT_EQ(calls, expected) << commandLine;
    }

    template <typename... Values>
    void Log(std::string_view what, const Values&... values)
    {
        std::ostringstream line;
        line << what;
        ((line << ' ' << values), ...);
        calls.push_back(line.str());
    }
};

// Every start sets its DPI awareness at once: per monitor for the saver,
// system-wide for the rest.
const std::string kSystemDpi = "SetDpiAwareness system";
const std::string kPerMonitorDpi = "SetDpiAwareness per-monitor";
const std::string kGuard = "AcquireGuard Rendaxo32RunCheck@Kolt";
const std::string kTitle = "SetApplicationTitle Nimbrel";
const std::string kLoop = "RunMessageLoop";
const std::string kFindSaver = "TopLevelWindowExists TMainForm";
const std::string kHide = "HideApplicationWindow";
const std::string kChange = "CallPasswordChange C:\\WINDOWS\\SYSTEM\\MPR.DLL SCRSAVE ";

TEST_F(StartupTest, ConfigureAndSaverCreateTheirWindowUnlessTheGuardIsTaken)
{
    // Only the first argument selects the mode.
    ExpectRun("N.SCR", 0, {kSystemDpi, kGuard, kTitle, "CreateSettingsDialog", kLoop});
    ExpectRun("N.SCR /x /s", 0, {kSystemDpi, kGuard, kTitle, "CreateSettingsDialog", kLoop});
    ExpectRun("N.SCR -S 12", 0, {kPerMonitorDpi, kGuard, kTitle, "CreateSaverWindow 0", kLoop});
    for (GuardState state : {GuardState::HeldByAnother, GuardState::Unavailable}) {
        guard = state;
        ExpectRun("N.SCR", 0, {kSystemDpi, kGuard});
        ExpectRun("N.SCR /s", 0, {kPerMonitorDpi, kGuard});
        ExpectRun("N.SCR /p 31", 0, {kSystemDpi, kGuard});
    }
}

TEST_F(StartupTest, PasswordChangeSkipsTheGuardAndLoadsTheLibraryByFullPath)
{
    guard = GuardState::HeldByAnother;
    // Without a usable second argument there is no owner, and nothing is
    // said; a negative number is a handle with the high bit set.
    const std::pair<const char*, const char*> owners[] = {
        {"N.SCR -a 31", "31"}, {"N.SCR /A \"  $1F\"", "31"}, {"N.SCR /a \"\" 31", "31"},
        {"N.SCR /a", "0"}, {"N.SCR /a 12x", "0"}, {"N.SCR /a -1", "4294967295"},
    };
    for (const auto& [line, owner] : owners) ExpectRun(line, 0, {kSystemDpi, kTitle, kChange + owner, kLoop});
    systemDirectory = "C:\\";
    ExpectRun("N.SCR /a 31", 0, {kSystemDpi, kTitle, "CallPasswordChange C:\\MPR.DLL SCRSAVE 31", kLoop});
    systemDirectory = "";
    ExpectRun("N.SCR /a 31", 0, {kSystemDpi, kTitle, kLoop});
}

TEST_F(StartupTest, PreviewFillsItsLiveParentIgnoresInputAndNeverRunsBesideASaver)
{
    windows[31] = WindowRect{100, 50, 252, 162};
    for (const char* line : {"N.SCR /p 31", "N.SCR -P \"  $1f\" 7"}) {
        ExpectRun(line, 0,
                  {kSystemDpi, kGuard, kTitle, kFindSaver, kHide, "WindowExists 31", "ShowWindowByHandle 31",
                   "OuterRect 31", "CreateSaverWindow 31", "SetSaverWindowBounds 0 0 152 112",
                   "SetSaverClosesOnInput 0", kLoop});
    }
    for (const char* line : {"N.SCR /p", "N.SCR /p $0"}) {
        ExpectRun(line, 0, {kSystemDpi, kGuard, kTitle, kFindSaver, kHide});
    }
    ExpectRun("N.SCR /p 32", 0, {kSystemDpi, kGuard, kTitle, kFindSaver, kHide, "WindowExists 32"});
    windowClasses.insert("TMainForm");
    ExpectRun("N.SCR /p 31", 0, {kSystemDpi, kGuard, kTitle, kFindSaver});
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
              {kSystemDpi, kGuard, kTitle, kFindSaver, kHide,
               "Report ｱﾌﾟﾘｹｰｼｮﾝ ｴﾗｰ EConvertErrorがﾓｼﾞｭｰﾙ NIMBREL.SCR の\r\n"
               "0040A1B2 で発生しました。\r\n'12ab' は整数ではありません."});
    EXPECT_EQ(reportedRaisedAt, conversionSite);
    EXPECT_NE(conversionSite, nullptr);

    // A message that ends in a period gets no second one; a drive name is
    // no folder, but not part of the file name either.
    saverCreationError = "ｳｨﾝﾄﾞｳを作成できません.";
    programPath = "D:NIM.SCR";
    ExpectRun("N.SCR /s", 1,
              {kPerMonitorDpi, kGuard, kTitle, "CreateSaverWindow 0",
               "Report ｱﾌﾟﾘｹｰｼｮﾝ ｴﾗｰ Exceptionがﾓｼﾞｭｰﾙ NIM.SCR の\r\n"
               "0040A1B2 で発生しました。\r\nｳｨﾝﾄﾞｳを作成できません."});
    EXPECT_NE(reportedRaisedAt, conversionSite);
}

} // namespace
} // namespace nimbrel
