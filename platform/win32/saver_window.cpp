// TMainForm as a Win32 window: one small function per message, each calling
// the matching handler of the portable TMainForm through RunHandler, so that
// an error is shown and no exception crosses the system's dispatch.
#include "platform/win32/saver_window.h"

#include <cstdint>
#include <memory>

#include "platform/win32/application.h"
#include "platform/win32/error_display.h"
#include "platform/win32/saver_platform_win32.h"
#include "platform/win32/system_api.h"
#include "saver/main_form.h"
#include "saver/saver_run.h"
#include "settings/errors.h"

namespace nimbrel::win32 {
namespace {

constexpr char kSaverClassName[] = "TMainForm";
constexpr char kSaverCaption[] = "Nimbrel";
// The zero-size button that holds the keyboard focus. Its text is its name,
// which nobody sees but which lets a test or tool find it.
constexpr char kBarOffButtonName[] = "TBarOffBtn";
constexpr int kBarOffButtonId = 1;

// The window system's handles travel through the core as 32-bit values, as
// the command line carries them; the program is a 32-bit one.
WindowHandle HandleValue(HWND window)
{
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

HWND HandleFromValue(WindowHandle value)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class SaverWindow {
public:
    SaverWindow() : form_(ProcessSaverRun(), platform_) {}
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;

    TMainForm& Form() { return form_; }

    // From here on the window deletes this object when it is destroyed.
    void HandOverToWindow() { ownedByWindow_ = true; }

    void Attach(HWND window)
    {
        window_ = window;
        platform_.Attach(window);
    }

    void CreateBarOffButton()
    {
        barOffButton_ = CreateWindowUtf8(0, "BUTTON", kBarOffButtonName,
                                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                                         window_, reinterpret_cast<HMENU>(kBarOffButtonId), nullptr);
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return KeepAlive([&] { return Dispatch(message, wParam, lParam); });
    }

    // Key preview: the application's loop shows every message to this filter
    // before the focused control gets it, Alt combinations included. The key
    // goes on to the control afterwards.
    bool PreviewMessage(const MSG& message)
    {
        if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
        return KeepAlive([&] {
            RunHandler([&] { form_.FormKeyDown(); });
            return false;
        });
    }

private:
    // A handler may run a nested message loop (the password dialog), in which
    // the window could be destroyed; this object then lives on until the
    // outermost handler has returned.
    template <typename Body>
    auto KeepAlive(Body body) -> decltype(body())
    {
        ++depth_;
        auto result = body();
        --depth_;
        if (depth_ == 0 && gone_) delete this;
        return result;
    }

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_PAINT: return OnPaint();
        case WM_TIMER: return OnTimer(wParam);
        case WM_MOUSEMOVE:
            RunHandler([&] { form_.FormMouseMove(); });
            return 0;
        case WM_LBUTTONDOWN: return OnPrimaryButtonDown();
        case WM_LBUTTONUP: return OnPrimaryButtonUp(lParam);
        case WM_CAPTURECHANGED:
            primaryButtonPressed_ = false;
            return 0;
        case WM_ACTIVATE:
            // Activation gives the focus to the button, not the window.
            if (LOWORD(wParam) != WA_INACTIVE && barOffButton_) SetFocus(barOffButton_);
            return 0;
        case WM_SETFOCUS:
            if (barOffButton_) SetFocus(barOffButton_);
            return 0;
        case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
        case WM_DISPLAYCHANGE: return OnDisplayChange();
        case WM_CLOSE: return OnClose();
        case WM_DESTROY: return OnDestroy();
        case WM_NCDESTROY:
            SetWindowLongValue(window_, GWLP_USERDATA, 0);
            gone_ = ownedByWindow_;
            return DefaultWindowProc(window_, message, wParam, lParam);
        default: return DefaultWindowProc(window_, message, wParam, lParam);
        }
    }

    LRESULT OnPaint()
    {
        PAINTSTRUCT paint{};
        BeginPaint(window_, &paint);
        RunHandler([&] { form_.FormPaint(); });
        EndPaint(window_, &paint);
        return 0;
    }

    LRESULT OnTimer(WPARAM id)
    {
        if (id == kTimer1Id) RunHandler([&] { form_.Timer1Timer(); });
        if (id == kTimer2Id) RunHandler([&] { form_.Timer2Timer(); });
        return 0;
    }

    // A click is a press and a release of the primary button both on the
    // window; the capture lets the release be seen wherever it happens.
    LRESULT OnPrimaryButtonDown()
    {
        SetCapture(window_);
        primaryButtonPressed_ = true;
        return 0;
    }

    LRESULT OnPrimaryButtonUp(LPARAM position)
    {
        if (!primaryButtonPressed_) return 0;
        primaryButtonPressed_ = false;
        ReleaseCapture();
        RECT client{};
        GetClientRect(window_, &client);
        const POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        if (PtInRect(&client, point)) RunHandler([&] { form_.FormClick(); });
        return 0;
    }

    LRESULT OnSysCommand(WPARAM command, LPARAM lParam)
    {
        std::optional<std::int32_t> answer;
        RunHandler([&] { answer = form_.WMSysCommand(static_cast<std::uint32_t>(command)); });
        if (answer) return *answer;
        return DefaultWindowProc(window_, WM_SYSCOMMAND, command, lParam);
    }

    // A monitor came or went, or the resolution changed. The form covers the
    // new screen (a preview, a child of its parent, is left alone); the
    // whole window is painted again at once, since moving it shifted what it
    // showed and a new part shows nothing until the next paint.
    LRESULT OnDisplayChange()
    {
        RunHandler([&] { form_.WMDisplayChange(); });
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    }

    LRESULT OnClose()
    {
        CloseAction action = CloseAction::Free;
        if (!RunHandler([&] { action = form_.FormClose(); })) return 0;
        switch (action) {
        case CloseAction::None: break;
        case CloseAction::Hide: ShowWindow(window_, SW_HIDE); break;
        case CloseAction::Minimize: ShowWindow(window_, SW_MINIMIZE); break;
        case CloseAction::Free:
            // A test run hands the activation back to the dialog first.
            Application::Get().ReleaseModal(window_);
            DestroyWindow(window_);
            break;
        }
        return 0;
    }

    LRESULT OnDestroy()
    {
        KillTimer(window_, kTimer1Id);
        KillTimer(window_, kTimer2Id);
        RunHandler([&] { form_.FormDestroy(); });
        Application::Get().WindowDestroyed(window_);
        return 0;
    }

    HWND window_ = nullptr;
    HWND barOffButton_ = nullptr;
    Win32SaverPlatform platform_;
    TMainForm form_;
    bool primaryButtonPressed_ = false;
    bool ownedByWindow_ = false;
    bool gone_ = false;
    int depth_ = 0;
};

SaverWindow* FromWindow(HWND window)
{
    if (!window || WindowLongValue(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(SaverWindowProc)) {
        return nullptr;
    }
    return reinterpret_cast<SaverWindow*>(WindowLongValue(window, GWLP_USERDATA));
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SaverWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongValue(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->Attach(window);
    }
    auto* self = reinterpret_cast<SaverWindow*>(WindowLongValue(window, GWLP_USERDATA));
    if (!self) return DefaultWindowProc(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

void RegisterSaverClass()
{
    static const bool registered = [] {
        return RegisterWindowClass(kSaverClassName, SaverWindowProc,
                                   static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }();
    (void)registered;
}

} // namespace

HWND CreateSaverWindow(HWND previewParent)
{
    ProcessSaverRun().PreviewParent = HandleValue(previewParent);
    RegisterSaverClass();

    auto owned = std::make_unique<SaverWindow>();
    SaverWindow* self = owned.get();
    // The standard parameters of a borderless window owned by the
    // application's window; the form turns them into a child's for a preview.
    const CreationParams standard{WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  HandleValue(Application::Get().Handle())};
    const CreationParams params = self->Form().CreateParams(standard);
    const DWORD exStyle = (params.Style & WS_CHILD) ? 0 : WS_EX_TOPMOST;
    HWND window = CreateWindowUtf8(exStyle, kSaverClassName, kSaverCaption, params.Style, 0, 0, 0, 0,
                                   HandleFromValue(params.Parent), nullptr, self);
    if (!window) throw Error("ｳｨﾝﾄﾞｳを作成できません");
    owned.release();
    self->HandOverToWindow();

    self->CreateBarOffButton();
    Application::Get().WindowCreated(window);
    Application::Get().SetMessageFilter(window, [self](MSG& message) { return self->PreviewMessage(message); });
    // Creation is the form's first handler: a refusal in it is shown like
    // any handler's error, and the window goes on with what was made (a
    // window refused its surfaces stays black until input ends it).
    RunHandler([&] {
        StartWindowTimer(window, kTimer1Id, kTimer1Interval);
        StartWindowTimer(window, kTimer2Id, kTimer2InitialInterval);
    });
    RunHandler([&] { self->Form().FormCreate(); });
    return window;
}

void SetSaverClosesOnInput(HWND saverWindow, bool closes)
{
    if (SaverWindow* self = FromWindow(saverWindow)) self->Form().SetClosesOnInput(closes);
}

} // namespace nimbrel::win32
