// The desktop picture, surfaces the server can read, and presenting with
// Xlib and MIT-SHM.
//
// Presenting: a tick changes a few rectangles of the frame, and only those
// are sent, one request each. When the visual lays pixels out as the
// surfaces do (0x00RRGGBB, the usual 24-bit TrueColor visual), every surface
// made here is backed by an XImage over its own pixels: with MIT-SHM the
// pixels live in a shared-memory segment that the server reads in place
// (XShmPutImage), and without it (no extension, or a server on another
// machine, which refuses the attach) XPutImage sends them from the surface's
// memory. Measured on Xvfb at 1920x1080 (README, Benchmarks), this is the
// cheapest of the ways tried: one request for the bounding box of a tick's
// rectangles copies the unchanged rows between Wave's or Noise's bands as
// well, and the server copies whole-width rows no faster than a strip; finer
// rectangles than Melt's joined strips cost the server more per row than
// they save in bytes. Copies inside the server (from the window itself or a
// pixmap of the snapshot) would need the client to prove that the window's
// pixels moved as the frame's did, which means reading the frame and a copy
// of the window: at least as much memory traffic as the copy it replaces.
//
// No present waits for the server, and none asks for a completion event.
// The server may read a shared image after the next tick has begun to write
// it again; it then shows, for a moment, pixels of a later frame. Every pixel
// that differs between two frames lies in the later frame's rectangles,
// which its own present sends again, so once the server has read the last
// present the window shows that frame exactly. A completion event per
// present would wake the hack a second time each tick and make Xlib allocate
// for the event. No present calls XSync; each ends with XFlush.
#include "platform/x11/screen.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>

#include "platform/x11/error_display.h"
#include "platform/x11/handles.h"

namespace nimbrel::x11 {
namespace {

constexpr int kHostByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

int BitsPerPixelOfDepth(Display* display, int depth)
{
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; formats && i < count; ++i) {
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    }
    if (formats) XFree(formats);
    return bits;
}

VisualDescription Describe(Display* display, const Visual* visual, int depth)
{
    return {visual->c_class == TrueColor, depth, BitsPerPixelOfDepth(display, depth),
            static_cast<std::uint32_t>(visual->red_mask), static_cast<std::uint32_t>(visual->green_mask),
            static_cast<std::uint32_t>(visual->blue_mask)};
}

// The layout of pixels of the given depth on the window's screen: the
// root's visual when the depths agree (the daemon's screenshot is a copy of
// the root), else a TrueColor visual of that depth.
std::optional<PixelFormat> FormatOfDepth(Display* display, Window window, int depth)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    XWindowAttributes root{};
    if (!XGetWindowAttributes(display, attributes.root, &root)) return std::nullopt;
    if (root.depth == depth) return PixelFormat::FromVisual(Describe(display, root.visual, depth));
    XVisualInfo info{};
    if (!XMatchVisualInfo(display, XScreenNumberOfScreen(attributes.screen), depth, TrueColor, &info)) {
        return std::nullopt;
    }
    return PixelFormat::FromVisual(Describe(display, info.visual, depth));
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

bool IsEmpty(const PixelRect& rect) { return rect.Left >= rect.Right || rect.Top >= rect.Bottom; }

// Reads the source rectangle of a drawable into the picture at (x, y).
// False when the server refuses (a pixmap that is gone) or the pixels are in
// a layout the hack does not read.
bool ReadDrawable(Display* display, Window window, Drawable drawable, int depth, const PixelRect& source,
                  Surface& picture, std::int32_t x, std::int32_t y)
{
    if (IsEmpty(source)) return true;
    const std::optional<PixelFormat> format = FormatOfDepth(display, window, depth);
    if (!format) return false;
    UniqueImage image;
    {
        XErrorTrap trap(display);
        image.reset(XGetImage(display, drawable, source.Left, source.Top,
                              static_cast<unsigned>(source.Width()), static_cast<unsigned>(source.Height()),
                              AllPlanes, ZPixmap));
        if (trap.Caught()) return false;
    }
    if (!image || image->bits_per_pixel != 32) return false;
    const auto width = static_cast<std::size_t>(source.Width());
    std::vector<std::uint32_t> row(width);
    for (std::int32_t j = 0; j < source.Height(); ++j) {
        std::memcpy(row.data(), image->data + std::ptrdiff_t{j} * image->bytes_per_line, width * 4);
        if (image->byte_order != kHostByteOrder) SwapWordBytes(row);
        format->FromVisualRow(row, picture.Row(y + j).subspan(static_cast<std::size_t>(x), width));
    }
    return true;
}

std::optional<Pixmap> ScreenshotPixmap(Display* display, Window window)
{
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<Pixmap> pixmap;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after,
                           &data) == Success
        && type == XA_PIXMAP && format == 32 && count == 1) {
        // Format 32 properties come back as an array of long.
        pixmap = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return pixmap;
}

} // namespace

std::uint64_t MonotonicMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::optional<DrawingVisual> WindowVisual(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    const std::optional<PixelFormat> format =
        PixelFormat::FromVisual(Describe(display, attributes.visual, attributes.depth));
    if (!format) return std::nullopt;
    return DrawingVisual{attributes.visual, attributes.depth, *format};
}

PixelRect WindowArea(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return {};
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    return {x, y, x + attributes.width, y + attributes.height};
}

std::optional<Surface> GrabDesktop(Display* display, Window window, const PixelRect& area, bool readRoot)
{
    const auto width = static_cast<std::int32_t>(area.Width()), height = static_cast<std::int32_t>(area.Height());
    if (width <= 0 || height <= 0 || area.Width() * area.Height() > kMaxSurfacePixels) return std::nullopt;
    Surface picture(width, height);
    FillArea(picture, {0, 0, width, height}, kBlack);

    if (const std::optional<Pixmap> pixmap = ScreenshotPixmap(display, window)) {
        Window root = None;
        int x = 0, y = 0;
        unsigned int w = 0, h = 0, border = 0, depth = 0;
        bool known = false;
        {
            XErrorTrap trap(display);
            known = XGetGeometry(display, *pixmap, &root, &x, &y, &w, &h, &border, &depth) && !trap.Caught();
        }
        if (known) {
            // The daemon's own windows get a picture of their size; the
            // settings' preview gets the whole screen.
            const bool ownPicture = static_cast<std::int64_t>(w) == width && static_cast<std::int64_t>(h) == height;
            const std::int32_t left = ownPicture ? 0 : area.Left, top = ownPicture ? 0 : area.Top;
            const PixelRect source =
                Intersect({left, top, left + width, top + height},
                          {0, 0, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)});
            if (ReadDrawable(display, window, *pixmap, static_cast<int>(depth), source, picture, source.Left - left,
                             source.Top - top)) {
                return picture;
            }
        }
    }
    if (!readRoot) return std::nullopt;

    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    XWindowAttributes root{};
    if (!XGetWindowAttributes(display, attributes.root, &root)) return std::nullopt;
    const PixelRect source = Intersect(area, {0, 0, root.width, root.height});
    if (!ReadDrawable(display, window, attributes.root, root.depth, source, picture, source.Left - area.Left,
                      source.Top - area.Top)) {
        return std::nullopt;
    }
    return picture;
}

// An image over a surface's pixels, or the staging image: in a segment
// shared with the server, or in memory of its own.
struct X11Screen::Backing {
    BorrowedImage Image;
    std::unique_ptr<SharedSegment> Segment;
    std::vector<Pixel> Memory;

    std::uint32_t* Pixels() const { return reinterpret_cast<std::uint32_t*>(Image->data); }
    std::int32_t Stride() const { return Image->bytes_per_line / 4; }
};

X11Screen::X11Screen(Display* display, Window window, const PixelRect& area, const DrawingVisual& visual,
                     bool sharedMemory)
    : display_(display), window_(window), left_(area.Left), top_(area.Top), visual_(visual),
      sharedMemory_(sharedMemory)
{
    // The server reads a shared segment as it lies, in its own byte order.
    if (ImageByteOrder(display_) != kHostByteOrder) sharedMemory_ = false;
}

X11Screen::~X11Screen() = default;

std::int32_t X11Screen::ScreenWidth() { return static_cast<std::int32_t>(VirtualScreen().Width()); }
std::int32_t X11Screen::ScreenHeight() { return static_cast<std::int32_t>(VirtualScreen().Height()); }
PixelRect X11Screen::VirtualScreen()
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window_, &attributes)) return {left_, top_, left_, top_};
    return {left_, top_, left_ + attributes.width, top_ + attributes.height};
}

std::shared_ptr<X11Screen::Backing> X11Screen::MakeBacking(std::int32_t width, std::int32_t height)
{
    auto backing = std::make_shared<Backing>();
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (sharedMemory_) {
        auto segment = std::make_unique<SharedSegment>(display_, count * sizeof(Pixel));
        BorrowedImage image(XShmCreateImage(display_, visual_.XVisual, static_cast<unsigned>(visual_.Depth),
                                            ZPixmap, nullptr, &segment->Info(), static_cast<unsigned>(width),
                                            static_cast<unsigned>(height)));
        if (image && segment->Address() && image->bytes_per_line == width * 4) {
            image->data = static_cast<char*>(segment->Address());
            if (segment->AttachToServer()) {
                backing->Image = std::move(image);
                backing->Segment = std::move(segment);
                return backing;
            }
            // Refused: a server on another machine. Every later image goes
            // through XPutImage.
            sharedMemory_ = false;
        }
    }
    backing->Memory.resize(count);
    backing->Image.reset(XCreateImage(display_, visual_.XVisual, static_cast<unsigned>(visual_.Depth), ZPixmap, 0,
                                      reinterpret_cast<char*>(backing->Memory.data()), static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 32, width * 4));
    if (!backing->Image) return nullptr;
    // Xlib swaps the bytes on the way when the server's order differs.
    backing->Image->byte_order = kHostByteOrder;
    return backing;
}

std::shared_ptr<X11Screen::Backing> X11Screen::BackingOf(const Surface& surface)
{
    if (surface.Height() == 0) return nullptr;
    const Pixel* first = surface.Row(0).data();
    for (const auto& [pixels, backing] : backings_) {
        if (pixels == first) return backing.lock();
    }
    return nullptr;
}

Surface X11Screen::CreateSurface(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxSurfacePixels
        || !visual_.Format.IsSurfaceLayout()) {
        return Surface(width, height);  // empty, refused, or converted when presented
    }
    std::shared_ptr<Backing> backing = MakeBacking(width, height);
    if (!backing) return Surface(width, height);
    std::erase_if(backings_, [](const auto& entry) { return entry.second.expired(); });
    const std::int32_t stride = backing->Stride();
    std::span<Pixel> memory(backing->Pixels(), static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    std::fill(memory.begin(), memory.end(), PixelFromColour(kWhite));
    backings_.emplace_back(memory.data(), backing);
    return Surface(memory, width, height, stride, std::move(backing));
}

void X11Screen::SetDesktopPicture(Surface picture, std::int32_t left, std::int32_t top)
{
    desktop_ = std::move(picture);
    desktopLeft_ = left;
    desktopTop_ = top;
}

void X11Screen::CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top)
{
    FillArea(surface, {0, 0, surface.Width(), surface.Height()}, kBlack);
    const PixelRect source{0, 0, desktop_.Width(), desktop_.Height()};
    const PixelRect destination{desktopLeft_ - left, desktopTop_ - top, desktopLeft_ - left + desktop_.Width(),
                                desktopTop_ - top + desktop_.Height()};
    CopyArea(surface, destination, desktop_, source);
}

void X11Screen::PutRect(GC gc, Backing& backing, const PixelRect& rect)
{
    const auto width = static_cast<unsigned>(rect.Width()), height = static_cast<unsigned>(rect.Height());
    if (backing.Segment) {
        XShmPutImage(display_, window_, gc, backing.Image.get(), rect.Left, rect.Top, rect.Left, rect.Top, width,
                     height, False);
    } else {
        XPutImage(display_, window_, gc, backing.Image.get(), rect.Left, rect.Top, rect.Left, rect.Top, width,
                  height);
    }
}

void X11Screen::Present(GC gc, const Surface& frame, std::span<const PixelRect> rects)
{
    if (rects.empty()) return;
    std::shared_ptr<Backing> backing = BackingOf(frame);
    if (!backing) {
        // Convert the rectangles into the staging image, made afresh only
        // when the frame has grown past it.
        if (!staging_ || staging_->Image->width < frame.Width() || staging_->Image->height < frame.Height()) {
            staging_.reset();
            staging_ = MakeBacking(frame.Width(), frame.Height());
            if (!staging_) return;
        }
        const std::int32_t stride = staging_->Stride();
        for (const PixelRect& rect : rects) {
            const auto width = static_cast<std::size_t>(rect.Width());
            for (std::int32_t y = rect.Top; y < rect.Bottom; ++y) {
                visual_.Format.ToVisualRow(frame.Row(y).subspan(static_cast<std::size_t>(rect.Left), width),
                                           {staging_->Pixels() + std::ptrdiff_t{y} * stride + rect.Left, width});
            }
        }
        backing = staging_;
    }
    for (const PixelRect& rect : rects) PutRect(gc, *backing, rect);
    XFlush(display_);
}

} // namespace nimbrel::x11
