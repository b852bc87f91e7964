// The application object: the process-wide owner of the program's windows.
// It has a title and a top-level window of its own (the owner of every other
// window, so none of them shows on the taskbar by itself; it is shown at no
// size, for its taskbar button, except in preview mode), makes the
// first window registered with it the main window, runs the message loop
// until that window is gone, shows windows modally, and destroys what is left
// at the end of the process.
//
// Every window procedure of the program runs its handlers through
// RunHandler (error_display.h): an error escaping a handler is shown there and
// every window goes on as it was.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::win32 {

class Application {
public:
    static Application& Get();

    HINSTANCE Instance() const { return instance_; }

    // The caption of the application window and of the error message boxes.
    void SetTitle(std::string_view title);
    const std::string& Title() const;

    // The application's own top-level window, created on first use; it owns
    // the program's windows. Run shows it unless HideWindow was called.
    HWND Handle();
    void HideWindow();

    // Every window of the program registers itself when it is created and
    // unregisters when it is destroyed. The first one becomes the main window.
    void WindowCreated(HWND window);
    void WindowDestroyed(HWND window);
    HWND MainWindow() const { return main_; }
    // The window the user works in: the innermost modal window, else the
    // main window.
    HWND WorkingWindow() const { return modal_.empty() ? main_ : modal_.back().window; }

    // Called for every message before it is dispatched, with the top-level
    // window that the message's target belongs to; returning true swallows
    // the message. Dialogs use it for Enter and Escape, the saver window to
    // see every key first.
    using MessageFilter = std::function<bool(MSG&)>;
    void SetMessageFilter(HWND root, MessageFilter filter);
    void RemoveMessageFilter(HWND root);

    // Shows the application window (unless hidden) and the main window and
    // dispatches messages until the main window no longer exists; returns at
    // once when there is none.
    void Run();

    // Shows the window modally: every other window of the program is
    // disabled until the window is destroyed, and then enabled again.
    void ShowModal(HWND window);
    // A modally shown window calls this just before it destroys itself: the
    // windows its showing disabled are enabled again and the window that was
    // active before it is activated, while it still stands. Destroyed
    // first, it would leave Windows to pick another program's window to
    // activate, since no window of the program could take it.
    void ReleaseModal(HWND window);

    // Destroys the windows that still exist, newest first, each with its own
    // destruction steps.
    void DestroyRemainingWindows();

private:
    Application();
    bool FilterMessage(MSG& message);
    bool Exists(HWND window) const;

    struct ModalShowing {
        HWND window;
        HWND previousActive;
        std::vector<HWND> disabled;
    };

    HINSTANCE instance_;
    HWND handle_ = nullptr;
    bool hidden_ = false;
    std::vector<ModalShowing> modal_;
    HWND main_ = nullptr;
    std::vector<HWND> windows_;
    std::vector<std::pair<HWND, MessageFilter>> filters_;
};

} // namespace nimbrel::win32
