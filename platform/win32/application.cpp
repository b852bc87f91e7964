// The application object and the program's message loop.
#include "platform/win32/application.h"

#include <algorithm>

#include "platform/win32/error_display.h"
#include "platform/win32/system_api.h"

namespace nimbrel::win32 {
namespace {

constexpr char kApplicationClass[] = "NimbrelApplication";

// Posted to the application window when it has been activated.
constexpr UINT kPassActivationMessage = WM_APP + 1;

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // The application window only stands in for the program on the
        // taskbar; closing it closes the main window, which ends the program.
        if (HWND main = Application::Get().MainWindow()) PostMsg(main, WM_CLOSE, 0, 0);
        return 0;
    case WM_ACTIVATE:
        // Its taskbar button activates it, but it has nothing to type into:
        // the window the user last worked in takes the activation over, once
        // this activation has run its course.
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
            PostMsg(window, kPassActivationMessage, 0, 0);
        }
        break;
    case kPassActivationMessage:
        if (GetActiveWindow() == window) {
            HWND working = Application::Get().WorkingWindow();
            if (working && working != window && IsWindowVisible(working) && IsWindowEnabled(working)) {
                // Foreground, not only active: the system's own focus
                // follows, so the activation does not bounce back here.
                SetForegroundWindow(working);
                SetActiveWindow(working);
            }
        }
        return 0;
    default:
        break;
    }
    return DefaultWindowProc(window, message, wParam, lParam);
}

} // namespace

Application& Application::Get()
{
    static Application application;
    return application;
}

Application::Application() : instance_(ProgramInstance()) {}

void Application::SetTitle(std::string_view title)
{
    SetApplicationTitle(title);
    if (handle_) SetWindowTextUtf8(handle_, title);
}

const std::string& Application::Title() const { return ApplicationTitle(); }

HWND Application::Handle()
{
    if (!handle_) {
        RegisterWindowClass(kApplicationClass, ApplicationWindowProc, nullptr);
        // A zero-size visible popup: it never covers anything and owns the
        // program's windows.
        handle_ = CreateWindowUtf8(0, kApplicationClass, Title(),
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                   nullptr, nullptr, nullptr);
    }
    return handle_;
}

void Application::HideWindow()
{
    hidden_ = true;
    if (HWND window = Handle()) ShowWindow(window, SW_HIDE);
}

void Application::WindowCreated(HWND window)
{
    windows_.push_back(window);
    if (!main_) main_ = window;
}

void Application::WindowDestroyed(HWND window)
{
    std::erase(windows_, window);
    RemoveMessageFilter(window);
    if (window == main_) {
        main_ = nullptr;
        PostQuitMessage(0);
    }
}

bool Application::Exists(HWND window) const
{
    return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

void Application::SetMessageFilter(HWND root, MessageFilter filter)
{
    RemoveMessageFilter(root);
    filters_.emplace_back(root, std::move(filter));
}

void Application::RemoveMessageFilter(HWND root)
{
    std::erase_if(filters_, [root](const auto& entry) { return entry.first == root; });
}

bool Application::FilterMessage(MSG& message)
{
    if (!message.hwnd) return false;
    HWND root = RootWindow(message.hwnd);
    // A child window of a foreign parent (the preview) has that parent as
    // its root: look for the nearest ancestor that has a filter.
    for (HWND window = message.hwnd; window; window = GetParent(window)) {
        for (const auto& [filterRoot, filter] : filters_) {
            if (filterRoot == window) {
                // A copy: the filter may create or destroy windows, which
                // changes the list it came from.
                MessageFilter call = filter;
                bool swallowed = false;
                RunHandler([&] { swallowed = call(message); });
                return swallowed;
            }
        }
        if (window == root) break;
    }
    return false;
}

void Application::Run()
{
    if (!main_) return;
    // Shown, at no size, so that the taskbar has a button for the program;
    // the main window takes the activation.
    if (!hidden_) {
        if (HWND application = Handle()) ShowWindow(application, SW_SHOWNOACTIVATE);
    }
    ShowWindow(main_, SW_SHOW);
    MSG message;
    while (main_ && GetMsg(&message, nullptr, 0, 0) > 0) {
        if (FilterMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMsg(&message);
    }
}

void Application::ShowModal(HWND window)
{
    if (!window || !Exists(window)) return;
    // Disable every other window of the program while the modal one lives.
    ModalShowing showing{window, GetActiveWindow(), {}};
    for (HWND other : windows_) {
        if (other != window && IsWindowEnabled(other)) {
            EnableWindow(other, FALSE);
            showing.disabled.push_back(other);
        }
    }
    modal_.push_back(showing);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);

    MSG message;
    bool quit = false;
    while (Exists(window)) {
        int got = GetMsg(&message, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (FilterMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMsg(&message);
    }
    // Normally done already, by the window as it closed.
    ReleaseModal(window);
    // A quit request that arrived meanwhile belongs to the outer loop.
    if (quit) PostQuitMessage(static_cast<int>(message.wParam));
}

void Application::ReleaseModal(HWND window)
{
    auto showing = std::find_if(modal_.begin(), modal_.end(),
                                [window](const ModalShowing& entry) { return entry.window == window; });
    if (showing == modal_.end()) return;
    const ModalShowing released = *showing;
    modal_.erase(showing);
    for (HWND other : released.disabled) {
        if (IsWindow(other)) EnableWindow(other, TRUE);
    }
    // Handing the activation back while the modal window still stands keeps
    // Windows from giving it to another program when the window goes.
    HWND back = released.previousActive;
    if (!back || !IsWindow(back)) back = released.disabled.empty() ? nullptr : released.disabled.front();
    if (back && IsWindow(back) && IsWindowVisible(back)) {
        // Once the window is gone (destroyed other than by its own close),
        // the activation went elsewhere already and is fetched back.
        if (!IsWindow(window) || GetForegroundWindow() == window) SetForegroundWindow(back);
        SetActiveWindow(back);
    }
}

void Application::DestroyRemainingWindows()
{
    while (!windows_.empty()) {
        HWND window = windows_.back();
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
        // DestroyWindow unregisters the window through its WM_DESTROY; make
        // sure a window that is gone without telling us is dropped as well.
        std::erase(windows_, window);
    }
    if (handle_) {
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

} // namespace nimbrel::win32
