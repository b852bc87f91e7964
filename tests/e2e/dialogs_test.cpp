// The settings dialogs of the real Nimbrel.scr in configuration mode: what
// their controls show, what mouse clicks and keys do to them, what the
// settings file holds afterwards, the error box, and the test run.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "dialogs/layout.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/text.h"
#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

constexpr wchar_t kMainClass[] = L"TMainDialog";
constexpr wchar_t kSetClass[] = L"TSetDialog";
constexpr wchar_t kOtherClass[] = L"TOtherSetDlg";

// The control of a dialog window by its name in the dialog's layout; it may
// sit on the window or on a page.
HWND Control(HWND dialog, DialogKind kind, std::string_view name)
{
    const ControlLayout* control = FindControl(LayoutOf(kind), name);
    HWND found = control ? win32::FindDialogControl(dialog, control->id) : nullptr;
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

bool IsDefaultButton(HWND button) { return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }
bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
LRESULT Position(HWND trackBar) { return SendMessageW(trackBar, TBM_GETPOS, 0, 0); }

// A key of the settings file as the program's own profile functions read it;
// "-" when it is not there.
std::string Stored(const char* section, const char* key)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini");
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "-", value, sizeof value, "Rendaxo.ini");
    return value;
}

// A window of another program, below the dialogs: Windows activates it when
// a closing modal window leaves the program nothing it may activate.
int bystanderActivations = 0;
LRESULT CALLBACK BystanderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) ++bystanderActivations;
    return DefWindowProcW(window, message, wParam, lParam);
}

class Bystander : public TestWindow {
public:
    Bystander() : TestWindow(L"NimbrelTestBystander", RECT{0, 0, 60, 40}, WS_POPUP, 0, BystanderProcedure)
    {
        ShowWindow(get(), SW_SHOWNOACTIVATE);
        SetWindowPos(get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        bystanderActivations = 0;
    }
};

class DialogsTest : public ::testing::Test {
protected:
    // Starts the program as a double click does, without a switch, and
    // waits until its dialog is active, with the focus on its first check box.
    void SetUp() override
    {
        program_.emplace(Process::StartScr(L""));
        main = program_->WaitForWindow(kMainClass);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
        bystander_.emplace();
    }

    HWND MainControl(std::string_view name) { return Control(main, DialogKind::MainDialog, name); }

    // Opens a child dialog with its button and waits until it is active over
    // the disabled selection dialog.
    HWND OpenChild(std::string_view button, const wchar_t* className)
    {
        Click(MainControl(button));
        HWND child = program_->WaitForWindow(className);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == child; }));
        EXPECT_FALSE(IsWindowEnabled(main));
        return child;
    }

    // Waits until the child is gone and the selection dialog is usable
    // again, having taken the activation straight back.
    bool ChildClosed(const wchar_t* className)
    {
        return WaitUntil([&] {
            return !program_->FindWindowOfClass(className) && IsWindowEnabled(main) &&
                   GetForegroundWindow() == main;
        }) && bystanderActivations == 0;
    }

    // Ends the program with the selection dialog's close box.
    void CloseProgram()
    {
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(program_->WaitForExit(), 0u);
    }

    ScopedSettings settings_;
    std::optional<Process> program_;
    std::optional<Bystander> bystander_;
    HWND main = nullptr;
};

TEST_F(DialogsTest, EscapeDoesNothingHereAndEveryCloseWithoutOkDropsTheChanges)
{
    PressKey(VK_ESCAPE);
    PressKey(VK_SPACE);  // clears Wave, which has the focus
    // Keys are handled in order: once Wave is cleared, Escape has been handled.
    ASSERT_TRUE(WaitUntil([&] { return !Checked(MainControl("EffectBtn0")); }));
    EXPECT_TRUE(program_->Running());

    enum class Way { Escape, CloseBox, CancelButton };
    const std::pair<DialogKind, Way> children[] = {{DialogKind::SetDialog, Way::Escape},
                                                   {DialogKind::SetDialog, Way::CloseBox},
                                                   {DialogKind::SetDialog, Way::CancelButton},
                                                   {DialogKind::OtherSetDlg, Way::Escape}};
    for (const auto& [kind, way] : children) {
        SCOPED_TRACE(testing::Message() << "dialog " << static_cast<int>(kind) << ", way " << static_cast<int>(way));
        const bool detail = kind == DialogKind::SetDialog;
        const wchar_t* className = detail ? kSetClass : kOtherClass;
        HWND window = OpenChild(detail ? "SetDlgBtn" : "OtherSetBtn", className);
        HWND bar = Control(window, kind, detail ? "WavePitchBar" : "MouseMoveBar");
        // The default, whatever the child before it was left with.
        EXPECT_EQ(Position(bar), 4);
        SendMessageW(bar, TBM_SETPOS, TRUE, 5);
        if (way == Way::Escape) PressKey(VK_ESCAPE);
        if (way == Way::CloseBox) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (way == Way::CancelButton) Click(Control(window, kind, "CanncelBtn"));
        ASSERT_TRUE(ChildClosed(className));
    }

    // A close request to the selection dialog waits for the child to close;
    // Alt+F4 closes the child, and then the program ends.
    HWND other = OpenChild("OtherSetBtn", kOtherClass);
    HWND bar = Control(other, DialogKind::OtherSetDlg, "MouseMoveBar");
    PostMessageW(main, WM_CLOSE, 0, 0);
    PressKey(VK_RIGHT);  // the bar has the focus
    ASSERT_TRUE(WaitUntil([&] { return Position(bar) == 5; }));
    EXPECT_TRUE(IsWindow(main));
    PressKey(VK_F4, VK_MENU);
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_FALSE(ScopedSettings::Exists());
}

TEST_F(DialogsTest, KeysMoveTheFocusOnTheShowingPageStepTheControlsAndPressTheFocusedButton)
{
    HWND detail = OpenChild("SetDlgBtn", kSetClass);
    auto control = [&](const char* name) { return Control(detail, DialogKind::SetDialog, name); };
    auto focusReaches = [&](HWND target) { return WaitUntil([&] { return FocusOf(detail) == target; }); };
    PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(control("CanncelBtn")));
    // The focused push button wears the default frame, as Enter presses it.
    EXPECT_TRUE(IsDefaultButton(control("CanncelBtn")));
    EXPECT_FALSE(IsDefaultButton(control("OKBtn")));
    PressKey(VK_TAB);  // the tabs
    PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(control("WavePitchBar")));
    EXPECT_TRUE(IsDefaultButton(control("OKBtn")));
    PressKey(VK_NEXT);  // page and arrow keys move a bar by one
    PressKey(VK_RIGHT);
    PressKey(VK_RETURN, VK_SHIFT);  // Shift+Enter presses nothing
    PressKey(VK_TAB);
    PressKey(VK_LEFT);
    PressKey(VK_TAB);  // the other pages are hidden: back to OK
    ASSERT_TRUE(focusReaches(control("OKBtn")));
    EXPECT_EQ(Position(control("WavePitchBar")), 6);
    EXPECT_EQ(Position(control("WaveSpeedBar")), 2);
    PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(control("CanncelBtn")));
    PressKey(VK_RETURN);
    ASSERT_TRUE(ChildClosed(kSetClass));
    EXPECT_FALSE(ScopedSettings::Exists());

    detail = OpenChild("SetDlgBtn", kSetClass);
    // From OK, two Tabs reach the tabs, and Right shows the Melt page.
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    PressKey(VK_RIGHT);
    HWND restore = control("MeltReRBtn0"), keep = control("MeltReRBtn1");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(keep); }));
    EXPECT_TRUE(Checked(restore));
    Click(keep);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == keep && Checked(keep); }));
    PressKey(VK_LEFT);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == restore && Checked(restore) && !Checked(keep); }));
    PressKey(VK_DOWN);  // the pair wraps round
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == keep && Checked(keep) && !Checked(restore); }));
    // The pair is one tab stop, at the selected button: Shift+Tab leaves it
    // for the speed bar and Tab comes back to the selected button.
    PressKey(VK_TAB, VK_SHIFT);
    ASSERT_TRUE(focusReaches(control("MeltSpeedBar")));
    PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(keep));
    // Off the push buttons, Enter presses OK.
    PressKey(VK_RETURN);
    ASSERT_TRUE(ChildClosed(kSetClass));
    EXPECT_EQ(Stored("Melt", "Recover"), "0");
    CloseProgram();
}

TEST_F(DialogsTest, OkStoresWhatTheDialogsShowButLettersInTheSecondsBoxAreReported)
{
    HWND detail = OpenChild("SetDlgBtn", kSetClass);
    HWND seconds = Control(detail, DialogKind::SetDialog, "MeltReEdit");
    EXPECT_EQ(TextOf(seconds), L"180");
    SendMessageW(seconds, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    Click(Control(detail, DialogKind::SetDialog, "OKBtn"));
    HWND box = program_->WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }));
    const MessageBoxText shown = ReadMessageBox(box);
    EXPECT_EQ(shown.caption, L"Nimbrel");
    EXPECT_EQ(shown.text, L"'abc' は整数ではありません.");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !program_->FindWindowOfClass(L"#32770"); }));
    // The dialog stays as it was; the keys before the seconds are stored.
    EXPECT_TRUE(IsWindowVisible(detail));
    EXPECT_EQ(TextOf(seconds), L"abc");
    EXPECT_EQ(Stored("Melt", "Recover"), "1");
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "-");

    // Typed in hexadecimal, up to the box's three characters.
    SendMessageW(seconds, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t typed : std::wstring_view(L"$FFF")) PostMessageW(seconds, WM_CHAR, typed, 0);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(seconds) == L"$FF"; }));
    Click(Control(detail, DialogKind::SetDialog, "OKBtn"));
    ASSERT_TRUE(ChildClosed(kSetClass));
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "255");
    EXPECT_EQ(Stored("Wave", "Pitch"), "4");
    EXPECT_EQ(Stored("Main", "Wave"), "-");

    Click(MainControl("EffectBtn1"));
    ASSERT_TRUE(WaitUntil([&] { return Checked(MainControl("EffectBtn1")); }));
    Click(MainControl("OKBtn"));
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_EQ(Stored("Main", "Wave"), "1");
    EXPECT_EQ(Stored("Main", "Melt"), "1");
    EXPECT_EQ(Stored("Main", "Noise"), "0");
}

TEST_F(DialogsTest, ATaskbarButtonActivatesTheDialogAndATestRunReturnsToIt)
{
    // The application's window gives the button: shown, unowned, titled, of
    // no size; activating it activates the dialog.
    HWND application = program_->FindWindowOfClass(L"NimbrelApplication");
    ASSERT_NE(application, nullptr);
    EXPECT_TRUE(IsWindowVisible(application));
    EXPECT_EQ(TextOf(application), L"Nimbrel");
    RECT rect{};
    GetWindowRect(application, &rect);
    EXPECT_TRUE(IsRectEmpty(&rect));
    EXPECT_EQ(GetWindow(application, GW_OWNER), nullptr);
    EXPECT_FALSE(GetWindowLongW(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    SetForegroundWindow(application);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));

    // The test run saves the choice, covers the screen and leaves the
    // dialog disabled until it ends.
    Click(MainControl("EffectBtn0"));
    ASSERT_TRUE(WaitUntil([&] { return !Checked(MainControl("EffectBtn0")); }));
    Click(MainControl("TestRunBtn"));

    HWND saver = program_->WaitForWindow(L"TMainForm");
    ASSERT_NE(saver, nullptr);
    GetWindowRect(saver, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(IsWindowEnabled(main));
    // With no effect ticked, Wave is ticked and stored.
    EXPECT_TRUE(Checked(MainControl("EffectBtn0")));
    EXPECT_EQ(Stored("Main", "Wave"), "1");
    EXPECT_EQ(Stored("Main", "Melt"), "0");

    // A second run in the same process starts afresh and ends the same way.
    for (int run = 0; run < 2; ++run) {
        if (run > 0) Click(MainControl("TestRunBtn"));
        saver = program_->WaitForWindow(L"TMainForm");
        ASSERT_NE(saver, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver; }));
        PressKey(VK_SHIFT);
        ASSERT_TRUE(ChildClosed(L"TMainForm"));
    }
    CloseProgram();
}

// The Windows 98 family path: ANSI windows and texts in the code page. Every
// caption of the three dialogs, read back from the windows, is exact where
// the code page has every character (the Japanese one, in the 9x run of the
// test command), and a test run returns to the dialog.
class Win98DialogsTest : public DialogsTest {
protected:
    ScopedWin98 win98_;
    // The saver of the test run asks whether a password is in use.
    ScopedUserValue noPassword_{L"Control Panel\\desktop", L"ScreenSaveUsePassword", 0};
};

TEST_F(Win98DialogsTest, EveryCaptionIsExactAndATestRunReturnsToTheDialog)
{
    const auto expectCaptions = [](HWND window, DialogKind kind) {
        const DialogLayout& layout = LayoutOf(kind);
        EXPECT_EQ(TextOf(window), win32::Widen(layout.caption));
        for (const ControlLayout& control : layout.controls) {
            // A page's caption is its tab's, which another process cannot read.
            if (control.caption.empty() || control.kind == ControlKind::TabSheet) continue;
            EXPECT_EQ(TextOf(win32::FindDialogControl(window, control.id)), win32::Widen(control.caption))
                << control.name;
        }
    };
    expectCaptions(main, DialogKind::MainDialog);
    HWND detail = OpenChild("SetDlgBtn", kSetClass);
    expectCaptions(detail, DialogKind::SetDialog);
    // OK reads every control back, the seconds box's text included.
    PressKey(VK_RETURN);
    ASSERT_TRUE(ChildClosed(kSetClass));
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "180");
    HWND other = OpenChild("OtherSetBtn", kOtherClass);
    expectCaptions(other, DialogKind::OtherSetDlg);
    PostMessageW(other, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(ChildClosed(kOtherClass));

    Click(MainControl("TestRunBtn"));
    HWND saver = program_->WaitForWindow(L"TMainForm");
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver; }));
    PressKey(VK_SHIFT);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && GetForegroundWindow() == main; }));
    CloseProgram();
}

} // namespace
} // namespace nimbrel::e2e
