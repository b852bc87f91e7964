// One start of each kind whose DPI awareness differs: the saver, the
// settings with a test run, and the preview. Wine treats every window as
// per-monitor aware whatever is asked, so what matters is the calls the
// program makes, which tools/check-dpi-calls reads from a relay trace of
// this scenario; the ordinary end-to-end run leaves it out.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "dialogs/layout.h"
#include "platform/win32/dialog_window.h"
#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

TEST(DpiCallsTest, SaverThenSettingsWithATestRunThenPreview)
{
    ScopedSettings settings;
    // Only the functions that set an awareness are traced.
    ScopedUserValue traced(L"Software\\Wine\\Debug", L"RelayInclude",
                           L"user32.SetProcessDpiAwarenessContext;shcore.SetProcessDpiAwareness;"
                           L"user32.SetProcessDPIAware;user32.SetThreadDpiAwarenessContext");
    {
        Process saver(L"/s");
        ASSERT_NE(saver.WaitForWindow(L"TMainForm"), nullptr);
        PressKey('A');
        EXPECT_EQ(saver.WaitForExit(), 0u);
    }
    {
        Process program(L"/c");
        HWND main = program.WaitForWindow(L"TMainDialog");
        ASSERT_NE(main, nullptr);
        const ControlLayout* testRun = FindControl(LayoutOf(DialogKind::MainDialog), "TestRunBtn");
        ASSERT_NE(testRun, nullptr);
        Click(win32::FindDialogControl(main, testRun->id));
        ASSERT_NE(program.WaitForWindow(L"TMainForm"), nullptr);
        PressKey(VK_SHIFT);
        ASSERT_TRUE(WaitUntil([&] { return !program.FindWindowOfClass(L"TMainForm"); }));
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
    {
        std::optional<TestWindow> parent(std::in_place, RECT{40, 30, 192, 142});
        Process preview(L"/p " + std::to_wstring(reinterpret_cast<UINT_PTR>(parent->get())));
        ASSERT_TRUE(WaitUntil([&] { return FindWindowExW(parent->get(), nullptr, L"TMainForm", nullptr); }));
        parent.reset();
        EXPECT_EQ(preview.WaitForExit(2 * kPatience), 0u);
    }
}

} // namespace
} // namespace nimbrel::e2e
