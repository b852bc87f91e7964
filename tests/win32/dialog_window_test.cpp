// The settings dialogs as real windows of this process on the virtual
// display: the windows and controls built from each layout at the screen's
// DPI. What the keyboard and mouse do and what OK stores is left to the
// end-to-end tests.
#include "platform/win32/dialog_window.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/layout.h"
#include "platform/win32/system_api.h"
#include "platform/win32/text.h"
#include "tests/dialogs/dialog_texts.h"

namespace nimbrel::win32 {
namespace {

// Dialogs that are never shown: enough for what needs no keyboard, and
// quick to destroy where no window manager answers Wine.
class DialogWindowTest : public ::testing::TestWithParam<dialog_test::DialogTexts> {
protected:
    ~DialogWindowTest() override
    {
        DestroyWindow(window_);
        // Destroying the main window asks the loop to quit; that request
        // must not reach another test.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) DispatchMessageW(&message);
        }
    }
    HWND window_ = nullptr;
};

TEST_P(DialogWindowTest, AFixedCentredWindowAtTheDpiWhoseControlsFitTheirParentsAndShowTheirCaptions)
{
    const DialogLayout& layout = LayoutOf(GetParam().kind);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HWND window = window_ = CreateDialogWindow(layout.kind);
    EXPECT_EQ(WindowTextUtf8(window), GetParam().caption);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_SYSMENU);
    RECT client{}, outer{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(layout.clientWidth, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(layout.clientHeight, dpi, 96));
    GetWindowRect(window, &outer);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
    for (const ControlLayout& control : layout.controls) {
        HWND native = FindDialogControl(window, control.id);
        ASSERT_NE(native, nullptr) << control.name;
        // A control on a page must fit the page, which is the tab control's
        // display area; a group box's controls sit on the window.
        RECT area{}, place{}, inside{};
        const ControlLayout* box = FindControl(layout, control.parent);
        if (box && box->kind == ControlKind::GroupBox) {
            GetWindowRect(FindDialogControl(window, box->id), &area);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
        } else {
            GetClientRect(GetParent(native), &area);
        }
        GetWindowRect(native, &place);
        MapWindowPoints(nullptr, GetParent(native), reinterpret_cast<POINT*>(&place), 2);
        IntersectRect(&inside, &area, &place);
        EXPECT_TRUE(EqualRect(&inside, &place)) << control.name;
        if (control.kind == ControlKind::TrackBar) {
            EXPECT_EQ(SendMessageW(native, TBM_GETRANGEMIN, 0, 0), control.range.min) << control.name;
            EXPECT_EQ(SendMessageW(native, TBM_GETNUMTICS, 0, 0), control.range.max - control.range.min + 1)
                << control.name;
        }
        const std::string_view caption = dialog_test::ExpectedCaption(GetParam(), control.name);
        if (caption.empty() || control.kind == ControlKind::TabSheet) continue;
        EXPECT_EQ(WindowTextUtf8(native), caption) << control.name;
        // The font, at the DPI, has a glyph for every character of the caption.
        auto font = reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        GetObjectW(font, sizeof logFont, &logFont);
        EXPECT_EQ(logFont.lfHeight, -MulDiv(layout.font.height, dpi, 96)) << control.name;
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, font);
        const std::wstring wide = Widen(caption);
        std::vector<WORD> glyphs(wide.size());
        GetGlyphIndicesW(dc, wide.c_str(), static_cast<int>(wide.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
        DeleteDC(dc);
        EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), 0xFFFF), 0) << control.name;
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogWindowTest, ::testing::ValuesIn(dialog_test::AllDialogTexts()),
                         [](const auto& info) { return std::string(LayoutOf(info.param.kind).formName); });

} // namespace
} // namespace nimbrel::win32
