// A settings dialog as a Windows window: native controls built from the
// layout, the portable dialog's handlers run on button presses, and the
// dialog's requests (modal children, the test run, closing) carried out.
#include "platform/win32/dialog_window.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialog.h"
#include "dialogs/dialog_host.h"
#include "dialogs/navigation.h"
#include "platform/win32/application.h"
#include "platform/win32/dialog_font.h"
#include "platform/win32/error_display.h"
#include "platform/win32/saver_window.h"
#include "platform/win32/system_api.h"

namespace nimbrel::win32 {
namespace {

constexpr char kPageClass[] = "NimbrelDialogPage";

// Enter and Escape post this to the window with the button's id, so that the
// button's handler (which may run a modal loop of its own) runs from the
// window's message dispatch rather than from inside the message filter.
constexpr UINT kPressButtonMessage = WM_APP + 1;

// BM_SETDONTCLICK (Windows Vista and later; older systems ignore it): a radio
// button that gets the focus does not send BN_CLICKED.
constexpr UINT kSetDontClickMessage = 0x00F8;

constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME;

void InitCommonControlsOnce()
{
    static const bool initialised = [] {
        RegisterCommonControls(ICC_BAR_CLASSES | ICC_TAB_CLASSES);
        return true;
    }();
    (void)initialised;
}

// A page of a tab control: a plain container that passes its controls'
// notifications on to the dialog window, which handles them all. The rest
// goes to the dialog manager, which paints the tab body's texture where the
// visual styles are on (UseTabPageTexture).
LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return SendMsg(GetParent(page), message, wParam, lParam);
    default:
        return DefaultDialogProc(page, message, wParam, lParam);
    }
}

void RegisterDialogClass(std::string_view name, WNDPROC procedure, int windowExtraBytes = 0)
{
    // A second registration of the same class fails harmlessly.
    RegisterWindowClass(name, procedure, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), windowExtraBytes);
}

bool KeyHeld(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

class DialogWindow final : public DialogHost {
public:
    explicit DialogWindow(DialogKind kind)
        : dialog_(MakeDialog(kind, *this)), dpi_(ScreenDpi()),
          font_(CreateDialogFont(dialog_->Layout(), dpi_))
    {
    }

    static HWND Create(DialogKind kind);

    void ShowModal(DialogKind kind) override;
    void RunTestSaver() override;
    void Close(ModalResult result) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    const DialogLayout& Layout() const { return dialog_->Layout(); }
    int Scale(int length) const { return ScaleToDpi(length, dpi_); }

    void BuildControls();
    HWND CreateControl(const ControlLayout& control);
    void CreatePages(const ControlLayout& pageControl, HWND tabControl);
    HWND Native(ControlId id) const;

    void ReadControls();
    void WriteControls();

    void ControlCommand(ControlId id, WORD code);
    void ShowAsDefault(ControlId button);
    void RadioButtonClicked(ControlId id);
    bool MoveBetweenRadioButtons(bool forward);
    void PressButton(ControlId id);
    void WindowCloseRequested();
    void CloseNow();

    bool FilterMessage(const MSG& message);
    std::optional<ControlId> FocusedControl() const;
    void MoveFocus(bool backwards);
    void ShowPage(int index);
    void Activated(WPARAM wParam);

    HWND window_ = nullptr;
    std::unique_ptr<Dialog> dialog_;
    int dpi_;
    UniqueFont font_;
    std::map<ControlId, HWND> natives_;
    HWND tabControl_ = nullptr;
    std::vector<HWND> pages_;
    // The control that had the focus when the window was last deactivated,
    // given back when it is activated again; the first of the tab order at
    // the start.
    HWND savedFocus_ = nullptr;
    // Handlers that have not returned yet: the window must not be destroyed
    // under them, so a close that arrives meanwhile waits for them.
    int handlersRunning_ = 0;
    bool closeRequested_ = false;
};

HWND DialogWindow::Create(DialogKind kind)
{
    InitCommonControlsOnce();
    auto owned = std::make_unique<DialogWindow>(kind);
    const DialogLayout& layout = owned->Layout();

    RegisterDialogClass(layout.className, WindowProc);
    // The dialog manager keeps its data in the page's extra bytes.
    RegisterDialogClass(kPageClass, PageProc, DLGWINDOWEXTRA);

    RECT frame{0, 0, owned->Scale(layout.clientWidth), owned->Scale(layout.clientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    // WM_NCCREATE takes the object over from `owned`; from then on the
    // window owns it and deletes it when it is destroyed.
    HWND window = CreateWindowUtf8(kWindowExStyle, layout.className, layout.caption, kWindowStyle, left,
                                   top, width, height, Application::Get().Handle(), nullptr, &owned);
    if (!window) return nullptr;
    auto* self = reinterpret_cast<DialogWindow*>(WindowLongValue(window, GWLP_USERDATA));

    Application::Get().WindowCreated(window);
    Application::Get().SetMessageFilter(window, [self](MSG& message) {
        return self->FilterMessage(message);
    });
    self->BuildControls();
    RunHandler([self] { self->dialog_->FormCreate(); });
    self->WriteControls();
    if (std::optional<ControlId> first = InitialFocus(layout)) self->savedFocus_ = self->Native(*first);
    return window;
}

LRESULT CALLBACK DialogWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* owned = static_cast<std::unique_ptr<DialogWindow>*>(create->lpCreateParams);
        DialogWindow* self = owned->release();
        self->window_ = window;
        SetWindowLongValue(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DialogWindow*>(WindowLongValue(window, GWLP_USERDATA));
    if (!self) return DefaultWindowProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongValue(window, GWLP_USERDATA, 0);
        delete self;
        return DefaultWindowProc(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) ControlCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == tabControl_ && header->code == TCN_SELCHANGE) {
            ShowPage(static_cast<int>(SendMsg(tabControl_, TCM_GETCURSEL, 0, 0)));
        }
        return 0;
    }
    case kPressButtonMessage:
        PressButton(static_cast<ControlId>(wParam));
        return 0;
    case WM_ACTIVATE:
        Activated(wParam);
        return 0;
    case WM_CLOSE:
        WindowCloseRequested();
        return 0;
    case WM_DESTROY:
        Application::Get().WindowDestroyed(window_);
        return 0;
    default:
        return DefaultWindowProc(window_, message, wParam, lParam);
    }
}

// Controls are created in the order of the layout, parents first. Controls
// inside a group box sit on the window itself, moved by the box's place, so
// that their notifications reach the window; controls of a page sit on the
// page window.
void DialogWindow::BuildControls()
{
    for (const ControlLayout& control : Layout().controls) {
        if (control.kind == ControlKind::TabSheet) continue;  // made with their tab control
        HWND native = CreateControl(control);
        if (!native) continue;
        natives_[control.id] = native;
        SendMsg(native, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (control.kind == ControlKind::PageControl) CreatePages(control, native);
    }
}

HWND DialogWindow::CreateControl(const ControlLayout& control)
{
    HWND parent = window_;
    ControlBounds bounds = control.bounds;
    if (const ControlLayout* container = FindControl(Layout(), control.parent)) {
        if (container->kind == ControlKind::GroupBox) {
            bounds.left += container->bounds.left;
            bounds.top += container->bounds.top;
        } else {
            parent = Native(container->id);
        }
    }

    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    // The first control of each container starts a group, so that the radio
    // buttons of one page form one group and no other.
    std::vector<const ControlLayout*> siblings = ChildrenOf(Layout(), control.parent);
    if (!siblings.empty() && siblings.front()->id == control.id) style |= WS_GROUP;

    switch (control.kind) {
    case ControlKind::GroupBox:
        windowClass = "BUTTON";
        style |= BS_GROUPBOX;
        break;
    case ControlKind::CheckBox:
        windowClass = "BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
    case ControlKind::RadioButton:
        windowClass = "BUTTON";
        style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
        break;
    case ControlKind::PushButton:
        windowClass = "BUTTON";
        style |= (control.role == ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY |
                 WS_TABSTOP;
        break;
    case ControlKind::Label:
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
        break;
    case ControlKind::EditBox:
        windowClass = "EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::TrackBar:
        windowClass = TRACKBAR_CLASSA;
        style |= TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | WS_TABSTOP;
        break;
    case ControlKind::PageControl:
        windowClass = WC_TABCONTROLA;
        // The pages lie over the tab control; it must not paint over them.
        style |= WS_TABSTOP | WS_CLIPSIBLINGS;
        break;
    case ControlKind::TabSheet:
        return nullptr;
    }

    HWND native = CreateWindowUtf8(exStyle, windowClass, control.caption, style, Scale(bounds.left),
                                   Scale(bounds.top), Scale(bounds.width), Scale(bounds.height), parent,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control.id)), nullptr);
    if (!native) return nullptr;

    if (control.kind == ControlKind::TrackBar) {
        SendMsg(native, TBM_SETRANGEMIN, FALSE, control.range.min);
        SendMsg(native, TBM_SETRANGEMAX, FALSE, control.range.max);
        SendMsg(native, TBM_SETTICFREQ, 1, 0);
        // Arrow keys, page keys and clicks beside the thumb all move by one.
        SendMsg(native, TBM_SETLINESIZE, 0, 1);
        SendMsg(native, TBM_SETPAGESIZE, 0, 1);
        SendMsg(native, TBM_SETPOS, TRUE, control.position);
    } else if (control.kind == ControlKind::RadioButton) {
        SendMsg(native, kSetDontClickMessage, TRUE, 0);
    } else if (control.kind == ControlKind::EditBox && control.typingLimit > 0) {
        // The limit binds typing only: text set by the program is kept whole.
        SendMsg(native, EM_SETLIMITTEXT, static_cast<WPARAM>(control.typingLimit), 0);
        SetWindowTextUtf8(native, control.text);
    }
    return native;
}

// The pages are windows of their own over the tab control's display area,
// one per tab, in the order of the tabs; the first one shows.
void DialogWindow::CreatePages(const ControlLayout& pageControl, HWND tabControl)
{
    tabControl_ = tabControl;
    std::vector<const ControlLayout*> sheets;
    for (const ControlLayout* child : ChildrenOf(Layout(), pageControl.id)) {
        if (child->kind == ControlKind::TabSheet) sheets.push_back(child);
    }
    for (std::size_t index = 0; index < sheets.size(); ++index) {
        InsertTabItem(tabControl, static_cast<int>(index), sheets[index]->caption);
    }

    RECT area{};
    GetClientRect(tabControl, &area);
    SendMsg(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabControl, window_, reinterpret_cast<POINT*>(&area), 2);

    for (std::size_t index = 0; index < sheets.size(); ++index) {
        DWORD style = WS_CHILD | (index == 0 ? WS_VISIBLE : 0);
        HWND page = CreateWindowUtf8(WS_EX_CONTROLPARENT, kPageClass, "", style, area.left, area.top,
                                     area.right - area.left, area.bottom - area.top, window_,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(sheets[index]->id)),
                                     nullptr);
        if (!page) continue;
        UseTabPageTexture(page);
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        natives_[sheets[index]->id] = page;
        pages_.push_back(page);
    }
    SendMsg(tabControl, TCM_SETCURSEL, 0, 0);
}

HWND DialogWindow::Native(ControlId id) const
{
    auto found = natives_.find(id);
    return found == natives_.end() ? nullptr : found->second;
}

// The user's changes, copied into the model before a handler reads it.
void DialogWindow::ReadControls()
{
    ControlModel& model = dialog_->Controls();
    for (const ControlLayout& control : Layout().controls) {
        HWND native = Native(control.id);
        if (!native) continue;
        switch (control.kind) {
        case ControlKind::CheckBox:
            model.SetChecked(control.id, SendMsg(native, BM_GETCHECK, 0, 0) == BST_CHECKED);
            break;
        case ControlKind::RadioButton:
            // Selecting one clears the others of its group in the model.
            if (SendMsg(native, BM_GETCHECK, 0, 0) == BST_CHECKED) model.SetChecked(control.id, true);
            break;
        case ControlKind::TrackBar:
            model.SetPosition(control.id, static_cast<std::int32_t>(SendMsg(native, TBM_GETPOS, 0, 0)));
            break;
        case ControlKind::EditBox:
            model.SetText(control.id, WindowTextUtf8(native));
            break;
        default:
            break;
        }
    }
}

// The model, shown by the controls. Only what differs is changed, so that an
// edit box keeps its caret and selection when its text stays the same.
void DialogWindow::WriteControls()
{
    const ControlModel& model = dialog_->Controls();
    for (const ControlLayout& control : Layout().controls) {
        HWND native = Native(control.id);
        if (!native) continue;
        switch (control.kind) {
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: {
            WPARAM state = model.Checked(control.id) ? BST_CHECKED : BST_UNCHECKED;
            if (static_cast<WPARAM>(SendMsg(native, BM_GETCHECK, 0, 0)) != state) {
                SendMsg(native, BM_SETCHECK, state, 0);
            }
            if (control.kind == ControlKind::RadioButton) {
                // Only the selected button of a group is a tab stop.
                LONG_PTR style = WindowLongValue(native, GWL_STYLE);
                LONG_PTR wanted = IsTabStop(model, control.id) ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
                if (wanted != style) SetWindowLongValue(native, GWL_STYLE, wanted);
            }
            break;
        }
        case ControlKind::TrackBar:
            if (SendMsg(native, TBM_GETPOS, 0, 0) != model.Position(control.id)) {
                SendMsg(native, TBM_SETPOS, TRUE, model.Position(control.id));
            }
            break;
        case ControlKind::EditBox:
            if (WindowTextUtf8(native) != model.Text(control.id)) SetWindowTextUtf8(native, model.Text(control.id));
            break;
        default:
            break;
        }
    }
}

void DialogWindow::ControlCommand(ControlId id, WORD code)
{
    const ControlLayout* control = FindControl(Layout(), id);
    if (!control) return;
    if (control->kind == ControlKind::PushButton) {
        if (code == BN_CLICKED) PressButton(id);
        // Enter presses the push button that has the focus, so that one
        // wears the default button's frame while it has it.
        if (code == BN_SETFOCUS) ShowAsDefault(id);
        if (code == BN_KILLFOCUS) {
            if (std::optional<ControlId> button = ButtonWithRole(Layout(), ButtonRole::Default)) ShowAsDefault(*button);
        }
    } else if (control->kind == ControlKind::RadioButton && code == BN_CLICKED) {
        RadioButtonClicked(id);
    }
}

void DialogWindow::ShowAsDefault(ControlId button)
{
    for (const ControlLayout& control : Layout().controls) {
        if (control.kind != ControlKind::PushButton) continue;
        WPARAM style = (control.id == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY;
        if (HWND native = Native(control.id)) SendMsg(native, BM_SETSTYLE, style, TRUE);
    }
}

// Exactly one radio button of a group stays selected, whatever the native
// buttons did on their own. A click or an arrow key checks an automatic
// radio button before it notifies; Windows also notifies when an unchecked
// one merely gets the focus, which must not choose it.
void DialogWindow::RadioButtonClicked(ControlId id)
{
    HWND native = Native(id);
    if (!native || SendMsg(native, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    ReadControls();
    dialog_->Controls().SetChecked(id, true);
    WriteControls();
}

// Runs the button's handler over the controls as the user left them. An
// error that escapes it is shown, and the controls then show the model as
// the handler left it, as they do after a handler that succeeded.
void DialogWindow::PressButton(ControlId id)
{
    ++handlersRunning_;
    ReadControls();
    RunHandler([this, id] { dialog_->ButtonClick(id); });
    WriteControls();
    --handlersRunning_;
    // Last, since closing destroys this object.
    if (handlersRunning_ == 0 && closeRequested_) CloseNow();
}

void DialogWindow::ShowModal(DialogKind kind)
{
    // What the handler changed so far shows while the child is up.
    WriteControls();
    HWND child = CreateDialogWindow(kind);
    if (!child) return;
    Application::Get().ShowModal(child);
    if (IsWindow(child)) DestroyWindow(child);
}

// The saver window of a test run reads the settings file itself, covers the
// screen and closes by the saver's own rules; this window waits under it.
// An error of its creation ends the pressing handler like any other.
void DialogWindow::RunTestSaver()
{
    // The tick that saving may have added shows during the run.
    WriteControls();
    HWND saver = CreateSaverWindow(nullptr);
    if (!saver) return;
    Application::Get().ShowModal(saver);
    if (IsWindow(saver)) DestroyWindow(saver);
}

void DialogWindow::Close(ModalResult)
{
    // The handler that asked is still running; PressButton closes the
    // window once it has returned.
    closeRequested_ = true;
}

// The close box, the system menu's close command and the close shortcut.
void DialogWindow::WindowCloseRequested()
{
    closeRequested_ = true;
    if (handlersRunning_ == 0) CloseNow();
}

void DialogWindow::CloseNow()
{
    closeRequested_ = false;
    CloseAction action = CloseAction::Free;
    RunHandler([&] { action = dialog_->FormClose(); });
    if (action == CloseAction::Free) {
        // The window that showed this one modally is usable again before
        // this one goes, so that it takes the activation back.
        Application::Get().ReleaseModal(window_);
        DestroyWindow(window_);  // deletes this object
    } else {
        ShowWindow(window_, SW_HIDE);
    }
}

bool DialogWindow::FilterMessage(const MSG& message)
{
    if (message.message != WM_KEYDOWN) return false;
    switch (message.wParam) {
    case VK_RETURN:
    case VK_ESCAPE: {
        DialogKey key = message.wParam == VK_RETURN ? DialogKey::Enter : DialogKey::Escape;
        KeyModifiers modifiers{KeyHeld(VK_SHIFT), KeyHeld(VK_CONTROL), KeyHeld(VK_MENU)};
        if (std::optional<ControlId> button = ButtonForKey(Layout(), key, modifiers, FocusedControl())) {
            PostMsg(window_, kPressButtonMessage, *button, 0);
        }
        // Swallowed either way: Escape in a dialog without a cancel button
        // does nothing at all.
        return true;
    }
    case VK_TAB:
        if (KeyHeld(VK_MENU)) return false;
        if (KeyHeld(VK_CONTROL)) {
            if (pages_.empty()) return false;
            int count = static_cast<int>(pages_.size());
            int current = static_cast<int>(SendMsg(tabControl_, TCM_GETCURSEL, 0, 0));
            int next = (current + (KeyHeld(VK_SHIFT) ? count - 1 : 1)) % count;
            SendMsg(tabControl_, TCM_SETCURSEL, next, 0);
            ShowPage(next);
        } else {
            MoveFocus(KeyHeld(VK_SHIFT));
        }
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return MoveBetweenRadioButtons(message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
    default:
        return false;
    }
}

// Arrow keys on a radio button select and focus the next one of its group,
// as in any Windows dialog; other controls keep their own arrow keys.
bool DialogWindow::MoveBetweenRadioButtons(bool forward)
{
    std::optional<ControlId> focused = FocusedControl();
    const ControlLayout* current = focused ? FindControl(Layout(), *focused) : nullptr;
    if (!current || current->kind != ControlKind::RadioButton) return false;
    std::vector<ControlId> group;
    for (const ControlLayout& control : Layout().controls) {
        if (control.kind == ControlKind::RadioButton && control.parent == current->parent) {
            group.push_back(control.id);
        }
    }
    const auto at = std::find(group.begin(), group.end(), current->id);
    const std::size_t index = static_cast<std::size_t>(at - group.begin());
    const ControlId next = group[(index + (forward ? 1 : group.size() - 1)) % group.size()];
    if (HWND native = Native(next)) {
        SetFocus(native);
        SendMsg(native, BM_CLICK, 0, 0);
    }
    return true;
}

std::optional<ControlId> DialogWindow::FocusedControl() const
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(window_, focus)) return std::nullopt;
    ControlId id = static_cast<ControlId>(GetDlgCtrlID(focus));
    if (!FindControl(Layout(), id)) return std::nullopt;
    return id;
}

// Tab and Shift+Tab follow the shared tab sequence, skipping the controls of
// pages that are not showing and the radio buttons that are not tab stops.
void DialogWindow::MoveFocus(bool backwards)
{
    ReadControls();
    std::vector<ControlId> sequence = TabSequence(Layout());
    if (sequence.empty()) return;
    const int count = static_cast<int>(sequence.size());
    int current = -1;
    if (std::optional<ControlId> focused = FocusedControl()) {
        for (int index = 0; index < count; ++index) {
            if (sequence[static_cast<std::size_t>(index)] == *focused) current = index;
        }
    }
    for (int step = 1; step <= count; ++step) {
        int index = current < 0 ? (backwards ? count - step : step - 1)
                                : (current + (backwards ? count - step : step)) % count;
        HWND candidate = Native(sequence[static_cast<std::size_t>(index)]);
        if (candidate && IsWindowVisible(candidate) && IsWindowEnabled(candidate) &&
            IsTabStop(dialog_->Controls(), sequence[static_cast<std::size_t>(index)])) {
            SetFocus(candidate);
            const ControlLayout* control = FindControl(Layout(), sequence[static_cast<std::size_t>(index)]);
            if (control && control->kind == ControlKind::EditBox) SendMsg(candidate, EM_SETSEL, 0, -1);
            return;
        }
    }
}

void DialogWindow::ShowPage(int index)
{
    HWND focus = GetFocus();
    for (std::size_t page = 0; page < pages_.size(); ++page) {
        ShowWindow(pages_[page], static_cast<int>(page) == index ? SW_SHOW : SW_HIDE);
    }
    // A control on a page that was just hidden cannot keep the focus.
    if (focus && IsChild(window_, focus) && !IsWindowVisible(focus)) SetFocus(tabControl_);
}

// A window that is not a Windows dialog does not keep its focused control
// across deactivation by itself; this does it, and gives the first control
// of the tab order the focus when the window first opens.
void DialogWindow::Activated(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) savedFocus_ = focus;
        return;
    }
    if (HIWORD(wParam) != 0) return;  // minimised
    if (savedFocus_ && IsWindow(savedFocus_) && IsWindowVisible(savedFocus_)) {
        SetFocus(savedFocus_);
    } else {
        SetFocus(window_);
    }
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ControlSearch*>(lParam);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND CreateDialogWindow(DialogKind kind)
{
    return DialogWindow::Create(kind);
}

HWND FindDialogControl(HWND dialog, ControlId id)
{
    // EnumChildWindows visits every descendant, so controls on pages are
    // found as well as those on the window.
    ControlSearch search{id, nullptr};
    EnumChildWindows(dialog, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace nimbrel::win32
