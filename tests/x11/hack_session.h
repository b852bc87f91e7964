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
#include <map>
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

// A scratch folder, removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& Path() const { return path_; }
    // A HOME whose ~/.xscreensaver says grabDesktopImages: True or False.
    std::filesystem::path Home(bool grabDesktopImages);

private:
    std::filesystem::path path_;
};

// An Xvfb of its own (-displayfd, -noreset), with a connection to it, and
// its root showing a picture as its background.
class XServer {
public:
    // extraArgs: e.g. {"-extension", "MIT-SHM"}.
    XServer(int width, int height, int depth = 24, std::vector<std::string> extraArgs = {});
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    Display* Connection() const { return display_; }
    std::string Name() const { return ":" + std::to_string(number_); }
    Window Root() const { return DefaultRootWindow(display_); }
    void PaintRoot(const Surface& picture);

private:
    pid_t pid_ = -1;
    int number_ = -1;
    Display* display_ = nullptr;
};

// The daemon's window as XScreenSaver makes it: a copy of the screen in a
// pixmap named by _SCREENSAVER_SCREENSHOT, then an override-redirect window
// of class XScreenSaver over the whole screen. The root is blanked first, so
// only the pixmap still holds the desktop.
class DaemonWindow {
public:
    explicit DaemonWindow(XServer& server);
    ~DaemonWindow();
    Window Id() const { return window_; }
    void Destroy();

private:
    Display* display_;
    Pixmap screenshot_ = None;
    Window window_ = None;
};

// A window of depth `depth` inside a mapped parent at (x, y) of the root,
// with the whole screen's pixmap as its screenshot: the settings' preview.
Window MakePreviewWindow(XServer& server, int x, int y, int width, int height, int depth);

// The hack as a child process with its own environment and its standard
// error in a file.
class Hack {
public:
    Hack(const XServer* server, const std::vector<std::string>& args, const std::filesystem::path& home,
         std::optional<Window> saverWindow, const std::filesystem::path& errorFile);
    ~Hack();

    pid_t Pid() const { return pid_; }
    bool Running();
    // Sends the signal and waits up to `limit` for the end; the exit code
    // (or 128 + a killing signal), nothing when it did not end in time.
    std::optional<int> Stop(int signal, std::chrono::milliseconds limit);
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);
    // The time the last Stop took from the signal to the end.
    std::chrono::microseconds StopTime() const { return stopTime_; }
    std::string ErrorOutput() const;

private:
    pid_t pid_ = -1;
    int pidFd_ = -1;
    std::optional<int> code_;
    std::chrono::microseconds stopTime_{};
    std::filesystem::path errorFile_;
};

// Runs the program to its end (up to a minute) and gives its exit code.
int RunToEnd(const XServer* server, const std::vector<std::string>& args, const std::filesystem::path& home,
             const std::filesystem::path& errorFile);

// The window's pixels as a surface; the alpha byte of a 32-bit visual is
// checked to be opaque and dropped. Nothing when the window cannot be read.
std::optional<Surface> ReadWindow(Display* display, Window window);

// The pictures that a run of nimbrel-render shows, by content. Frames of
// one colour are never found: a window nobody drew on looks like them.
class RenderedFrames {
public:
    RenderedFrames(const Surface& picture, const std::string& settingsText, std::uint32_t seed, int frames);
    // The index of the frame that looks like this, if any.
    std::optional<int> Find(const Surface& shown) const;
    // Whether frame `index` differs from frame 0 (the picture unchanged).
    bool Changed(int index) const { return hashes_.at(static_cast<std::size_t>(index)) != hashes_.front(); }

private:
    std::vector<std::uint64_t> hashes_;
    std::unordered_map<std::uint64_t, int> first_;
};

// Reads the window until it shows a rendered frame that differs from the
// picture (or, with anyFrame, any rendered frame), up to 20 seconds; the
// frame's index, or nothing. Stops early when the hack has ended.
std::optional<int> WaitForRenderedFrame(Display* display, Window window, const RenderedFrames& frames, Hack& hack,
                                        bool anyFrame = false);

// The first top-level window whose name is `name`, waited for until it is
// mapped.
std::optional<Window> WaitForTopLevel(Display* display, const std::string& name);

} // namespace nimbrel::x11::testing
