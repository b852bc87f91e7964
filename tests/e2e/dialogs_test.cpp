// The settings dialogs of the real Nimbrel.scr in configuration mode: what
// their controls show, what mouse clicks and keys do to them, what the
// settings file holds afterwards, the error box, and the test run.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

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

// A window's text; WM_GETTEXT reaches a control of another process, where
// GetWindowText would not.
std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
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

// Clicks the middle of the control once the pointer has arrived there, so
// that the press cannot land where the pointer was before.
void Click(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    MoveMouseTo(x, y);
    WaitUntil([&] {
        POINT cursor{};
        return GetCursorPos(&cursor) && std::abs(cursor.x - x) <= 1 && std::abs(cursor.y - y) <= 1;
    });
    ClickAt(x, y);
}

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
class Bystander {
public:
    Bystander()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"NimbrelTestBystander";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"bystander", WS_POPUP, 0, 0, 60, 40, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        activations_ = 0;
    }
    ~Bystander() { DestroyWindow(window_); }
    static int Activations() { return activations_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) ++activations_;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static inline int activations_ = 0;
    HWND window_ = nullptr;
};

class DialogsTest : public ::testing::Test {
protected:
    // Starts configuration mode and waits until its dialog is active, with
    // the focus on its first check box.
    void SetUp() override
    {
        program_.emplace(Process::StartScr(L"/c"));
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
        }) && Bystander::Activations() == 0;
    }

    // Every caption of the three dialogs, read back from the windows, is the
    // layout's text. The 9x path shows it exactly only where the ANSI code
    // page has every character (the Japanese one, in the 9x run of the test
    // command); the NT path shows it exactly whatever the code page.
    void ExpectEveryCaptionExact()
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

TEST_F(DialogsTest, WithoutFileEveryDialogShowsTheDefaultsAndClosingStoresNothing)
{
    EXPECT_TRUE(Checked(MainControl("EffectBtn0")));
    EXPECT_FALSE(Checked(MainControl("EffectBtn1")));
    EXPECT_FALSE(Checked(MainControl("EffectBtn2")));
    // A change that closing will throw away.
    Click(MainControl("EffectBtn1"));
    ASSERT_TRUE(WaitUntil([&] { return Checked(MainControl("EffectBtn1")); }));

    HWND detail = OpenChild("SetDlgBtn", kSetClass);
    const std::pair<const char*, LRESULT> bars[] = {
        {"WavePitchBar", 4}, {"WaveSpeedBar", 3}, {"MeltSpeedBar", 3}, {"NoiseDealBar", 3}};
    for (const auto& [name, position] : bars) {
        EXPECT_EQ(Position(Control(detail, DialogKind::SetDialog, name)), position) << name;
    }
    HWND restore = Control(detail, DialogKind::SetDialog, "MeltReRBtn0");
    EXPECT_EQ(TextOf(restore), L"戻す");
    EXPECT_TRUE(Checked(restore));
    EXPECT_EQ(TextOf(Control(detail, DialogKind::SetDialog, "MeltReEdit")), L"180");
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ChildClosed(kSetClass));

    detail = OpenChild("SetDlgBtn", kSetClass);
    Click(Control(detail, DialogKind::SetDialog, "CanncelBtn"));
    ASSERT_TRUE(ChildClosed(kSetClass));

    HWND other = OpenChild("OtherSetBtn", kOtherClass);
    HWND bar = Control(other, DialogKind::OtherSetDlg, "MouseMoveBar");
    EXPECT_EQ(Position(bar), 4);
    // A close request to the selection dialog waits for the child to close.
    PostMessageW(main, WM_CLOSE, 0, 0);
    PressKey(VK_RIGHT);  // the bar has the focus
    ASSERT_TRUE(WaitUntil([&] { return Position(bar) == 5; }));
    EXPECT_TRUE(IsWindow(main));
    PostMessageW(other, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_FALSE(ScopedSettings::Exists());
}

TEST_F(DialogsTest, EveryCaptionIsExactOnTheNtPath)
{
    ExpectEveryCaptionExact();
    CloseProgram();
}

// The Windows 98 family path: ANSI windows and texts in the code page.
class Win98DialogsTest : public DialogsTest {
protected:
    ScopedWindowsVersion version_{"win98"};
    // The saver of the test run asks whether a password is in use.
    ScopedUserDword noPassword_{L"Control Panel\\desktop", L"ScreenSaveUsePassword", 0};
};

TEST_F(Win98DialogsTest, EveryCaptionIsExactAndATestRunReturnsToTheDialog)
{
    ExpectEveryCaptionExact();
    Click(MainControl("TestRunBtn"));
    HWND saver = program_->WaitForWindow(L"TMainForm");
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver; }));
    PressKey(VK_SHIFT);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && GetForegroundWindow() == main; }));
    CloseProgram();
}

TEST_F(DialogsTest, EscapeDoesNothingAndOkWithEveryEffectClearedStoresWave)
{
    PressKey(VK_ESCAPE);
    PressKey(VK_SPACE);  // clears Wave, which has the focus
    // Keys are handled in order: once Wave is cleared, Escape has been handled.
    ASSERT_TRUE(WaitUntil([&] { return !Checked(MainControl("EffectBtn0")); }));
    EXPECT_TRUE(program_->Running());
    EXPECT_FALSE(ScopedSettings::Exists());

    PressKey(VK_RETURN);
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_EQ(Stored("Main", "Wave"), "1");
    EXPECT_EQ(Stored("Main", "Melt"), "0");
    EXPECT_EQ(Stored("Main", "Noise"), "0");
}

TEST_F(DialogsTest, TabStaysOnTheShowingPageArrowsStepBarsAndEnterPressesTheFocusedButton)
{
    HWND detail = OpenChild("SetDlgBtn", kSetClass);
    auto control = [&](const char* name) { return Control(detail, DialogKind::SetDialog, name); };
    auto focusReaches = [&](const char* name) { return WaitUntil([&] { return FocusOf(detail) == control(name); }); };
    PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches("CanncelBtn"));
    // The focused push button wears the default frame, as Enter presses it.
    EXPECT_TRUE(IsDefaultButton(control("CanncelBtn")));
    EXPECT_FALSE(IsDefaultButton(control("OKBtn")));
    PressKey(VK_TAB);  // the tabs
    PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches("WavePitchBar"));
    EXPECT_TRUE(IsDefaultButton(control("OKBtn")));
    PressKey(VK_NEXT);  // page and arrow keys move a bar by one
    PressKey(VK_RIGHT);
    keybd_event(VK_SHIFT, 0, 0, 0);  // Shift+Enter presses nothing
    PressKey(VK_RETURN);
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    PressKey(VK_TAB);
    PressKey(VK_LEFT);
    PressKey(VK_TAB);  // the other pages are hidden: back to OK
    ASSERT_TRUE(focusReaches("OKBtn"));
    EXPECT_EQ(Position(control("WavePitchBar")), 6);
    EXPECT_EQ(Position(control("WaveSpeedBar")), 2);
    PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches("CanncelBtn"));
    PressKey(VK_RETURN);
    ASSERT_TRUE(ChildClosed(kSetClass));
    EXPECT_FALSE(ScopedSettings::Exists());
}

TEST_F(DialogsTest, ArrowsMoveBetweenTheRadioButtonsAndHexadecimalSecondsAreStored)
{
    HWND detail = OpenChild("SetDlgBtn", kSetClass);
    // From OK, two Tabs reach the tabs, and Right shows the Melt page.
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    PressKey(VK_RIGHT);
    HWND seconds = Control(detail, DialogKind::SetDialog, "MeltReEdit");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(seconds); }));
    HWND restore = Control(detail, DialogKind::SetDialog, "MeltReRBtn0");
    HWND keep = Control(detail, DialogKind::SetDialog, "MeltReRBtn1");
    Click(keep);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == keep && Checked(keep); }));
    PressKey(VK_LEFT);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == restore && Checked(restore) && !Checked(keep); }));
    PressKey(VK_DOWN);  // the pair wraps round
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == keep && Checked(keep) && !Checked(restore); }));
    // The pair is one tab stop, at the selected button: Shift+Tab leaves it
    // for the speed bar and Tab comes back to the selected button.
    keybd_event(VK_SHIFT, 0, 0, 0);
    PressKey(VK_TAB);
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == Control(detail, DialogKind::SetDialog, "MeltSpeedBar"); }));
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(detail) == keep; }));
    SendMessageW(seconds, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t typed : std::wstring_view(L"$FFF")) PostMessageW(seconds, WM_CHAR, typed, 0);
    // The fourth character is refused.
    ASSERT_TRUE(WaitUntil([&] { return TextOf(seconds) == L"$FF"; }));
    PressKey(VK_RETURN);
    ASSERT_TRUE(ChildClosed(kSetClass));
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "255");
    EXPECT_EQ(Stored("Melt", "Recover"), "0");
    EXPECT_EQ(Stored("Wave", "Pitch"), "4");
    EXPECT_EQ(Stored("Main", "Wave"), "-");
    CloseProgram();
}

TEST_F(DialogsTest, LettersInTheSecondsBoxAreReportedAndTheDialogStaysAsItWas)
{
    HWND detail = OpenChild("SetDlgBtn", kSetClass);
    HWND seconds = Control(detail, DialogKind::SetDialog, "MeltReEdit");
    SendMessageW(seconds, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    Click(Control(detail, DialogKind::SetDialog, "OKBtn"));

    HWND box = program_->WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), L"Nimbrel");
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }));
    EXPECT_NE(FindWindowExW(box, nullptr, L"Static", L"'abc' は整数ではありません."), nullptr)
        << "no message \"'abc' は整数ではありません.\" in the box";
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !program_->FindWindowOfClass(L"#32770"); }));

    EXPECT_TRUE(IsWindowVisible(detail));
    EXPECT_EQ(TextOf(seconds), L"abc");
    EXPECT_EQ(Stored("Melt", "Recover"), "1");
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "-");

    // Corrected, the next OK stores and closes.
    SendMessageW(seconds, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"30"));
    Click(Control(detail, DialogKind::SetDialog, "OKBtn"));
    ASSERT_TRUE(ChildClosed(kSetClass));
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "30");
    CloseProgram();
}

TEST_F(DialogsTest, EscapeTheCloseBoxAndAltF4DropTheChanges)
{
    const struct {
        const char* button;
        const wchar_t* className;
        DialogKind kind;
        const char* bar;
        bool escape;  // or else the close box
    } children[] = {
        {"SetDlgBtn", kSetClass, DialogKind::SetDialog, "WavePitchBar", true},
        {"SetDlgBtn", kSetClass, DialogKind::SetDialog, "WavePitchBar", false},
        {"OtherSetBtn", kOtherClass, DialogKind::OtherSetDlg, "MouseMoveBar", true},
        {"OtherSetBtn", kOtherClass, DialogKind::OtherSetDlg, "MouseMoveBar", false},
    };
    for (const auto& child : children) {
        SCOPED_TRACE(testing::Message() << child.button << (child.escape ? " Escape" : " close box"));
        HWND window = OpenChild(child.button, child.className);
        HWND bar = Control(window, child.kind, child.bar);
        SendMessageW(bar, TBM_SETPOS, TRUE, Position(bar) + 1);
        if (child.escape) {
            PressKey(VK_ESCAPE);
        } else {
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        ASSERT_TRUE(ChildClosed(child.className));
    }
    Click(MainControl("EffectBtn1"));
    ASSERT_TRUE(WaitUntil([&] { return Checked(MainControl("EffectBtn1")); }));
    keybd_event(VK_MENU, 0, 0, 0);
    PressKey(VK_F4);
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_FALSE(ScopedSettings::Exists());
}

TEST_F(DialogsTest, TestRunSavesTheChoiceRunsTheSaverAndReturnsToTheDialog)
{
    Click(MainControl("EffectBtn0"));
    ASSERT_TRUE(WaitUntil([&] { return !Checked(MainControl("EffectBtn0")); }));
    Click(MainControl("TestRunBtn"));

    HWND saver = program_->WaitForWindow(L"TMainForm");
    ASSERT_NE(saver, nullptr);
    RECT rect{};
    GetWindowRect(saver, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_TRUE(Checked(MainControl("EffectBtn0")));
    EXPECT_EQ(Stored("Main", "Wave"), "1");
    EXPECT_EQ(Stored("Main", "Melt"), "0");

    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver; }));
    PressKey(VK_SHIFT);
    ASSERT_TRUE(ChildClosed(L"TMainForm"));

    // A second run in the same process starts afresh and ends the same way.
    Click(MainControl("TestRunBtn"));
    saver = program_->WaitForWindow(L"TMainForm");
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver; }));
    PressKey(VK_SHIFT);
    ASSERT_TRUE(ChildClosed(L"TMainForm"));
    EXPECT_TRUE(program_->Running());
    CloseProgram();
}

} // namespace
} // namespace nimbrel::e2e
