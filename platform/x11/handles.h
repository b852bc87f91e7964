// Owners for the X resources and shared memory the hack holds, so that
// nothing leaks on an early return or an exception.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstddef>
#include <memory>

namespace nimbrel::x11 {

struct DisplayCloser {
    void operator()(Display* display) const { if (display) XCloseDisplay(display); }
};
using UniqueDisplay = std::unique_ptr<Display, DisplayCloser>;

// An image whose pixels Xlib allocated (XGetImage): they go with it.
struct ImageDeleter {
    void operator()(XImage* image) const { if (image) XDestroyImage(image); }
};
using UniqueImage = std::unique_ptr<XImage, ImageDeleter>;

// An image made over pixel memory that someone else owns: only the image
// structure is freed.
struct BorrowedImageDeleter {
    void operator()(XImage* image) const
    {
        if (!image) return;
        image->data = nullptr;
        XDestroyImage(image);
    }
};
using BorrowedImage = std::unique_ptr<XImage, BorrowedImageDeleter>;

// A graphics context or a pixmap, freed on the display that made it.
class UniqueGc {
public:
    UniqueGc(Display* display, GC gc) : display_(display), gc_(gc) {}
    ~UniqueGc() { if (gc_) XFreeGC(display_, gc_); }
    UniqueGc(const UniqueGc&) = delete;
    UniqueGc& operator=(const UniqueGc&) = delete;
    GC get() const { return gc_; }

private:
    Display* display_;
    GC gc_;
};

class UniquePixmap {
public:
    UniquePixmap(Display* display, Pixmap pixmap) : display_(display), pixmap_(pixmap) {}
    ~UniquePixmap() { if (pixmap_ != None) XFreePixmap(display_, pixmap_); }
    UniquePixmap(const UniquePixmap&) = delete;
    UniquePixmap& operator=(const UniquePixmap&) = delete;
    Pixmap get() const { return pixmap_; }

private:
    Display* display_;
    Pixmap pixmap_;
};

// A shared-memory segment mapped into this process and, after
// AttachToServer succeeded, into the X server. The segment is marked for
// removal as soon as the server holds it, so the system frees it when both
// sides have let go, even when the process is killed.
class SharedSegment {
public:
    // Creates and maps a private segment; Address() is null when the system
    // refuses.
    SharedSegment(Display* display, std::size_t bytes);
    ~SharedSegment();
    SharedSegment(const SharedSegment&) = delete;
    SharedSegment& operator=(const SharedSegment&) = delete;

    void* Address() const { return info_.shmaddr; }
    XShmSegmentInfo& Info() { return info_; }

    // Asks the server to map the segment too, waiting for its answer. False
    // when it refuses, as a server on another machine does.
    bool AttachToServer();

private:
    Display* display_;
    XShmSegmentInfo info_{};
    bool attached_ = false;
};

} // namespace nimbrel::x11
