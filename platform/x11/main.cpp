// The entry point of `nimbrel`, the native XScreenSaver hack: the options,
// the window to draw in, the desktop picture the user allows, then one saver
// run.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/hack_options.h"
#include "app/hack_picture.h"
#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "platform/x11/error_display.h"
#include "platform/x11/grab_setting.h"
#include "platform/x11/handles.h"
#include "platform/x11/saver_window.h"
#include "tools/render/picture_files.h"

namespace nimbrel::x11 {
namespace {

constexpr int kExitUsage = 2;           // a bad command line, or a window that is not there
constexpr int kExitCannotStart = 1;     // no display, an unusable visual, an unreadable picture

constexpr std::int32_t kOwnWindowWidth = 1280;
constexpr std::int32_t kOwnWindowHeight = 720;

// The stop signals reach the event loop through a pipe, the one thing a
// signal handler may safely touch.
int stopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    const int saved = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
    errno = saved;
}

int InstallStopSignals()
{
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return stopPipe[0];
}

class StartError : public std::runtime_error {
public:
    StartError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

bool WindowExists(Display* display, Window window)
{
    XErrorTrap trap(display);
    XWindowAttributes attributes{};
    const Status status = XGetWindowAttributes(display, window, &attributes);
    return !trap.Caught() && status != 0;
}

// The window the options name, and whose it is.
std::pair<Window, WindowOwner> ChooseWindow(Display* display, const HackOptions& options)
{
    auto existing = [&](Window window, const std::string& what) {
        if (!WindowExists(display, window)) throw StartError(kExitUsage, what + " is not a window on this display");
        return window;
    };
    switch (options.Target) {
    case HackTarget::WindowId: {
        std::array<char, 24> name{};
        std::snprintf(name.data(), name.size(), "0x%lx", static_cast<unsigned long>(options.WindowId));
        return {existing(options.WindowId, std::string("--window-id ") + name.data()), WindowOwner::Daemon};
    }
    case HackTarget::Root:
        if (const char* variable = std::getenv("XSCREENSAVER_WINDOW"); variable && *variable) {
            const std::optional<std::uint32_t> id = ParseWindowId(variable);
            const std::string name = std::string("XSCREENSAVER_WINDOW=") + variable;
            if (!id) throw StartError(kExitUsage, name + " is not a window id");
            return {existing(*id, name), WindowOwner::Daemon};
        }
        return {DefaultRootWindow(display), WindowOwner::Root};
    case HackTarget::OwnWindow: break;
    }
    return {None, WindowOwner::Own};
}

DrawingVisual VisualOf(Display* display, Window window)
{
    std::optional<DrawingVisual> visual = WindowVisual(display, window);
    if (!visual) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        throw StartError(kExitCannotStart, "the window's visual (depth " + std::to_string(attributes.depth)
                                               + ") is not a 24- or 32-bit TrueColor one; nimbrel draws only on those");
    }
    return *visual;
}

Window CreateOwnWindow(Display* display)
{
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, kOwnWindowWidth, kOwnWindowHeight, 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixel, &attributes);
    XStoreName(display, window, "Nimbrel");
    XClassHint classHint{const_cast<char*>("nimbrel"), const_cast<char*>("Nimbrel")};
    XSetClassHint(display, window, &classHint);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    return window;
}

// grabDesktopImages from ~/.xscreensaver, the server's resources and the
// app-defaults, in that order.
bool DesktopAllowed(Display* display)
{
    std::optional<std::string> userFile;
    if (const char* home = std::getenv("HOME"); home && *home) {
        userFile = ReadTextFile(std::filesystem::path(home) / ".xscreensaver");
    }
    std::optional<std::string> serverResources;
    if (const char* resources = XResourceManagerString(display)) serverResources = resources;
    return GrabDesktopImagesAllowed(userFile, serverResources, ReadTextFile(kAppDefaultsFile));
}

// The given picture at the area's top-left corner, black around it.
Surface PlacedPicture(const Surface& picture, const PixelRect& area)
{
    Surface placed(static_cast<std::int32_t>(area.Width()), static_cast<std::int32_t>(area.Height()));
    FillArea(placed, {0, 0, placed.Width(), placed.Height()}, kBlack);
    CopyArea(placed, {0, 0, picture.Width(), picture.Height()}, picture, {0, 0, picture.Width(), picture.Height()});
    return placed;
}

int Run(std::span<const std::string_view> args)
{
    // First of all, so that a stop that comes early still ends the run
    // with code 0 instead of killing it.
    const int stopFd = InstallStopSignals();
    if (stopFd < 0) throw StartError(kExitCannotStart, "cannot make the pipe for the stop signals");

    const HackOptions options = ParseHackOptions(args);
    if (options.Help) {
        std::cout << HackUsage();
        return kExitRunEnded;
    }
    std::optional<Surface> picture;
    if (options.Picture) {
        try {
            picture = render::ReadPng(*options.Picture);
        } catch (const std::exception& error) {
            throw StartError(kExitCannotStart, error.what());
        }
    }
    // The options are the settings file of this run.
    MemoryProfileStore store;
    StoreHackSettings(options, store);
    SetCurrentProfileStore(&store);
    FixedClock seedClock({0, 0, 0, options.Seed.value_or(0)});

    UniqueDisplay display(XOpenDisplay(nullptr));
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        throw StartError(kExitCannotStart, std::string("cannot open the X display ")
                                               + (name && *name ? name : "(DISPLAY is not set)"));
    }
    InstallXErrorHandlers();

    auto [window, owner] = ChooseWindow(display.get(), options);
    const DrawingVisual visual =
        VisualOf(display.get(), owner == WindowOwner::Own ? DefaultRootWindow(display.get()) : window);
    if (owner == WindowOwner::Own) window = CreateOwnWindow(display.get());
    const PixelRect area = WindowArea(display.get(), window);

    // The desktop only when the user allows it; read before anything is
    // drawn or mapped, so it is the desktop as it was.
    std::optional<Surface> desktop;
    if (DesktopAllowed(display.get())) {
        desktop = GrabDesktop(display.get(), window, area, owner != WindowOwner::Daemon);
    }
    if (!desktop) {
        desktop = picture ? PlacedPicture(*picture, area)
                          : MakeColourBars(static_cast<std::int32_t>(area.Width()),
                                           static_cast<std::int32_t>(area.Height()));
    }

    SaverWindowSetup setup{display.get(), window, owner, visual, XShmQueryExtension(display.get()) == True, area,
                           std::move(*desktop), options.Seed ? &seedClock : &SystemClock(), stopFd};
    const int code = RunSaverWindow(std::move(setup));
    SetCurrentProfileStore(nullptr);
    return code;
}

} // namespace
} // namespace nimbrel::x11

int main(int argc, char** argv)
{
    using namespace nimbrel;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        return x11::Run(args);
    } catch (const HackUsageError& error) {
        x11::ReportError(error.what());
        return x11::kExitUsage;
    } catch (const x11::StartError& error) {
        x11::ReportError(error.what());
        return error.Code();
    } catch (const std::exception& error) {
        x11::ReportError(error.what());
        return x11::kExitCannotStart;
    }
}
