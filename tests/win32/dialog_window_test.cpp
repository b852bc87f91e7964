// The settings dialogs as real windows of this process on the virtual
// display: the windows and controls built from each layout at the screen's
// DPI, and the copying of values between a dialog and its controls. What
// the keyboard and mouse do is left to the end-to-end tests.
#include "platform/win32/dialog_window.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/layout.h"
#include "platform/headless/memory_profile_store.h"
#include "platform/win32/text.h"
#include "settings/settings_file.h"
#include "tests/dialogs/dialog_texts.h"

namespace nimbrel::win32 {
namespace {

HWND Control(HWND dialog, DialogKind kind, std::string_view name)
{
    const ControlLayout* control = FindControl(LayoutOf(kind), name);
    EXPECT_NE(control, nullptr) << name;
    return control ? FindDialogControl(dialog, control->id) : nullptr;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

int Dpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
LRESULT Position(HWND trackBar) { return SendMessageW(trackBar, TBM_GETPOS, 0, 0); }
void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

// Dialogs that are never shown: enough for what needs no keyboard, and
// quick to destroy where no window manager answers Wine.
class DialogWindowTest : public ::testing::Test {
protected:
    DialogWindowTest() { SetCurrentProfileStore(&store); }
    ~DialogWindowTest() override
    {
        for (const wchar_t* name : {L"TSetDialog", L"TOtherSetDlg", L"TMainDialog"}) {
            while (HWND left = FindWindowW(name, nullptr)) DestroyWindow(left);
        }
        // Destroying the main window asks the loop to quit; that request
        // must not reach another test.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) DispatchMessageW(&message);
        }
        SetCurrentProfileStore(nullptr);
    }

    std::string Stored(std::string_view section, std::string_view key)
    {
        return store.ReadString(kSettingsFileName, section, key, "-");
    }

    MemoryProfileStore store;
};

class DialogLayoutTest : public DialogWindowTest,
                         public ::testing::WithParamInterface<dialog_test::DialogTexts> {};

TEST_P(DialogLayoutTest, AFixedCentredWindowScaledToTheDpiWithEveryControlInsideItsParent)
{
    const DialogLayout& layout = LayoutOf(GetParam().kind);
    HWND window = CreateDialogWindow(layout.kind);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_EQ(Narrow(className), layout.className);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(layout.clientWidth, Dpi(), 96));
    EXPECT_EQ(client.bottom, MulDiv(layout.clientHeight, Dpi(), 96));
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
    // A control on a page must fit the page, which is the tab control's
    // display area, not the whole tab control.
    for (const ControlLayout& control : layout.controls) {
        HWND native = FindDialogControl(window, control.id);
        ASSERT_NE(native, nullptr) << control.name;
        RECT area{}, place{}, inside{};
        const ControlLayout* box = FindControl(layout, control.parent);
        if (box && box->kind == ControlKind::GroupBox) {  // its controls sit on the window
            GetWindowRect(FindDialogControl(window, box->id), &area);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
        } else {
            GetClientRect(GetParent(native), &area);
        }
        GetWindowRect(native, &place);
        MapWindowPoints(nullptr, GetParent(native), reinterpret_cast<POINT*>(&place), 2);
        IntersectRect(&inside, &area, &place);
        EXPECT_TRUE(EqualRect(&inside, &place)) << control.name;
    }
}

TEST_P(DialogLayoutTest, EveryCaptionShowsInAJapaneseCapableFontAndBarsTickEveryValue)
{
    const DialogLayout& layout = LayoutOf(GetParam().kind);
    HWND window = CreateDialogWindow(layout.kind);
    EXPECT_EQ(Narrow(TextOf(window)), GetParam().caption);
    // Where the system has visual styles, a page shows the tab body's
    // texture rather than painting the plain dialog colour over it.
    using IsTexturedFn = BOOL(WINAPI*)(HWND);
    const auto isTextured = reinterpret_cast<IsTexturedFn>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("uxtheme.dll"), "IsThemeDialogTextureEnabled")));
    for (const ControlLayout& control : layout.controls) {
        HWND native = FindDialogControl(window, control.id);
        if (control.kind == ControlKind::TabSheet && isTextured) {
            EXPECT_TRUE(isTextured(native)) << control.name;
        }
        if (control.kind == ControlKind::TrackBar) {
            EXPECT_EQ(SendMessageW(native, TBM_GETRANGEMIN, 0, 0), control.range.min) << control.name;
            EXPECT_EQ(SendMessageW(native, TBM_GETRANGEMAX, 0, 0), control.range.max) << control.name;
            EXPECT_EQ(SendMessageW(native, TBM_GETNUMTICS, 0, 0), control.range.max - control.range.min + 1)
                << control.name;
        }
        const std::string_view caption = dialog_test::ExpectedCaption(GetParam(), control.name);
        if (caption.empty() || control.kind == ControlKind::TabSheet) continue;
        EXPECT_EQ(Narrow(TextOf(native)), caption) << control.name;
        // The font has a glyph for every character of the caption.
        auto font = reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr) << control.name;
        LOGFONTW logFont{};
        GetObjectW(font, sizeof logFont, &logFont);
        EXPECT_EQ(logFont.lfHeight, -MulDiv(layout.font.height, Dpi(), 96)) << control.name;
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, font);
        std::wstring wide = Widen(caption);
        std::vector<WORD> glyphs(wide.size());
        GetGlyphIndicesW(dc, wide.c_str(), static_cast<int>(wide.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
        DeleteDC(dc);
        for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF) << control.name;
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogLayoutTest, ::testing::ValuesIn(dialog_test::AllDialogTexts()),
                         [](const auto& info) { return std::string(LayoutOf(info.param.kind).formName); });

TEST_F(DialogWindowTest, DetailControlsShowTheLoadedValuesAndOkStoresWhatTheyShow)
{
    store.SetFileText(kSettingsFileName, "[Wave]\nPitch=12\n[Melt]\nRecover=0\nRecoverTime=1000\n");
    HWND window = CreateDialogWindow(DialogKind::SetDialog);
    EXPECT_EQ(Position(Control(window, DialogKind::SetDialog, "WavePitchBar")), 7);
    EXPECT_TRUE(Checked(Control(window, DialogKind::SetDialog, "MeltReRBtn1")));
    EXPECT_EQ(TextOf(Control(window, DialogKind::SetDialog, "MeltReEdit")), L"1000");  // longer than the typing limit
    SendMessageW(Control(window, DialogKind::SetDialog, "WaveSpeedBar"), TBM_SETPOS, TRUE, 6);
    SendMessageW(Control(window, DialogKind::SetDialog, "MeltSpeedBar"), TBM_SETPOS, TRUE, 0);
    SendMessageW(Control(window, DialogKind::SetDialog, "NoiseDealBar"), TBM_SETPOS, TRUE, 5);
    // Windows notifies a click when an unchecked radio button merely gets
    // the focus; only the checked button of the pair is a tab stop.
    HWND restore = Control(window, DialogKind::SetDialog, "MeltReRBtn0");
    HWND keep = Control(window, DialogKind::SetDialog, "MeltReRBtn1");
    const auto tabStop = [](HWND button) { return (GetWindowLongW(button, GWL_STYLE) & WS_TABSTOP) != 0; };
    EXPECT_FALSE(tabStop(restore));
    EXPECT_TRUE(tabStop(keep));
    SendMessageW(GetParent(restore), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(restore), BN_CLICKED),
                 reinterpret_cast<LPARAM>(restore));
    EXPECT_TRUE(Checked(keep));
    EXPECT_FALSE(Checked(restore));
    Click(restore);
    EXPECT_TRUE(tabStop(restore));
    EXPECT_FALSE(tabStop(keep));
    SetWindowTextW(Control(window, DialogKind::SetDialog, "MeltReEdit"), L"$FF");
    Click(Control(window, DialogKind::SetDialog, "OKBtn"));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ((std::vector{Stored("Wave", "Pitch"), Stored("Wave", "Speed"), Stored("Melt", "Speed"),
                           Stored("Melt", "Recover"), Stored("Melt", "RecoverTime"), Stored("Noise", "Deal")}),
              (std::vector<std::string>{"7", "6", "0", "1", "255", "5"}));
}

} // namespace
} // namespace nimbrel::win32
