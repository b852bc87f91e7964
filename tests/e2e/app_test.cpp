// Program entry end to end: the single-instance guard, the preview inside a
// parent window, the password change request and the start-up error report.
// The settings and the saver are in dialogs_test.cpp and saver_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

constexpr RECT kParentBounds{40, 30, 192, 142};

std::wstring PreviewOf(const TestWindow& parent)
{
    return L"/p " + std::to_wstring(reinterpret_cast<UINT_PTR>(parent.get()));
}

HWND PreviewChild(const TestWindow& parent)
{
    return FindWindowExW(parent.get(), nullptr, L"TMainForm", nullptr);
}

class AppTest : public ::testing::Test {
protected:
    ScopedSettings settings;  // every test starts without a settings file
};

TEST_F(AppTest, PreviewFillsALiveParentAndEndsWithIt)
{
    TestWindow parent(L"NimbrelTestPreviewParent", kParentBounds);
    {
        // Beside a running saver there is no preview.
        TestWindow runningSaver(L"TMainForm", RECT{0, 0, 10, 10});
        Process preview = Process::StartScr(PreviewOf(parent));
        EXPECT_EQ(preview.WaitForExit(), 0u);
        EXPECT_EQ(PreviewChild(parent), nullptr);
    }
    Process orphan = Process::StartScr(L"/p 123456");  // no such window
    EXPECT_EQ(orphan.WaitForExit(), 0u);
    EXPECT_EQ(orphan.FindWindowOfClass(L"TMainForm"), nullptr);

    Process preview = Process::StartScr(PreviewOf(parent));
    HWND child = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (child = PreviewChild(parent)) != nullptr; }));
    RECT childRect;
    ASSERT_TRUE(WaitUntil([&] {
        GetWindowRect(child, &childRect);
        return EqualRect(&childRect, &kParentBounds);
    }));
    // No taskbar button for a preview.
    HWND application = preview.FindWindowOfClass(L"NimbrelApplication");
    EXPECT_TRUE(!application || !IsWindowVisible(application));
    EXPECT_TRUE(preview.Running());

    parent.Destroy();
    EXPECT_EQ(preview.WaitForExit(), 0u);
}

// The Windows 98 family path, where alone a password change is asked for:
// the guard keeps a second saver out but lets the change through, and the
// preview runs until its parent goes.
TEST_F(AppTest, Win98GuardPasswordChangeAndPreview)
{
    ScopedWin98 win98;
    Process settingsDialog = Process::StartScr(L"/c");
    HWND dialog = settingsDialog.WaitForWindow(L"TMainDialog");
    ASSERT_NE(dialog, nullptr);

    Process secondSaver = Process::StartScr(L"/s");
    EXPECT_EQ(secondSaver.WaitForExit(), 0u);
    EXPECT_EQ(secondSaver.FindWindowOfClass(L"TMainForm"), nullptr);

    // The password change asks the system library, found by its full path
    // in the system directory.
    char tempDir[MAX_PATH];
    const std::string record = std::string(tempDir, GetTempPathA(MAX_PATH, tempDir)) + "nimbrel-mpr-record.txt";
    DeleteFileA(record.c_str());
    {
        ScopedSystemFile library(NIMBREL_MPR_DLL_UNIX_PATH, L"MPR.DLL");
        // Wine prefers its own mpr.dll; the program must take the file instead.
        ScopedUserValue native(L"Software\\Wine\\AppDefaults\\Nimbrel.scr\\DllOverrides", L"mpr", L"native");
        Process change = Process::StartScr(L"/a 4660");
        EXPECT_EQ(change.WaitForExit(), 0u);
    }
    std::stringstream text;
    text << std::ifstream(record).rdbuf();
    EXPECT_EQ(text.str(), "SCRSAVE 4660 0 0");
    DeleteFileA(record.c_str());

    EXPECT_TRUE(settingsDialog.Running());
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(settingsDialog.WaitForExit(), 0u);

    TestWindow parent(L"NimbrelTestPreviewParent", kParentBounds);
    Process preview = Process::StartScr(PreviewOf(parent));
    ASSERT_TRUE(WaitUntil([&] { return PreviewChild(parent) != nullptr; }));
    parent.Destroy();
    // Traced call by call, and with Wine waiting up to two seconds for each
    // window it takes down, this end is slow on a busy machine.
    EXPECT_EQ(preview.WaitForExit(2 * kPatience), 0u);
}

TEST_F(AppTest, PreviewWithABadHandleReportsTheErrorAndExitsWithOne)
{
    Process preview = Process::StartScr(L"/p 12ab");
    HWND box = preview.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    const MessageBoxText shown = ReadMessageBox(box);
    EXPECT_EQ(shown.caption, L"\uFF71\uFF8C\uFF9F\uFF98\uFF79\uFF70\uFF7C\uFF6E\uFF9D \uFF74\uFF97\uFF70");
    EXPECT_EQ(shown.text.find(L"EConvertError\u304C\uFF93\uFF7C\uFF9E\uFF6D\uFF70\uFF99 Nimbrel.scr \u306E"), 0u)
        << testing::PrintToString(shown.text);
    EXPECT_NE(shown.text.find(L"'12ab' \u306F\u6574\u6570\u3067\u306F\u3042\u308A\u307E\u305B\u3093."),
              std::wstring::npos);
    EXPECT_EQ(preview.FindWindowOfClass(L"TMainForm"), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(preview.WaitForExit(), 1u);
}

} // namespace
} // namespace nimbrel::e2e
