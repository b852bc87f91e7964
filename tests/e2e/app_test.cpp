// Program entry end to end: the run modes that the command line selects, the
// single-instance guard, the preview inside a parent window, the password
// change request and the start-up error report.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

// How long a test waits for something that must not happen.
constexpr DWORD kQuietPeriod = 1500;

std::wstring Decimal(HWND window)
{
    return std::to_wstring(reinterpret_cast<UINT_PTR>(window));
}

// A window of the test process, standing in for the Display Settings'
// preview window or for a saver that is already running.
class HostWindow {
public:
    HostWindow(const wchar_t* className, int left, int top, int width, int height)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, className, L"host", WS_POPUP | WS_VISIBLE, left, top, width,
                                  height, nullptr, nullptr, windowClass.hInstance, nullptr);
        PumpMessages();
    }
    ~HostWindow() { Destroy(); }
    void Destroy()
    {
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
        PumpMessages();
    }
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

class AppTest : public ::testing::Test {
protected:
    ScopedSettings settings;  // every test starts without a settings file
};

TEST_F(AppTest, SaverSwitchRunsTheSaverUntilAKey)
{
    Process saver = Process::StartScr(L"/s");
    HWND window = saver.WaitForWindow(L"TMainForm");
    ASSERT_NE(window, nullptr);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    // A key pressed before the saver has the keyboard would go elsewhere.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), 0u);
}

TEST_F(AppTest, NoArgumentAndUnknownSwitchesOpenTheSettings)
{
    for (const wchar_t* arguments : {L"", L"/c:1234", L"/s2"}) {
        SCOPED_TRACE(testing::Message() << "arguments: " << testing::PrintToString(std::wstring(arguments)));
        Process settingsDialog = Process::StartScr(arguments);
        HWND dialog = settingsDialog.WaitForWindow(L"TMainDialog");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(settingsDialog.FindWindowOfClass(L"TMainForm"), nullptr);
        // The application's window gives the program its taskbar button: shown,
        // unowned, titled, of no size; activating it activates the dialog.
        HWND application = settingsDialog.FindWindowOfClass(L"NimbrelApplication");
        ASSERT_NE(application, nullptr);
        EXPECT_TRUE(IsWindowVisible(application));
        wchar_t title[32] = {};
        SendMessageW(application, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(title));
        EXPECT_STREQ(title, L"Nimbrel");
        RECT rect{};
        GetWindowRect(application, &rect);
        EXPECT_TRUE(IsRectEmpty(&rect));
        EXPECT_EQ(GetWindow(application, GW_OWNER), nullptr);
        EXPECT_FALSE(GetWindowLongW(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }));
        SetForegroundWindow(application);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(settingsDialog.WaitForExit(), 0u);
    }
}

// A password change is asked for on the Windows 95 family alone: this runs
// on that path.
TEST_F(AppTest, GuardKeepsASecondCopyOutButNotAPasswordChange)
{
    ScopedWindowsVersion win98("win98");
    Process settingsDialog = Process::StartScr(L"/c");
    HWND dialog = settingsDialog.WaitForWindow(L"TMainDialog");
    ASSERT_NE(dialog, nullptr);

    Process secondSaver = Process::StartScr(L"/s");
    EXPECT_EQ(secondSaver.WaitForExit(), 0u);
    EXPECT_EQ(secondSaver.FindWindowOfClass(L"TMainForm"), nullptr);

    // The password change goes ahead and asks the system library, found by
    // its full path in the system directory.
    char tempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, tempDir);
    const std::string record = std::string(tempDir) + "nimbrel-mpr-record.txt";
    DeleteFileA(record.c_str());
    {
        ScopedSystemFile library(WindowsPathOf(NIMBREL_MPR_DLL_UNIX_PATH), L"MPR.DLL");
        ScopedEnvironment recordPath(L"NIMBREL_MPR_RECORD", std::wstring(record.begin(), record.end()));
        // Wine prefers its own mpr.dll; the program must take the file instead.
        ScopedUserString native(L"Software\\Wine\\AppDefaults\\Nimbrel.scr\\DllOverrides", L"mpr",
                                L"native");
        Process change = Process::StartScr(L"/a 4660");
        EXPECT_EQ(change.WaitForExit(), 0u);
    }
    std::ifstream in(record);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "SCRSAVE 4660 0 0");
    DeleteFileA(record.c_str());

    EXPECT_TRUE(settingsDialog.Running());
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(settingsDialog.WaitForExit(), 0u);
}

TEST_F(AppTest, PreviewFillsItsParentIgnoresInputAndEndsWithIt)
{
    HostWindow parent(L"NimbrelTestPreviewParent", 40, 30, 152, 112);
    Process preview = Process::StartScr(L"/p " + Decimal(parent.get()));
    HWND child = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (child = FindWindowExW(parent.get(), nullptr, L"TMainForm", nullptr)) != nullptr;
    }));
    RECT childRect;
    ASSERT_TRUE(WaitUntil([&] {
        GetWindowRect(child, &childRect);
        return childRect.right - childRect.left == 152 && childRect.bottom - childRect.top == 112;
    }));
    EXPECT_EQ(childRect.left, 40);
    EXPECT_EQ(childRect.top, 30);
    // No taskbar button for a preview.
    HWND application = preview.FindWindowOfClass(L"NimbrelApplication");
    EXPECT_TRUE(!application || !IsWindowVisible(application));

    // Input that would end a full-screen run leaves the preview alone.
    for (int i = 0; i < 12; ++i) PostMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(i * 3, i * 2));
    PostMessageW(child, WM_KEYDOWN, 'A', 0);
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(preview.WaitForExit(kQuietPeriod).has_value());
    EXPECT_TRUE(IsWindow(child));

    parent.Destroy();
    EXPECT_EQ(preview.WaitForExit(), 0u);
}

// The Windows 98 family path: the saver until a key, and the preview until
// its parent goes.
TEST_F(AppTest, Win98SaverAndPreviewRun)
{
    ScopedWindowsVersion win98("win98");
    ScopedUserDword noPassword(L"Control Panel\\desktop", L"ScreenSaveUsePassword", 0);
    Process saver = Process::StartScr(L"/s");
    HWND window = saver.WaitForWindow(L"TMainForm");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), 0u);

    HostWindow parent(L"NimbrelTestPreviewParent", 40, 30, 152, 112);
    Process preview = Process::StartScr(L"/p " + Decimal(parent.get()));
    ASSERT_TRUE(WaitUntil([&] { return FindWindowExW(parent.get(), nullptr, L"TMainForm", nullptr) != nullptr; }));
    parent.Destroy();
    EXPECT_EQ(preview.WaitForExit(), 0u);
}

TEST_F(AppTest, PreviewBesideARunningSaverEndsAtOnce)
{
    HostWindow runningSaver(L"TMainForm", 0, 0, 10, 10);
    HostWindow parent(L"NimbrelTestPreviewParent", 40, 30, 152, 112);
    Process preview = Process::StartScr(L"/p " + Decimal(parent.get()));
    EXPECT_EQ(preview.WaitForExit(), 0u);
    EXPECT_EQ(FindWindowExW(parent.get(), nullptr, L"TMainForm", nullptr), nullptr);
}

TEST_F(AppTest, PreviewWithoutALiveParentEndsAtOnce)
{
    for (const wchar_t* arguments : {L"/p", L"/p 0", L"/p 123456"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(arguments)));
        Process preview = Process::StartScr(arguments);
        EXPECT_EQ(preview.WaitForExit(), 0u);
        EXPECT_EQ(preview.FindWindowOfClass(L"TMainForm"), nullptr);
    }
}

TEST_F(AppTest, PreviewWithABadHandleReportsTheErrorAndExitsWithOne)
{
    Process preview = Process::StartScr(L"/p 12ab");
    HWND box = preview.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    auto shown = ReadMessageBox(box);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->caption, L"\uFF71\uFF8C\uFF9F\uFF98\uFF79\uFF70\uFF7C\uFF6E\uFF9D \uFF74\uFF97\uFF70");
    EXPECT_EQ(shown->text.find(L"EConvertError\u304C\uFF93\uFF7C\uFF9E\uFF6D\uFF70\uFF99 Nimbrel.scr \u306E"), 0u)
        << testing::PrintToString(shown->text);
    EXPECT_NE(shown->text.find(L"'12ab' \u306F\u6574\u6570\u3067\u306F\u3042\u308A\u307E\u305B\u3093."),
              std::wstring::npos);
    EXPECT_EQ(preview.FindWindowOfClass(L"TMainForm"), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(preview.WaitForExit(), 1u);
}

} // namespace
} // namespace nimbrel::e2e
