// The Xvfb server, the daemon's stand-in window, the hack's process and the
// rendered frames that the hack's tests compare against.

// GoogleTest before Xlib, whose None macro would break it.
#include <gtest/gtest.h>

#include "tests/x11/hack_session.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace nimbrel::x11::testing {
namespace {

// Errors of the tests' own requests (reading a window that is gone) must
// not end the test program, as Xlib's default handler would.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Starts a program with its standard output dropped and its standard error
// in a file (or dropped); `prepare` runs in the child before the program.
pid_t Spawn(std::vector<std::string> args, const std::string& errorFile, const std::function<void()>& prepare)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(errorFile.empty() ? null : open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    prepare();
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

std::uint64_t HashPixels(const Surface& surface)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (Pixel pixel : surface.Row(y)) hash = (hash ^ pixel) * 1099511628211ull;
    }
    return hash;
}

bool OneColour(const Surface& surface)
{
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (Pixel pixel : surface.Row(y)) {
            if (pixel != surface.Row(0)[0]) return false;
        }
    }
    return true;
}

Pixmap CopyOfRoot(Display* display)
{
    const int screen = DefaultScreen(display);
    const auto width = static_cast<unsigned>(DisplayWidth(display, screen));
    const auto height = static_cast<unsigned>(DisplayHeight(display, screen));
    const Pixmap pixmap = XCreatePixmap(display, DefaultRootWindow(display), width, height,
                                        static_cast<unsigned>(DefaultDepth(display, screen)));
    XGCValues values{};
    values.subwindow_mode = IncludeInferiors;
    GC gc = XCreateGC(display, pixmap, GCSubwindowMode, &values);
    XCopyArea(display, DefaultRootWindow(display), pixmap, gc, 0, 0, width, height, 0, 0);
    XFreeGC(display, gc);
    return pixmap;
}

// A mapped window with a black background and the given screenshot.
Window MakeWindow(Display* display, Window parent, int x, int y, int width, int height, const XVisualInfo* visual,
                  Pixmap screenshot)
{
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    // Opaque black, also for a 32-bit visual: a pixel that is not opaque later is the hack's.
    attributes.background_pixel = visual ? 0xFF000000 : BlackPixel(display, DefaultScreen(display));
    unsigned long mask = CWOverrideRedirect | CWBackPixel;
    if (visual) {
        attributes.colormap = XCreateColormap(display, parent, visual->visual, AllocNone);
        mask |= CWColormap | CWBorderPixel;
    }
    const Window window = XCreateWindow(display, parent, x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, visual ? visual->depth : CopyFromParent,
                                        InputOutput, visual ? visual->visual : CopyFromParent, mask, &attributes);
    if (screenshot != None) {
        const unsigned long value = screenshot;  // format 32 travels as long
        XChangeProperty(display, window, XInternAtom(display, "_SCREENSAVER_SCREENSHOT", False), XA_PIXMAP, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
    }
    XMapRaised(display, window);
    return window;
}

} // namespace

bool WaitUntil(std::chrono::milliseconds limit, const std::function<bool()>& done)
{
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

ScratchDir::ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "nimbrel-x11-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchDir::Home(bool grabDesktopImages)
{
    const std::filesystem::path home = path_ / (grabDesktopImages ? "home-grab" : "home-private");
    std::filesystem::create_directories(home);
    std::ofstream(home / ".xscreensaver") << "timeout:\t0:10:00\ngrabDesktopImages:\t"
                                          << (grabDesktopImages ? "True" : "False") << "\n";
    return home;
}

XServer::XServer(int width, int height, int depth, std::vector<std::string> extraArgs)
{
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth),
                                     "-noreset", "-nolisten", "tcp"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = Spawn(args, "", [&] { close(fds[0]); });
    close(fds[1]);
    // Xvfb writes its display number and a newline once it takes clients.
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    std::array<char, 16> buffer{};
    ssize_t got = 1;
    while (number.find('\n') == std::string::npos && got > 0 && poll(&wait, 1, 30000) > 0) {
        got = read(fds[0], buffer.data(), buffer.size());
        if (got > 0) number.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(fds[0]);
    if (number.find('\n') != std::string::npos) {
        number_ = std::stoi(number);
        display_ = XOpenDisplay(Name().c_str());
    }
    if (!display_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        throw std::runtime_error("Xvfb did not start");
    }
    XSetErrorHandler(IgnoreXError);
}

XServer::~XServer()
{
    if (display_) XCloseDisplay(display_);
    kill(pid_, SIGTERM);
    if (!WaitUntil(std::chrono::seconds(10), [&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; })) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void XServer::PaintRoot(const Surface& picture)
{
    const int screen = DefaultScreen(display_);
    const auto width = static_cast<unsigned>(picture.Width()), height = static_cast<unsigned>(picture.Height());
    const auto depth = static_cast<unsigned>(DefaultDepth(display_, screen));
    const Pixmap pixmap = XCreatePixmap(display_, Root(), width, height, depth);
    XImage* image = XCreateImage(display_, DefaultVisual(display_, screen), depth, ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<Pixel*>(picture.Row(0).data())), width, height,
                                 32, picture.Stride() * 4);
    image->byte_order = LSBFirst;
    GC gc = XCreateGC(display_, pixmap, 0, nullptr);
    XPutImage(display_, pixmap, gc, image, 0, 0, 0, 0, width, height);
    image->data = nullptr;
    XDestroyImage(image);
    XFreeGC(display_, gc);
    XSetWindowBackgroundPixmap(display_, Root(), pixmap);
    XClearWindow(display_, Root());
    XFreePixmap(display_, pixmap);
    XSync(display_, False);
}

DaemonWindow::DaemonWindow(XServer& server) : display_(server.Connection()), screenshot_(CopyOfRoot(display_))
{
    // The daemon fades or blanks the screen before the hack starts.
    XSetWindowBackground(display_, server.Root(), BlackPixel(display_, DefaultScreen(display_)));
    XClearWindow(display_, server.Root());
    window_ = MakeWindow(display_, server.Root(), 0, 0, DisplayWidth(display_, DefaultScreen(display_)),
                         DisplayHeight(display_, DefaultScreen(display_)), nullptr, screenshot_);
    XClassHint classHint{const_cast<char*>("xscreensaver"), const_cast<char*>("XScreenSaver")};
    XSetClassHint(display_, window_, &classHint);
    XSync(display_, False);
}

void DaemonWindow::Destroy()
{
    if (window_ != None) XDestroyWindow(display_, window_);
    XSync(display_, False);
    window_ = None;
}

Window MakePreviewWindow(XServer& server, int x, int y, int width, int height, int depth)
{
    Display* display = server.Connection();
    const Pixmap screenshot = CopyOfRoot(display);
    XVisualInfo visual{};
    if (!XMatchVisualInfo(display, DefaultScreen(display), depth, TrueColor, &visual)) {
        throw std::runtime_error("no TrueColor visual of depth " + std::to_string(depth));
    }
    const Window parent = MakeWindow(display, server.Root(), x - 20, y - 20, width + 40, height + 40, nullptr, None);
    const Window preview = MakeWindow(display, parent, 20, 20, width, height, &visual, screenshot);
    XSync(display, False);
    return preview;
}

Hack::Hack(const XServer* server, const std::vector<std::string>& args, const std::filesystem::path& home,
           std::optional<Window> saverWindow, const std::filesystem::path& errorFile)
    : errorFile_(errorFile)
{
    const char* program = std::getenv("NIMBREL_PROGRAM");
    std::vector<std::string> argv = {program && *program ? program : NIMBREL_PROGRAM_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::array<char, 24> id{};
    if (saverWindow) std::snprintf(id.data(), id.size(), "0x%lx", *saverWindow);  // as the daemon writes it
    pid_ = Spawn(argv, errorFile.string(), [&] {
        setenv("DISPLAY", server ? server->Name().c_str() : ":65000", 1);
        setenv("HOME", home.c_str(), 1);
        unsetenv("XSCREENSAVER_WINDOW");
        if (saverWindow) setenv("XSCREENSAVER_WINDOW", id.data(), 1);
    });
    pidFd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

Hack::~Hack()
{
    if (!code_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (pidFd_ >= 0) close(pidFd_);
}

bool Hack::Running()
{
    int status = 0;
    if (code_ || waitpid(pid_, &status, WNOHANG) != pid_) return !code_;
    code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

std::optional<int> Hack::WaitForExit(std::chrono::milliseconds limit)
{
    // The process's descriptor becomes readable the moment it ends.
    pollfd wait{pidFd_, POLLIN, 0};
    if (!code_ && poll(&wait, 1, static_cast<int>(limit.count())) > 0) Running();
    return code_;
}

std::optional<int> Hack::Stop(int signal, std::chrono::milliseconds limit)
{
    const auto start = Clock::now();
    kill(pid_, signal);
    const std::optional<int> code = WaitForExit(limit);
    stopTime_ = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    return code;
}

std::string Hack::ErrorOutput() const
{
    std::ifstream file(errorFile_);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::optional<Surface> ReadWindow(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    Surface shown(attributes.width, attributes.height);
    bool opaque = true;
    for (int y = 0; y < attributes.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image->data + std::ptrdiff_t{y} * image->bytes_per_line);
        for (int x = 0; x < attributes.width; ++x) {
            opaque = opaque && (attributes.depth != 32 || (row[x] >> 24) == 0xFF);
            shown.Row(y)[static_cast<std::size_t>(x)] = row[x] & 0xFFFFFFu;
        }
    }
    XDestroyImage(image);
    if (!opaque) ADD_FAILURE() << "a 32-bit window shows pixels that are not opaque";
    return opaque ? std::optional<Surface>(std::move(shown)) : std::nullopt;
}

RenderedFrames::RenderedFrames(const Surface& picture, const std::string& settingsText, std::uint32_t seed,
                               int frames)
{
    render::RenderOptions options;
    options.SettingsText = settingsText;
    options.Seed = seed;
    options.Frames = frames;
    render::RenderRun(picture, options, [&](const render::ShownFrame& frame) {
        const std::uint64_t hash = HashPixels(frame.Picture);
        if (frame.Index == 0) unchanged_ = hash;
        // A window nobody has drawn on shows one colour too.
        if (!OneColour(frame.Picture)) found_.emplace(hash, frame.Index);
    });
}

std::optional<int> RenderedFrames::Find(const Surface& shown, bool unchangedToo) const
{
    const std::uint64_t hash = HashPixels(shown);
    const auto found = found_.find(hash);
    if (found == found_.end() || (!unchangedToo && hash == unchanged_)) return std::nullopt;
    return found->second;
}

std::optional<int> WaitForRenderedFrame(Display* display, Window window, const RenderedFrames& frames, Hack& hack,
                                        bool unchangedToo)
{
    std::optional<int> index;
    WaitUntil(std::chrono::seconds(20), [&] {
        if (!hack.Running()) return true;
        const std::optional<Surface> shown = ReadWindow(display, window);
        if (shown) index = frames.Find(*shown, unchangedToo);
        return index.has_value();
    });
    return index;
}

std::optional<Window> WaitForTopLevel(Display* display, const std::string& name)
{
    std::optional<Window> found;
    WaitUntil(std::chrono::seconds(20), [&] {
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* windowName = nullptr;
            XWindowAttributes attributes{};
            if (XFetchName(display, children[i], &windowName) && windowName && name == windowName
                && XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) {
                found = children[i];
            }
            if (windowName) XFree(windowName);
        }
        if (children) XFree(children);
        return found.has_value();
    });
    return found;
}

} // namespace nimbrel::x11::testing
