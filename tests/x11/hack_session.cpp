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
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

extern char** environ;

namespace nimbrel::x11::testing {
namespace {

// Errors of the tests' own requests (reading a window that is gone) must
// not end the test program, as Xlib's default handler would.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string Hex(unsigned long id)
{
    std::array<char, 24> text{};
    std::snprintf(text.data(), text.size(), "0x%lx", id);
    return text.data();
}

std::uint64_t HashPixels(const Surface& surface)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (Pixel pixel : surface.Row(y)) {
            hash = (hash ^ pixel) * 1099511628211ull;
        }
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
    const Window root = RootWindow(display, screen);
    const Pixmap pixmap = XCreatePixmap(display, root, static_cast<unsigned>(DisplayWidth(display, screen)),
                                        static_cast<unsigned>(DisplayHeight(display, screen)),
                                        static_cast<unsigned>(DefaultDepth(display, screen)));
    XGCValues values{};
    values.subwindow_mode = IncludeInferiors;
    GC gc = XCreateGC(display, pixmap, GCSubwindowMode, &values);
    XCopyArea(display, root, pixmap, gc, 0, 0, static_cast<unsigned>(DisplayWidth(display, screen)),
              static_cast<unsigned>(DisplayHeight(display, screen)), 0, 0);
    XFreeGC(display, gc);
    return pixmap;
}

void SetScreenshot(Display* display, Window window, Pixmap pixmap)
{
    const unsigned long value = pixmap;  // format 32 travels as long
    XChangeProperty(display, window, XInternAtom(display, "_SCREENSAVER_SCREENSHOT", False), XA_PIXMAP, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
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
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                                     std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth),
                                     "-noreset", "-nolisten", "tcp"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = fork();
    if (pid_ == 0) {
        close(pipeFds[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> argv = Pointers(args);
        execvp("Xvfb", argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    std::string number;
    pollfd wait{pipeFds[0], POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
        if (poll(&wait, 1, 1000) <= 0) continue;
        std::array<char, 16> buffer{};
        const ssize_t got = read(pipeFds[0], buffer.data(), buffer.size());
        if (got <= 0) break;
        number.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(pipeFds[0]);
    if (number.find('\n') == std::string::npos) throw std::runtime_error("Xvfb did not say its display");
    number_ = std::stoi(number);
    display_ = XOpenDisplay(Name().c_str());
    if (!display_) throw std::runtime_error("cannot connect to Xvfb at " + Name());
    XSetErrorHandler(IgnoreXError);
}

XServer::~XServer()
{
    if (display_) XCloseDisplay(display_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        if (!WaitUntil(std::chrono::seconds(10), [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
}

void XServer::PaintRoot(const Surface& picture)
{
    const int screen = DefaultScreen(display_);
    const auto width = static_cast<unsigned>(picture.Width()), height = static_cast<unsigned>(picture.Height());
    const Pixmap pixmap =
        XCreatePixmap(display_, Root(), width, height, static_cast<unsigned>(DefaultDepth(display_, screen)));
    std::vector<Pixel> pixels;
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
        const auto row = picture.Row(y);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    XImage* image = XCreateImage(display_, DefaultVisual(display_, screen), static_cast<unsigned>(DefaultDepth(display_, screen)),
                                 ZPixmap, 0, reinterpret_cast<char*>(pixels.data()), width, height, 32,
                                 static_cast<int>(width * 4));
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

DaemonWindow::DaemonWindow(XServer& server) : display_(server.Connection())
{
    const int screen = DefaultScreen(display_);
    screenshot_ = CopyOfRoot(display_);
    // The daemon fades or blanks the screen before the hack starts.
    XSetWindowBackground(display_, server.Root(), BlackPixel(display_, screen));
    XClearWindow(display_, server.Root());

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display_, screen);
    window_ = XCreateWindow(display_, server.Root(), 0, 0, static_cast<unsigned>(DisplayWidth(display_, screen)),
                            static_cast<unsigned>(DisplayHeight(display_, screen)), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XClassHint classHint{const_cast<char*>("xscreensaver"), const_cast<char*>("XScreenSaver")};
    XSetClassHint(display_, window_, &classHint);
    SetScreenshot(display_, window_, screenshot_);
    XMapRaised(display_, window_);
    XSync(display_, False);
}

DaemonWindow::~DaemonWindow()
{
    Destroy();
    XFreePixmap(display_, screenshot_);
    XSync(display_, False);
}

void DaemonWindow::Destroy()
{
    if (window_ == None) return;
    XDestroyWindow(display_, window_);
    XSync(display_, False);
    window_ = None;
}

Window MakePreviewWindow(XServer& server, int x, int y, int width, int height, int depth)
{
    Display* display = server.Connection();
    const int screen = DefaultScreen(display);
    const Pixmap screenshot = CopyOfRoot(display);

    XSetWindowAttributes parentAttributes{};
    parentAttributes.override_redirect = True;
    parentAttributes.background_pixel = BlackPixel(display, screen);
    const Window parent = XCreateWindow(display, server.Root(), x - 20, y - 20, static_cast<unsigned>(width + 40),
                                        static_cast<unsigned>(height + 40), 0, CopyFromParent, InputOutput,
                                        CopyFromParent, CWOverrideRedirect | CWBackPixel, &parentAttributes);
    XVisualInfo info{};
    if (!XMatchVisualInfo(display, screen, depth, TrueColor, &info)) {
        throw std::runtime_error("no TrueColor visual of depth " + std::to_string(depth));
    }
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, server.Root(), info.visual, AllocNone);
    attributes.border_pixel = 0;
    // Opaque black: every pixel that is not opaque later is the hack's.
    attributes.background_pixel = depth == 32 ? 0xFF000000 : 0;
    const Window child = XCreateWindow(display, parent, 20, 20, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, depth, InputOutput, info.visual,
                                       CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    SetScreenshot(display, child, screenshot);
    XMapWindow(display, child);
    XMapRaised(display, parent);
    XSync(display, False);
    return child;
}

Hack::Hack(const XServer* server, const std::vector<std::string>& args, const std::filesystem::path& home,
           std::optional<Window> saverWindow, const std::filesystem::path& errorFile)
    : errorFile_(errorFile)
{
    const char* program = std::getenv("NIMBREL_PROGRAM");
    if (!program || !*program) program = NIMBREL_PROGRAM_PATH;
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text(*entry);
        if (text.starts_with("DISPLAY=") || text.starts_with("HOME=") || text.starts_with("XSCREENSAVER_WINDOW=")) {
            continue;
        }
        env.emplace_back(text);
    }
    env.push_back("DISPLAY=" + (server ? server->Name() : std::string(":65000")));
    env.push_back("HOME=" + home.string());
    if (saverWindow) env.push_back("XSCREENSAVER_WINDOW=" + Hex(*saverWindow));

    pid_ = fork();
    if (pid_ == 0) {
        const int error = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(error, 2);
        std::vector<char*> argp = Pointers(argv);
        std::vector<char*> envp = Pointers(env);
        execve(program, argp.data(), envp.data());
        _exit(127);
    }
    pidFd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

Hack::~Hack()
{
    if (!code_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (pidFd_ >= 0) close(pidFd_);
}

bool Hack::Running()
{
    if (code_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

std::optional<int> Hack::WaitForExit(std::chrono::milliseconds limit)
{
    if (code_) return code_;
    // The process's descriptor becomes readable the moment it ends.
    pollfd wait{pidFd_, POLLIN, 0};
    if (poll(&wait, 1, static_cast<int>(limit.count())) <= 0) return std::nullopt;
    Running();
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

int RunToEnd(const XServer* server, const std::vector<std::string>& args, const std::filesystem::path& home,
             const std::filesystem::path& errorFile)
{
    Hack hack(server, args, home, std::nullopt, errorFile);
    return hack.WaitForExit(std::chrono::minutes(1)).value_or(-1);
}

std::optional<Surface> ReadWindow(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    if (attributes.visual->red_mask != 0xFF0000 || attributes.visual->green_mask != 0xFF00
        || attributes.visual->blue_mask != 0xFF) {
        ADD_FAILURE() << "the tests read only visuals laid out as 0x00RRGGBB";
        return std::nullopt;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    Surface shown(attributes.width, attributes.height);
    bool opaque = true;
    for (int y = 0; y < attributes.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image->data + std::ptrdiff_t{y} * image->bytes_per_line);
        for (int x = 0; x < attributes.width; ++x) {
            if (attributes.depth == 32 && (row[x] >> 24) != 0xFF) opaque = false;
            shown.Row(y)[static_cast<std::size_t>(x)] = row[x] & 0xFFFFFFu;
        }
    }
    XDestroyImage(image);
    if (!opaque) {
        ADD_FAILURE() << "a 32-bit window shows pixels that are not opaque";
        return std::nullopt;
    }
    return shown;
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
        hashes_.push_back(hash);
        // A window nobody has drawn on shows one colour too.
        if (!OneColour(frame.Picture)) first_.emplace(hash, frame.Index);
    });
}

std::optional<int> RenderedFrames::Find(const Surface& shown) const
{
    const auto found = first_.find(HashPixels(shown));
    if (found == first_.end()) return std::nullopt;
    return found->second;
}

std::optional<int> WaitForRenderedFrame(Display* display, Window window, const RenderedFrames& frames, Hack& hack,
                                        bool anyFrame)
{
    std::optional<int> index;
    WaitUntil(std::chrono::seconds(20), [&] {
        if (!hack.Running()) return true;
        const std::optional<Surface> shown = ReadWindow(display, window);
        if (!shown) return false;
        index = frames.Find(*shown);
        if (index && !anyFrame && !frames.Changed(*index)) index.reset();
        return index.has_value();
    });
    return index;
}

std::optional<Window> WaitForTopLevel(Display* display, const std::string& name)
{
    std::optional<Window> found;
    WaitUntil(std::chrono::seconds(20), [&] {
        Window root = None, parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return false;
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* windowName = nullptr;
            XWindowAttributes attributes{};
            if (XFetchName(display, children[i], &windowName) && windowName) {
                if (name == windowName && XGetWindowAttributes(display, children[i], &attributes)
                    && attributes.map_state == IsViewable) {
                    found = children[i];
                }
                XFree(windowName);
            }
        }
        if (children) XFree(children);
        return found.has_value();
    });
    return found;
}

} // namespace nimbrel::x11::testing
