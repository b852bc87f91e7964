// The screen and the window as the effects see them on X: the desktop
// picture that plays the screen capture, surfaces whose pixels the server
// can read, and presenting rectangles of a surface in a window.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "effects/build_surfaces.h"
#include "effects/surface.h"
#include "platform/x11/pixel_format.h"

// Xlib defines None and Status as macros, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace nimbrel::x11 {

// A visual the hack can draw on: its X description and its pixel layout.
struct DrawingVisual {
    Visual* XVisual = nullptr;
    int Depth = 0;
    PixelFormat Format;
};

// The visual of a window, or nothing when it is not one the hack draws on
// (PixelFormat::FromVisual).
std::optional<DrawingVisual> WindowVisual(Display* display, Window window);

// The window's area in root coordinates, as it is now.
PixelRect WindowArea(Display* display, Window window);

// Milliseconds of a clock that never goes back, not wrapped.
std::uint64_t MonotonicMs();

// The desktop as it was behind a window, the size of the window's area, or
// nothing when it cannot be had. The daemon's screenshot (the window's
// _SCREENSAVER_SCREENSHOT pixmap) comes first: a pixmap of the window's size
// is the window's own picture, a larger one is the whole screen and is cut
// at the window's place. Without one, readRoot lets the root window's
// pixels at the area stand for it: right only before anything was drawn
// over them. What the pixmap or the root does not cover is black.
std::optional<Surface> GrabDesktop(Display* display, Window window, const PixelRect& area, bool readRoot);

// ScreenAccess over one window. The "screen" is the window's area: the run
// covers it and no more. The area keeps the top-left corner the window had
// when the run began and takes the window's size as it is now, so a window
// the user moves and then enlarges grows its picture to the right and down
// instead of shifting it. The capture copies the desktop picture it was
// given.
//
// Presenting is the seam where the way pixels reach the server is chosen;
// today: when the visual has the surfaces' layout, every surface is backed by
// an image the server can read in place (a shared-memory segment with
// MIT-SHM, XShmPutImage; otherwise XPutImage from the surface's memory), and
// each changed rectangle is one request. Other layouts convert the
// rectangles into one staging image first. Nothing here waits for the
// server.
class X11Screen final : public ScreenAccess {
public:
    // area: the window's area when the run begins.
    X11Screen(Display* display, Window window, const PixelRect& area, const DrawingVisual& visual,
              bool sharedMemory);
    ~X11Screen() override;
    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;

    std::int32_t ScreenWidth() override;
    std::int32_t ScreenHeight() override;
    PixelRect VirtualScreen() override;
    Surface CreateSurface(std::int32_t width, std::int32_t height) override;
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override;

    // The picture that the capture reads, with its top-left corner at
    // (left, top) in root coordinates; the rest of the screen reads black.
    void SetDesktopPicture(Surface picture, std::int32_t left, std::int32_t top);

    // Copies each rectangle of the surface to the same place in the window.
    // The rectangles lie inside the surface.
    void Present(GC gc, const Surface& frame, std::span<const PixelRect> rects);

    // Whether presents go through shared memory; false once the server
    // refused it.
    bool UsesSharedMemory() const { return sharedMemory_; }

private:
    struct Backing;
    std::shared_ptr<Backing> MakeBacking(std::int32_t width, std::int32_t height);
    std::shared_ptr<Backing> BackingOf(const Surface& surface);
    void PutRect(GC gc, Backing& backing, const PixelRect& rect);

    Display* display_;
    Window window_;
    std::int32_t left_;
    std::int32_t top_;
    DrawingVisual visual_;
    bool sharedMemory_;
    Surface desktop_;
    std::int32_t desktopLeft_ = 0;
    std::int32_t desktopTop_ = 0;
    // Images behind live surfaces, found by their first pixel; an entry
    // whose surface is gone is dropped when the next one is added.
    std::vector<std::pair<const Pixel*, std::weak_ptr<Backing>>> backings_;
    // Where rectangles are converted when the visual's layout differs.
    std::shared_ptr<Backing> staging_;
};

} // namespace nimbrel::x11
