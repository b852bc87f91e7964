// What the tests of the native hack run it with: an Xvfb server of their
// own with a known desktop, a stand-in for the XScreenSaver daemon's
// window, the hack as a child process, and the frames nimbrel-render's run
// gives for the same picture and seed. Every wait has an upper bound.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "effects/surface.h"
#include "tools/render/render_run.h"

#include <X11/Xlib.h>

namespace nimbrel::x11::testing {

using Clock = std::chrono::steady_clock;

// Calls `done` until it answers true or the time is up; false then.
bool WaitUntil(std::chrono::milliseconds limit, const std::function<bool()>& done);

// A scratch folder, removed with the object; Home() makes a HOME whose
// ~/.xscreensaver says grabDesktopImages: True or False.
struct ScratchDir {
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path Home(bool grabDesktopImages);
    std::filesystem::path path_;
};

// An Xvfb of its own (-displayfd, -noreset), with a connection to it that
// ignores X errors.
class XServer {
public:
    // extraArgs: e.g. {"-extension", "MIT-SHM"}.
    XServer(int width, int height, int depth = 24, std::vector<std::string> extraArgs = {});
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    Display* Connection() const { return display_; }
    std::string Name() const { return std::string(":").append(std::to_string(number_)); }
    Window Root() const { return DefaultRootWindow(display_); }
    void PaintRoot(const Surface& picture);  // the root's background: the desktop

private:
    pid_t pid_ = -1;
    int number_ = -1;
    Display* display_ = nullptr;
};

// The daemon's window as XScreenSaver makes it: a copy of the screen in a
// pixmap named by _SCREENSAVER_SCREENSHOT on an override-redirect window of
// class XScreenSaver over the whole screen. The root is blanked first, so
// only the pixmap still holds the desktop.
class DaemonWindow {
public:
    explicit DaemonWindow(XServer& server);
    ~DaemonWindow() { Destroy(); }
    Window Id() const { return window_; }
    void Destroy();

private:
    Display* display_;
    Pixmap screenshot_;
    Window window_ = None;
};

// The settings' preview: a window of `depth` at (x, y) on the screen,
// inside a black parent, with the whole screen's copy as its screenshot.
Window MakePreviewWindow(XServer& server, int x, int y, int width, int height, int depth);

// The hack as a child process on the server (none: a display that is not
// there), with HOME and XSCREENSAVER_WINDOW as given and its standard error
// in a file. Killed with the object if it still runs.
class Hack {
public:
    Hack(const XServer* server, const std::vector<std::string>& args, const std::filesystem::path& home,
         std::optional<Window> saverWindow, const std::filesystem::path& errorFile);
    ~Hack();

    bool Running();
    // The exit code (or 128 + a killing signal); nothing when it did not end
    // within the limit.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);
    // Sends the signal and waits; StopTime() is then the time to the end.
    std::optional<int> Stop(int signal, std::chrono::milliseconds limit);
    std::chrono::microseconds StopTime() const { return stopTime_; }
    std::string ErrorOutput() const;

private:
    std::filesystem::path errorFile_;
    pid_t pid_ = -1;
    int pidFd_ = -1;
    std::optional<int> code_;
    std::chrono::microseconds stopTime_{};
};

// The window's pixels, read as 0x00RRGGBB (every visual of the tests' Xvfb
// servers); a 32-bit visual's alpha must be opaque and is dropped. Nothing
// when the window cannot be read.
std::optional<Surface> ReadWindow(Display* display, Window window);

// The pictures that a run of nimbrel-render shows, found by content. Frames
// of one colour are never found: a window nobody drew on looks like them.
class RenderedFrames {
public:
    RenderedFrames(const Surface& picture, const std::string& settingsText, std::uint32_t seed, int frames);
    // The first frame that looks like this; the picture unchanged (frame 0)
    // only with unchangedToo.
    std::optional<int> Find(const Surface& shown, bool unchangedToo) const;

private:
    std::unordered_map<std::uint64_t, int> found_;
    std::uint64_t unchanged_ = 0;
};

// Reads the window until it shows a rendered frame, up to 20 seconds or
// until the hack ends; the frame's index.
std::optional<int> WaitForRenderedFrame(Display* display, Window window, const RenderedFrames& frames, Hack& hack,
                                        bool unchangedToo = false);

// The first mapped top-level window named `name`, waited for.
std::optional<Window> WaitForTopLevel(Display* display, const std::string& name);

} // namespace nimbrel::x11::testing
