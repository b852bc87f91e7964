// The settings dialogs of the real Nimbrel.scr in configuration mode, on
// both paths: what they show, what OK stores in the settings file and
// Cancel does not, the test run, and the one instance of the program they
// let run beside them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string_view>

#include "dialogs/layout.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/text.h"
#include "tests/dialogs/dialog_texts.h"
#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

// Where the stand-in MPR.DLL writes down the password change asked of it.
constexpr wchar_t kMprKey[] = L"Software\\NimbrelTest\\Mpr";

// A dialog the selection dialog opens, with a track bar whose default is 4
// and the key OK stores it under.
struct ChildDialog {
    DialogKind kind;
    const wchar_t* className;
    std::string_view openButton, bar, cancelButton;
    const char *section, *key;
};
constexpr ChildDialog kChildren[] = {
    {DialogKind::SetDialog, L"TSetDialog", "SetDlgBtn", "WavePitchBar", "CanncelBtn", "Wave", "Pitch"},
    {DialogKind::OtherSetDlg, L"TOtherSetDlg", "OtherSetBtn", "MouseMoveBar", "CanselBtn", "Main",
     "CloseMouseMove"},
};

// The control of a dialog window by its name in the dialog's layout; it may
// sit on the window or on a page.
HWND Control(HWND dialog, DialogKind kind, std::string_view name)
{
    const ControlLayout* control = FindControl(LayoutOf(kind), name);
    return control ? win32::FindDialogControl(dialog, control->id) : nullptr;
}

// Every caption the dialog must show, read back from its window. On the 9x
// path the texts go through the ANSI code page, which has every character
// in the 9x path's run (the Japanese one).
void ExpectCaptions(HWND window, DialogKind kind)
{
    for (const dialog_test::DialogTexts& texts : dialog_test::AllDialogTexts()) {
        if (texts.kind != kind) continue;
        EXPECT_EQ(TextOf(window), win32::Widen(texts.caption));
        for (const auto& [name, caption] : texts.captions) {
            // A page's caption is its tab's, which another process cannot read.
            const ControlLayout* control = FindControl(LayoutOf(kind), name);
            if (control && control->kind == ControlKind::TabSheet) continue;
            EXPECT_EQ(TextOf(Control(window, kind, name)), win32::Widen(caption)) << name;
        }
    }
}

using DialogsTest = PathTest;

TEST_P(DialogsTest, ShowTheirTextsStoreOnOkOnlyKeepOutASecondSaverAndRunATest)
{
    ScopedSettings settings;
    // The saver of the test run asks on the 9x path whether a password is in use.
    ScopedUserValue noPassword(L"Control Panel\\desktop", L"ScreenSaveUsePassword", 0);
    // Started as a double click does, without a switch.
    Process program(L"");
    HWND main = program.WaitForWindow(L"TMainDialog");
    ASSERT_NE(main, nullptr);
    const auto mainControl = [&](std::string_view name) { return Control(main, DialogKind::MainDialog, name); };
    // Whether the window of this class goes and the selection dialog is
    // usable and active again.
    const auto backToMain = [&](const wchar_t* className) {
        return WaitUntil([&] {
            return !program.FindWindowOfClass(className) && IsWindowEnabled(main) && GetForegroundWindow() == main;
        });
    };

    ExpectCaptions(main, DialogKind::MainDialog);
    // The application's window gives the taskbar button: shown, unowned and
    // titled. Activating it, as a click on the button does, activates the
    // dialog the user works in.
    HWND application = program.FindWindowOfClass(L"NimbrelApplication");
    ASSERT_NE(application, nullptr);
    EXPECT_TRUE(IsWindowVisible(application));
    EXPECT_EQ(GetWindow(application, GW_OWNER), nullptr);
    EXPECT_EQ(TextOf(application), L"Nimbrel");
    {
        TestWindow other(RECT{0, 0, 40, 30});
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.get(); }));
        SetForegroundWindow(application);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    }

    for (const ChildDialog& child : kChildren) {
        SCOPED_TRACE(child.openButton);
        for (const bool ok : {false, true}) {
            // A child dialog is active over the disabled selection dialog.
            Click(mainControl(child.openButton));
            HWND window = program.WaitForWindow(child.className);
            ASSERT_NE(window, nullptr);
            EXPECT_FALSE(IsWindowEnabled(main));
            if (!ok) ExpectCaptions(window, child.kind);
            // After Cancel, the dialog shows the default again.
            HWND bar = Control(window, child.kind, child.bar);
            EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 4);
            SendMessageW(bar, TBM_SETPOS, TRUE, 5);
            Click(Control(window, child.kind, ok ? "OKBtn" : child.cancelButton));
            ASSERT_TRUE(backToMain(child.className));
            EXPECT_EQ(ScopedSettings::Stored(child.section, child.key), ok ? "5" : "-");
        }
    }
    // OK reads every control back, the seconds box's text included.
    EXPECT_EQ(ScopedSettings::Stored("Melt", "RecoverTime"), "180");

    // Beside the dialog, a second saver ends at once, but a password change
    // gets through: it asks the system library found by its full path,
    // although Wine prefers its own mpr.dll.
    EXPECT_EQ(Process(L"/s").WaitForExit(), 0u);
    {
        ScopedSystemFile library(NIMBREL_MPR_DLL_UNIX_PATH, L"MPR.DLL");
        ScopedUserValue native(L"Software\\Wine\\AppDefaults\\Nimbrel.scr\\DllOverrides", L"mpr", L"native");
        ScopedUserValue request(kMprKey, L"Request", L"");
        EXPECT_EQ(Process(L"/a 4660").WaitForExit(), 0u);
        wchar_t text[64] = {};
        DWORD size = sizeof text;
        RegGetValueW(HKEY_CURRENT_USER, kMprKey, L"Request", RRF_RT_REG_SZ, nullptr, text, &size);
        EXPECT_STREQ(text, L"SCRSAVE 4660 0 0");
    }

    // A test run returns to the dialog on a key.
    Click(mainControl("TestRunBtn"));
    ASSERT_NE(program.WaitForWindow(L"TMainForm"), nullptr);
    PressKey(VK_SHIFT);
    ASSERT_TRUE(backToMain(L"TMainForm"));

    // The selection dialog's OK stores the ticked effects and ends the
    // program; the clicks reach it in order.
    Click(mainControl("EffectBtn1"));
    Click(mainControl("OKBtn"));
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_EQ(ScopedSettings::Stored("Main", "Melt"), "1");
}

INSTANTIATE_TEST_SUITE_P(On, DialogsTest, ::testing::Bool(), PathTest::Name);

} // namespace
} // namespace nimbrel::e2e
