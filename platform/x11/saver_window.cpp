// TMainForm on X: one small function per event, each calling the matching
// handler of the portable TMainForm through RunHandler, and one loop that
// waits on the X connection, the stop signals and the next timer at once.
// The form's header first: Xlib's None and Status macros would break it.
#include "saver/main_form.h"
#include "saver/saver_run.h"

#include "platform/x11/saver_window.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <array>
#include <cstdio>
#include <exception>
#include <string>

#include "platform/x11/error_display.h"
#include "platform/x11/handles.h"
#include "platform/x11/saver_platform_x11.h"

namespace nimbrel::x11 {
namespace {

std::string WindowName(Window window)
{
    std::array<char, 24> text{};
    std::snprintf(text.data(), text.size(), "0x%lx", window);
    return text.data();
}

// A handler's error is reported and the run goes on, as the Windows
// message loop shows it and goes on.
template <typename Body>
void RunHandler(Body body)
{
    try {
        body();
    } catch (const std::exception& error) {
        ReportError(error.what());
    }
}

class SaverWindow {
public:
    explicit SaverWindow(SaverWindowSetup& setup)
        : setup_(setup),
          display_(setup.XDisplay),
          window_(setup.Target),
          gc_(display_, XCreateGC(display_, window_, 0, nullptr)),
          screen_(display_, window_, setup.Area, setup.Visual, setup.SharedMemory),
          platform_(screen_, *setup.SeedClock, gc_.get()),
          form_(ProcessSaverRun(), platform_)
    {
        deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        screen_.SetDesktopPicture(std::move(setup.Desktop), setup.Area.Left, setup.Area.Top);
        platform_.SetWindowSize(static_cast<std::int32_t>(setup.Area.Width()),
                                static_cast<std::int32_t>(setup.Area.Height()));
    }

    int Run()
    {
        long events = ExposureMask | StructureNotifyMask;
        if (setup_.Owner == WindowOwner::Own) events |= KeyPressMask;
        XSelectInput(display_, window_, events);
        // From here on ConfigureNotify tells every change of size; the size
        // may have changed since the area was read.
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display_, window_, &attributes)) {
            platform_.SetWindowSize(attributes.width, attributes.height);
        }

        RunHandler([&] { form_.FormCreate(); });
        // Under the daemon, as in a preview, input never ends the run.
        if (setup_.Owner != WindowOwner::Own) form_.SetClosesOnInput(false);

        if (setup_.Owner == WindowOwner::Own) {
            XMapWindow(display_, window_);  // its first Expose paints it
        } else {
            RunHandler([&] { form_.FormPaint(); });
        }
        const int code = Loop();

        RunHandler([&] { form_.FormClose(); });
        RunHandler([&] { form_.FormDestroy(); });
        if (setup_.Owner == WindowOwner::Own && !windowGone_) XDestroyWindow(display_, window_);
        XFlush(display_);
        return code;
    }

private:
    int Loop()
    {
        while (true) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                Dispatch(event);
            }
            if (windowGone_) {
                ReportError("the window " + WindowName(window_) + " was destroyed");
                return kExitRunFailed;
            }
            if (std::optional<std::string> error = TakeXError(display_)) {
                ReportError("X error: " + *error);
                return kExitRunFailed;
            }
            if (displayChanged_) {
                displayChanged_ = false;
                RunHandler([&] { form_.WMDisplayChange(); });
            }
            if (platform_.CloseRequested()) return kExitRunEnded;

            const std::uint64_t now = MonotonicMs();
            TimerSchedule& timers = platform_.Timers();
            if (timers.Timer1Due(now)) RunHandler([&] { form_.Timer1Timer(); });
            if (timers.Timer2Due(now)) RunHandler([&] { form_.Timer2Timer(); });
            if (XPending(display_) > 0) continue;  // a tick's requests may have brought events

            const std::uint64_t next = timers.NextDeadline();
            const std::uint64_t later = MonotonicMs();
            const int timeout = next > later ? static_cast<int>(std::min<std::uint64_t>(next - later, 1000)) : 0;
            std::array<pollfd, 2> waits{{{ConnectionNumber(display_), POLLIN, 0}, {setup_.StopFd, POLLIN, 0}}};
            poll(waits.data(), waits.size(), timeout);
            if (waits[1].revents != 0) return kExitRunEnded;
        }
    }

    void Dispatch(XEvent& event)
    {
        switch (event.type) {
        case Expose:
            // One paint for the whole series of exposed pieces.
            if (event.xexpose.count == 0) RunHandler([&] { form_.FormPaint(); });
            break;
        case ConfigureNotify: OnConfigure(event.xconfigure); break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window_) windowGone_ = true;
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) platform_.CloseWindow();
            break;
        case KeyPress: OnKeyPress(event.xkey); break;
        default: break;
        }
    }

    // A window that grows past the surfaces gets new ones at its new size;
    // one that shrinks only shows less of them.
    void OnConfigure(const XConfigureEvent& configure)
    {
        if (configure.window != window_) return;
        platform_.SetWindowSize(configure.width, configure.height);
        const Surface& frame = ProcessSaverRun().Surfaces.FrameBitmap;
        if (configure.width > frame.Width() || configure.height > frame.Height()) displayChanged_ = true;
    }

    // q and Escape are the keys that end a run in a window of its own; the
    // form decides, as for a key on Windows.
    void OnKeyPress(XKeyEvent& key)
    {
        KeySym symbol = NoSymbol;
        std::array<char, 8> text{};
        XLookupString(&key, text.data(), static_cast<int>(text.size()), &symbol, nullptr);
        if (symbol == XK_q || symbol == XK_Q || symbol == XK_Escape) RunHandler([&] { form_.FormKeyDown(); });
    }

    SaverWindowSetup& setup_;
    Display* display_;
    Window window_;
    UniqueGc gc_;
    X11Screen screen_;
    X11SaverPlatform platform_;
    TMainForm form_;
    Atom deleteWindow_ = None;
    bool windowGone_ = false;
    bool displayChanged_ = false;
};

} // namespace

int RunSaverWindow(SaverWindowSetup setup)
{
    SaverWindow window(setup);
    return window.Run();
}

} // namespace nimbrel::x11
