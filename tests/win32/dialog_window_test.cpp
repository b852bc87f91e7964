// The settings dialogs as real windows of this process on the virtual
// display: the controls built from each layout, what they show after
// loading, what the buttons, Enter, Escape, Tab and the close box do, the
// modal child dialogs, and the error box that leaves a dialog as it was.
#include "platform/win32/dialog_window.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/layout.h"
#include "platform/headless/memory_profile_store.h"
#include "platform/win32/application.h"
#include "platform/win32/text.h"
#include "settings/settings_file.h"

namespace nimbrel::win32 {
namespace {

constexpr DWORD kLimitMs = 10000;

void DrainMessages()
{
    // Destroying the main window asks the loop to quit; that request must
    // not end the next test's loop.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) DispatchMessageW(&message);
    }
}

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
bool IsDefaultButton(HWND button)
{
    return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}
void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

std::string FocusedName(DialogKind kind)
{
    const ControlLayout* control =
        FindControl(LayoutOf(kind), static_cast<ControlId>(GetDlgCtrlID(GetFocus())));
    return control ? std::string(control->name) : "(none)";
}

void SendKey(WORD key, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A key pressed and released, optionally with a modifier held.
void Tap(WORD key, WORD modifier = 0)
{
    if (modifier) SendKey(modifier, 0);
    SendKey(key, 0);
    SendKey(key, KEYEVENTF_KEYUP);
    if (modifier) SendKey(modifier, KEYEVENTF_KEYUP);
}

// The error box of this thread, once it shows.
HWND ErrorBox()
{
    HWND box = FindWindowW(L"#32770", L"Nimbrel");
    return box && IsWindowVisible(box) ? box : nullptr;
}

BOOL CALLBACK FindMessageText(HWND child, LPARAM lParam)
{
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    std::wstring text = TextOf(child);
    if (lstrcmpiW(name, L"Static") != 0 || text.empty()) return TRUE;
    *reinterpret_cast<std::wstring*>(lParam) = text;
    return FALSE;
}

// The message of a message box: its one label with a text.
std::wstring ErrorBoxText(HWND box)
{
    std::wstring found;
    EnumChildWindows(box, FindMessageText, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Steps run from inside the application's modal loop, as a user acts while a
// dialog is up: each waits for its condition, then acts. The steps go on
// inside nested loops (a child dialog, the error box) since the timer fires
// there too. A window still open after the time limit is destroyed.
class ModalScript {
public:
    ModalScript& WaitFor(std::function<bool()> condition) { return Add(std::move(condition), [] {}); }
    ModalScript& Do(std::function<void()> action) { return Add([] { return true; }, std::move(action)); }

    // Shows the window modally and returns when it is gone; true when every
    // step ran and the window closed within the limit.
    bool ShowModal(HWND window)
    {
        DrainMessages();
        window_ = window;
        start_ = GetTickCount();
        active_ = this;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
        Application::Get().ShowModal(window);
        KillTimer(nullptr, timer);
        active_ = nullptr;
        DrainMessages();
        return !timedOut_ && next_ == steps_.size() && !IsWindow(window);
    }

private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };

    ModalScript& Add(std::function<bool()> ready, std::function<void()> act)
    {
        steps_.push_back({std::move(ready), std::move(act)});
        return *this;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* script = active_;
        if (!script || script->timedOut_) return;
        if (GetTickCount() - script->start_ > kLimitMs) {
            script->timedOut_ = true;
            if (HWND box = ErrorBox()) EndDialog(box, IDOK);
            if (IsWindow(script->window_)) DestroyWindow(script->window_);
            return;
        }
        if (script->next_ >= script->steps_.size() || !script->steps_[script->next_].ready()) return;
        // Counted before acting: the action may start a loop that ticks again.
        script->steps_[script->next_++].act();
    }

    static inline ModalScript* active_ = nullptr;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    HWND window_ = nullptr;
    DWORD start_ = 0;
    bool timedOut_ = false;
};

class DialogWindowTest : public ::testing::Test {
protected:
    DialogWindowTest() { SetCurrentProfileStore(&store); DrainMessages(); }
    ~DialogWindowTest() override
    {
        for (const wchar_t* name : {L"TSetDialog", L"TOtherSetDlg", L"TMainDialog"}) {
            while (HWND left = FindWindowW(name, nullptr)) DestroyWindow(left);
        }
        DrainMessages();
        SetCurrentProfileStore(nullptr);
    }

    // A dialog that is not shown: enough for what needs no keyboard, and
    // quick to destroy where no window manager answers Wine.
    HWND Open(DialogKind kind)
    {
        HWND window = CreateDialogWindow(kind);
        EXPECT_NE(window, nullptr);
        return window;
    }

    void GivenFile(std::string text) { store.SetFileText(kSettingsFileName, std::move(text)); }
    std::string Stored(std::string_view section, std::string_view key)
    {
        return store.ReadString(kSettingsFileName, section, key, "-");
    }
    bool NothingStored() const { return !store.FileText(kSettingsFileName).has_value(); }

    MemoryProfileStore store;
};

// --- Every dialog against its layout ---------------------------------------

class DialogLayoutTest : public DialogWindowTest, public ::testing::WithParamInterface<DialogKind> {};

TEST_P(DialogLayoutTest, WindowHasAFixedFrameWithACloseBoxAndIsCentred)
{
    const DialogLayout& layout = LayoutOf(GetParam());
    HWND window = Open(GetParam());
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_EQ(Narrow(className), layout.className);
    EXPECT_EQ(Narrow(TextOf(window)), layout.caption);

    LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

    const int dpi = Dpi();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(layout.clientWidth, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(layout.clientHeight, dpi, 96));

    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
}

TEST_P(DialogLayoutTest, EveryControlExistsUnderItsIdWithItsCaptionInAJapaneseCapableFont)
{
    const DialogLayout& layout = LayoutOf(GetParam());
    HWND window = Open(GetParam());
    for (const ControlLayout& control : layout.controls) {
        HWND native = FindDialogControl(window, control.id);
        ASSERT_NE(native, nullptr) << control.name;
        bool captionIsText = control.kind != ControlKind::TabSheet && control.kind != ControlKind::PageControl &&
                             control.kind != ControlKind::EditBox;
        if (captionIsText) {
            EXPECT_EQ(Narrow(TextOf(native)), control.caption) << control.name;
        }
        if (control.kind != ControlKind::Label) continue;

        // The label's font has a glyph for every character of its caption.
        auto font = reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW logFont{};
        GetObjectW(font, sizeof logFont, &logFont);
        EXPECT_EQ(logFont.lfHeight, -MulDiv(layout.font.height, Dpi(), 96));
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, font);
        std::wstring caption = Widen(control.caption);
        std::vector<WORD> glyphs(caption.size());
        GetGlyphIndicesW(dc, caption.c_str(), static_cast<int>(caption.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS);
        DeleteDC(dc);
        for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF) << control.name;
    }
}

TEST_P(DialogLayoutTest, TrackBarsSpanTheirRangeWithATickAtEveryWholeValue)
{
    const DialogLayout& layout = LayoutOf(GetParam());
    HWND window = Open(GetParam());
    for (const ControlLayout& control : layout.controls) {
        if (control.kind != ControlKind::TrackBar) continue;
        HWND bar = FindDialogControl(window, control.id);
        EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMIN, 0, 0), control.range.min) << control.name;
        EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMAX, 0, 0), control.range.max) << control.name;
        EXPECT_EQ(SendMessageW(bar, TBM_GETNUMTICS, 0, 0), control.range.max - control.range.min + 1)
            << control.name;
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogLayoutTest,
                         ::testing::Values(DialogKind::MainDialog, DialogKind::SetDialog, DialogKind::OtherSetDlg));

// --- The effect selection dialog --------------------------------------------

class MainDialogWindowTest : public DialogWindowTest {
protected:
    HWND Find(HWND window, std::string_view name) { return Control(window, DialogKind::MainDialog, name); }
};

TEST_F(MainDialogWindowTest, OkWithEveryEffectClearedTicksWaveStoresAndCloses)
{
    GivenFile("[Main]\nWave=1\nMelt=1\nNoise=0\n");
    HWND window = Open(DialogKind::MainDialog);
    Click(Find(window, "EffectBtn0"));
    Click(Find(window, "EffectBtn1"));
    Click(Find(window, "OKBtn"));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored("Main", "Wave"), "1");
    EXPECT_EQ(Stored("Main", "Melt"), "0");
    EXPECT_EQ(Stored("Main", "Noise"), "0");
}

TEST_F(MainDialogWindowTest, CloseBoxClosesWithoutStoring)
{
    HWND window = Open(DialogKind::MainDialog);
    Click(Find(window, "EffectBtn2"));
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(NothingStored());
}

TEST_F(MainDialogWindowTest, EscapeDoesNothingWhileEnterPressesOk)
{
    HWND window = CreateDialogWindow(DialogKind::MainDialog);
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window && FocusedName(DialogKind::MainDialog) == "EffectBtn0"; })
        .Do([] { Tap(VK_ESCAPE); })
        .Do([] { Tap(VK_TAB); })
        // Keys arrive in order: once Tab has moved the focus, Escape is done.
        .WaitFor([] { return FocusedName(DialogKind::MainDialog) == "EffectBtn1"; })
        .Do([&] { EXPECT_TRUE(IsWindow(window)); EXPECT_TRUE(NothingStored()); Tap(VK_RETURN); });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_EQ(Stored("Main", "Wave"), "1");
}

TEST_F(MainDialogWindowTest, EachPressShowsAFreshChildModallyAndDestroysItAfterwards)
{
    HWND window = CreateDialogWindow(DialogKind::MainDialog);
    HWND child = nullptr;
    auto childShows = [&] {
        child = FindWindowW(L"TSetDialog", nullptr);
        return child && IsWindowVisible(child);
    };
    auto childGone = [&] { return !FindWindowW(L"TSetDialog", nullptr) && IsWindowEnabled(window); };
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window; })
        .Do([&] { PostMessageW(Find(window, "SetDlgBtn"), BM_CLICK, 0, 0); })
        .WaitFor(childShows)
        .Do([&] {
            EXPECT_FALSE(IsWindowEnabled(window));
            EXPECT_EQ(Position(Control(child, DialogKind::SetDialog, "WavePitchBar")), 4);
            PostMessageW(Control(child, DialogKind::SetDialog, "CanncelBtn"), BM_CLICK, 0, 0);
        })
        .WaitFor(childGone)
        // The next child loads the file as it is then.
        .Do([&] {
            GivenFile("[Wave]\nPitch=6\n");
            PostMessageW(Find(window, "SetDlgBtn"), BM_CLICK, 0, 0);
        })
        .WaitFor(childShows)
        .Do([&] {
            EXPECT_EQ(Position(Control(child, DialogKind::SetDialog, "WavePitchBar")), 6);
            PostMessageW(child, WM_CLOSE, 0, 0);
        })
        .WaitFor(childGone)
        .Do([&] { PostMessageW(Find(window, "OtherSetBtn"), BM_CLICK, 0, 0); })
        .WaitFor([&] { return FindWindowW(L"TOtherSetDlg", nullptr) != nullptr; })
        .Do([&] { PostMessageW(FindWindowW(L"TOtherSetDlg", nullptr), WM_CLOSE, 0, 0); })
        .WaitFor([&] { return !FindWindowW(L"TOtherSetDlg", nullptr) && IsWindowEnabled(window); })
        .Do([&] { PostMessageW(window, WM_CLOSE, 0, 0); });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_EQ(Stored("Main", "Wave"), "-");
}

TEST_F(MainDialogWindowTest, ACloseRequestDuringAChildShowingWaitsForTheChildToClose)
{
    HWND window = CreateDialogWindow(DialogKind::MainDialog);
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window; })
        .Do([&] { PostMessageW(Find(window, "OtherSetBtn"), BM_CLICK, 0, 0); })
        .WaitFor([&] { return FindWindowW(L"TOtherSetDlg", nullptr) != nullptr; })
        // The selection dialog's handler is still running under the child.
        .Do([&] { PostMessageW(window, WM_CLOSE, 0, 0); })
        .Do([&] {
            EXPECT_TRUE(IsWindow(window));
            PostMessageW(FindWindowW(L"TOtherSetDlg", nullptr), WM_CLOSE, 0, 0);
        });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_TRUE(NothingStored());
}

// --- The effect detail dialog -----------------------------------------------

class SetDialogWindowTest : public DialogWindowTest {
protected:
    HWND Find(HWND window, std::string_view name) { return Control(window, DialogKind::SetDialog, name); }
    std::string Focused() { return FocusedName(DialogKind::SetDialog); }
};

TEST_F(SetDialogWindowTest, WithoutFileShowsTheDefaultsOnTheWavePage)
{
    HWND window = Open(DialogKind::SetDialog);
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(Position(Find(window, "WavePitchBar")), 4);
    EXPECT_EQ(Position(Find(window, "WaveSpeedBar")), 3);
    EXPECT_EQ(Position(Find(window, "MeltSpeedBar")), 3);
    EXPECT_EQ(Position(Find(window, "NoiseDealBar")), 3);
    EXPECT_TRUE(Checked(Find(window, "MeltReRBtn0")));
    EXPECT_FALSE(Checked(Find(window, "MeltReRBtn1")));
    EXPECT_EQ(TextOf(Find(window, "MeltReEdit")), L"180");
    EXPECT_TRUE(IsWindowVisible(Find(window, "TabSheet1")));
    EXPECT_FALSE(IsWindowVisible(Find(window, "TabSheet2")));
    EXPECT_FALSE(IsWindowVisible(Find(window, "TabSheet3")));
}

TEST_F(SetDialogWindowTest, StoredValuesArePulledIntoRangeAndALongPeriodIsShownWhole)
{
    GivenFile("[Wave]\nPitch=12\nSpeed=-1\n[Melt]\nRecover=0\nRecoverTime=1000\n[Noise]\nDeal=-3\n");
    HWND window = Open(DialogKind::SetDialog);
    EXPECT_EQ(Position(Find(window, "WavePitchBar")), 7);
    EXPECT_EQ(Position(Find(window, "WaveSpeedBar")), 0);
    EXPECT_EQ(Position(Find(window, "NoiseDealBar")), 0);
    EXPECT_FALSE(Checked(Find(window, "MeltReRBtn0")));
    EXPECT_TRUE(Checked(Find(window, "MeltReRBtn1")));
    EXPECT_EQ(TextOf(Find(window, "MeltReEdit")), L"1000");
}

TEST_F(SetDialogWindowTest, OkStoresWhatTheControlsShowAndCloses)
{
    HWND window = Open(DialogKind::SetDialog);
    SendMessageW(Find(window, "WavePitchBar"), TBM_SETPOS, TRUE, 2);
    SendMessageW(Find(window, "WaveSpeedBar"), TBM_SETPOS, TRUE, 6);
    SendMessageW(Find(window, "MeltSpeedBar"), TBM_SETPOS, TRUE, 0);
    SendMessageW(Find(window, "NoiseDealBar"), TBM_SETPOS, TRUE, 5);
    Click(Find(window, "MeltReRBtn1"));
    EXPECT_FALSE(Checked(Find(window, "MeltReRBtn0")));
    SetWindowTextW(Find(window, "MeltReEdit"), L"$FF");
    Click(Find(window, "OKBtn"));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored("Wave", "Pitch"), "2");
    EXPECT_EQ(Stored("Wave", "Speed"), "6");
    EXPECT_EQ(Stored("Melt", "Speed"), "0");
    EXPECT_EQ(Stored("Melt", "Recover"), "0");
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "255");
    EXPECT_EQ(Stored("Noise", "Deal"), "5");
}

TEST_F(SetDialogWindowTest, LettersShowTheConversionErrorAndLeaveTheDialogAsItWas)
{
    HWND window = CreateDialogWindow(DialogKind::SetDialog);
    std::wstring message;
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window; })
        .Do([&] {
            SendMessageW(Find(window, "WavePitchBar"), TBM_SETPOS, TRUE, 6);
            SetWindowTextW(Find(window, "MeltReEdit"), L"abc");
            PostMessageW(Find(window, "OKBtn"), BM_CLICK, 0, 0);
        })
        .WaitFor([] { return ErrorBox() != nullptr; })
        .Do([&] {
            message = ErrorBoxText(ErrorBox());
            PostMessageW(ErrorBox(), WM_COMMAND, IDOK, 0);
        })
        .WaitFor([] { return ErrorBox() == nullptr; })
        .Do([&] {
            EXPECT_TRUE(IsWindow(window));
            EXPECT_EQ(Position(Find(window, "WavePitchBar")), 6);
            EXPECT_EQ(TextOf(Find(window, "MeltReEdit")), L"abc");
            EXPECT_TRUE(Checked(Find(window, "MeltReRBtn0")));
            // The keys before the seconds are stored, the later ones are not.
            EXPECT_EQ(Stored("Melt", "Recover"), "1");
            EXPECT_EQ(Stored("Melt", "RecoverTime"), "-");
            SetWindowTextW(Find(window, "MeltReEdit"), L" 12");
            PostMessageW(Find(window, "OKBtn"), BM_CLICK, 0, 0);
        });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_EQ(message, Widen("'abc' は整数ではありません."));
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "12");
    EXPECT_EQ(Stored("Noise", "Deal"), "3");
}

TEST_F(SetDialogWindowTest, TabFollowsTheShowingPageAndEnterPressesOkFromABar)
{
    HWND window = CreateDialogWindow(DialogKind::SetDialog);
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window && Focused() == "OKBtn"; })
        .Do([] { Tap(VK_TAB); })
        .WaitFor([&] { return Focused() == "CanncelBtn"; })
        .Do([&] {
            // The focused push button wears the default frame, as Enter presses it.
            EXPECT_TRUE(IsDefaultButton(Find(window, "CanncelBtn")));
            EXPECT_FALSE(IsDefaultButton(Find(window, "OKBtn")));
            Tap(VK_TAB);
        })
        .WaitFor([&] { return Focused() == "PageControl1"; })
        .Do([] { Tap(VK_TAB); })
        .WaitFor([&] { return Focused() == "WavePitchBar"; })
        .Do([&] { EXPECT_TRUE(IsDefaultButton(Find(window, "OKBtn"))); })
        // Page and arrow keys move a bar by one.
        .Do([] { Tap(VK_NEXT); Tap(VK_RIGHT); Tap(VK_TAB); })
        .WaitFor([&] { return Focused() == "WaveSpeedBar"; })
        .Do([&] { EXPECT_EQ(Position(Find(window, "WavePitchBar")), 6); Tap(VK_TAB); })
        // The other pages are hidden, so the next stop is OK again.
        .WaitFor([&] { return Focused() == "OKBtn"; })
        .Do([] { Tap(VK_TAB, VK_SHIFT); })
        .WaitFor([&] { return Focused() == "WaveSpeedBar"; })
        .Do([] { Tap(VK_RETURN, VK_SHIFT); Tap(VK_LEFT); })
        .WaitFor([&] { return Position(Find(window, "WaveSpeedBar")) == 2; })
        .Do([&] { EXPECT_TRUE(NothingStored()) << "Shift+Enter pressed a button"; Tap(VK_RETURN); });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_EQ(Stored("Wave", "Pitch"), "6");
    EXPECT_EQ(Stored("Wave", "Speed"), "2");
}

TEST_F(SetDialogWindowTest, TypingIntoTheSecondsBoxStopsAtThreeCharactersOnAnyPage)
{
    HWND window = CreateDialogWindow(DialogKind::SetDialog);
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window && Focused() == "OKBtn"; })
        .Do([] { Tap(VK_TAB, VK_CONTROL); })
        .WaitFor([&] { return IsWindowVisible(Find(window, "TabSheet2")); })
        .Do([&] {
            EXPECT_FALSE(IsWindowVisible(Find(window, "TabSheet1")));
            SetFocus(Find(window, "MeltReEdit"));
            SendMessageW(Find(window, "MeltReEdit"), EM_SETSEL, 0, -1);
            for (WORD key : {'4', '5', '6', '7'}) Tap(key);
        })
        .WaitFor([&] { return TextOf(Find(window, "MeltReEdit")) == L"456"; })
        // Back on the Wave page the Melt values are stored all the same.
        .Do([] { Tap(VK_TAB, VK_CONTROL); Tap(VK_TAB, VK_CONTROL); })
        .WaitFor([&] { return IsWindowVisible(Find(window, "TabSheet1")); })
        .Do([] { Tap(VK_RETURN); });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "456");
}

TEST_F(SetDialogWindowTest, EscapeAndEnterOnCancelCloseWithoutStoring)
{
    for (bool viaEnter : {false, true}) {
        HWND window = CreateDialogWindow(DialogKind::SetDialog);
        ModalScript script;
        script.WaitFor([&] { return GetForegroundWindow() == window && Focused() == "OKBtn"; })
            .Do([&] {
                SendMessageW(Find(window, "NoiseDealBar"), TBM_SETPOS, TRUE, 6);
                if (viaEnter) {
                    Tap(VK_TAB);
                    Tap(VK_RETURN);
                } else {
                    Tap(VK_ESCAPE);
                }
            });
        EXPECT_TRUE(script.ShowModal(window)) << viaEnter;
        EXPECT_TRUE(NothingStored()) << viaEnter;
    }
}

// --- The other settings dialog ----------------------------------------------

class OtherSetDlgWindowTest : public DialogWindowTest {
protected:
    HWND Find(HWND window, std::string_view name) { return Control(window, DialogKind::OtherSetDlg, name); }
};

TEST_F(OtherSetDlgWindowTest, TheBarHasTheFocusAndEnterStoresItsPosition)
{
    HWND window = CreateDialogWindow(DialogKind::OtherSetDlg);
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window && FocusedName(DialogKind::OtherSetDlg) == "MouseMoveBar"; })
        .Do([] { Tap(VK_RIGHT); })
        .WaitFor([&] { return Position(Find(window, "MouseMoveBar")) == 5; })
        .Do([] { Tap(VK_RETURN); });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_EQ(Stored("Main", "CloseMouseMove"), "5");
}

TEST_F(OtherSetDlgWindowTest, AFailedWriteIsShownAndTheDialogStaysAsItWas)
{
    store.FailWritesAfter(0);
    HWND window = CreateDialogWindow(DialogKind::OtherSetDlg);
    std::wstring message;
    ModalScript script;
    script.WaitFor([&] { return GetForegroundWindow() == window; })
        .Do([&] {
            SendMessageW(Find(window, "MouseMoveBar"), TBM_SETPOS, TRUE, 7);
            PostMessageW(Find(window, "OKBtn"), BM_CLICK, 0, 0);
        })
        .WaitFor([] { return ErrorBox() != nullptr; })
        .Do([&] {
            message = ErrorBoxText(ErrorBox());
            PostMessageW(ErrorBox(), WM_COMMAND, IDOK, 0);
        })
        .WaitFor([] { return ErrorBox() == nullptr; })
        .Do([&] {
            EXPECT_TRUE(IsWindow(window));
            EXPECT_EQ(Position(Find(window, "MouseMoveBar")), 7);
            PostMessageW(window, WM_CLOSE, 0, 0);
        });
    EXPECT_TRUE(script.ShowModal(window));
    EXPECT_EQ(message, Widen("Rendaxo.ini に書き込めません."));
    EXPECT_TRUE(NothingStored());
}

} // namespace
} // namespace nimbrel::win32
