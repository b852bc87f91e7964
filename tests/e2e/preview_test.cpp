// The preview inside a parent window of another program, on both paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

constexpr RECT kParentBounds{40, 30, 192, 142};

using PreviewTest = PathTest;

TEST_P(PreviewTest, FillsALiveParentAndEndsWithIt)
{
    ScopedSettings settings;
    // Without a live parent there is nothing to show.
    EXPECT_EQ(Process(L"/p 123456").WaitForExit(), 0u);

    std::optional<TestWindow> parent(std::in_place, kParentBounds);
    Process preview(L"/p " + std::to_wstring(reinterpret_cast<UINT_PTR>(parent->get())));
    HWND window = nullptr;
    RECT rect{};
    ASSERT_TRUE(WaitUntil([&] {
        window = FindWindowExW(parent->get(), nullptr, L"TMainForm", nullptr);
        return window && IsWindowVisible(window) && GetWindowRect(window, &rect) &&
               EqualRect(&rect, &kParentBounds);
    }));
    // No taskbar button for a preview.
    HWND application = preview.FindWindowOfClass(L"NimbrelApplication");
    EXPECT_TRUE(!application || !IsWindowVisible(application));

    parent.reset();
    // Traced call by call in the 9x path's run, and with Wine taking down
    // the other process's window through messages, this end can be slow on
    // a busy machine: only a preview that never ends may fail here.
    EXPECT_EQ(preview.WaitForExit(2 * kPatience), 0u);
}

INSTANTIATE_TEST_SUITE_P(On, PreviewTest, ::testing::Bool(), PathTest::Name);

} // namespace
} // namespace nimbrel::e2e
