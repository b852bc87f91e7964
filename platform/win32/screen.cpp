// Screen capture and presentation with GDI.
//
// Presenting: a tick changes a few rectangles of the frame, and only those
// are copied. Surfaces made here are DIB sections, kept selected into a
// memory device context of their own; the rectangles become one clipping
// region and one BitBlt from memory that GDI reads in place. Measured under
// Wine this was the cheapest of the ways tried (a BitBlt or a
// SetDIBitsToDevice per rectangle, or the whole frame every tick). Only a
// surface from plain memory (when the system refused a DIB section) goes
// through SetDIBitsToDevice per rectangle. All of these calls exist on every
// Win32 system.
#include "platform/win32/screen.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/win32/handles.h"
#include "settings/errors.h"

namespace nimbrel::win32 {
namespace {

// Describes rows of a surface as a top-down 32-bit DIB.
BITMAPINFO DescribeRows(std::int32_t stride, std::int32_t rows)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = stride;
    info.bmiHeader.biHeight = -rows;  // negative: rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// One DIB section with the memory device context it stays selected into.
class DibSection {
public:
    DibSection(HBITMAP bitmap, HDC dc) : bitmap_(bitmap), dc_(dc), previous_(SelectObject(dc, bitmap)) {}
    ~DibSection()
    {
        SelectObject(dc_.get(), previous_);
        dc_.reset();
        bitmap_.reset();
    }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;
    HDC Dc() const { return dc_.get(); }

private:
    UniqueBitmap bitmap_;
    UniqueMemoryDc dc_;
    HGDIOBJ previous_;
};

// The DIB sections behind live surfaces, found by their first pixel. A
// surface keeps its section alive; an entry whose section is gone is dropped
// when the next one is added.
struct SectionEntry {
    const Pixel* Pixels;
    std::weak_ptr<DibSection> Section;
};

std::vector<SectionEntry>& Sections()
{
    static std::vector<SectionEntry> sections;
    return sections;
}

DWORD& CaptureOperationStore()
{
    static DWORD operation = SRCCOPY;
    return operation;
}

HDC SectionDc(const Surface& surface)
{
    if (surface.Height() == 0) return nullptr;
    const Pixel* pixels = surface.Row(0).data();
    for (const SectionEntry& entry : Sections()) {
        if (entry.Pixels != pixels) continue;
        if (auto section = entry.Section.lock()) return section->Dc();
    }
    return nullptr;
}

} // namespace

void ChooseCaptureOperation(std::uint32_t platformId, std::uint32_t majorVersion)
{
    // BitBlt's reference: CAPTUREBLT "includes any windows that are layered
    // on top of your window in the resulting image"; without it the image
    // holds only the window itself. Layered windows came with Windows 2000
    // (SetLayeredWindowAttributes' reference gives it as the oldest system),
    // so older systems are not asked to understand the flag.
    constexpr std::uint32_t kNtFamily = 2;  // VER_PLATFORM_WIN32_NT
    const bool layeredWindows = platformId == kNtFamily && majorVersion >= 5;
    CaptureOperationStore() = layeredWindows ? SRCCOPY | CAPTUREBLT : SRCCOPY;
}

DWORD CaptureOperation() { return CaptureOperationStore(); }

std::int32_t Win32Screen::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
std::int32_t Win32Screen::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

PixelRect Win32Screen::VirtualScreen()
{
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) return {0, 0, ScreenWidth(), ScreenHeight()};
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + width, top + height};
}

Surface Win32Screen::CreateSurface(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxSurfacePixels) {
        return Surface(width, height);  // empty, or refused with the surface error
    }
    BITMAPINFO info = DescribeRows(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = bitmap ? CreateCompatibleDC(nullptr) : nullptr;
    if (!bitmap || !bits || !dc) {
        if (dc) DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
        return Surface(width, height);
    }
    auto section = std::make_shared<DibSection>(bitmap, dc);
    auto& sections = Sections();
    std::erase_if(sections, [](const SectionEntry& entry) { return entry.Section.expired(); });
    sections.push_back({static_cast<const Pixel*>(bits), section});

    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::span<Pixel> memory(static_cast<Pixel*>(bits), count);
    std::fill(memory.begin(), memory.end(), PixelFromColour(kWhite));
    return Surface(memory, width, height, width, std::move(section));
}

void Win32Screen::CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top)
{
    const std::int32_t width = surface.Width(), height = surface.Height();
    if (width <= 0 || height <= 0) return;
    WindowDc screen(nullptr);
    if (!screen) return;
    // A DIB section takes the screen's pixels straight from one BitBlt.
    if (HDC section = SectionDc(surface)) {
        BitBlt(section, 0, 0, width, height, screen.get(), left, top, CaptureOperation());
        GdiFlush();
        return;
    }
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) return;
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    BOOL copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), left, top, CaptureOperation());
    SelectObject(memory.get(), previous);
    if (!copied) return;

    // Surfaces keep their rows width pixels apart, as GetDIBits writes them.
    BITMAPINFO info = DescribeRows(width, height);
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), surface.Row(0).data(), &info,
              DIB_RGB_COLORS);
}

void PresentSurface(HDC target, const Surface& surface, std::span<const PixelRect> rects)
{
    if (!target) return;
    // The rectangles clipped to the surface, and their bounding box.
    static std::vector<RECT> clipped;  // reused: the user-interface thread is the only caller
    clipped.clear();
    RECT bounds{0, 0, 0, 0};
    for (const PixelRect& rect : rects) {
        const RECT inside{std::max<LONG>(rect.Left, 0), std::max<LONG>(rect.Top, 0),
                          std::min<LONG>(rect.Right, surface.Width()), std::min<LONG>(rect.Bottom, surface.Height())};
        if (inside.left >= inside.right || inside.top >= inside.bottom) continue;
        if (clipped.empty()) {
            bounds = inside;
        } else {
            bounds = {std::min(bounds.left, inside.left), std::min(bounds.top, inside.top),
                      std::max(bounds.right, inside.right), std::max(bounds.bottom, inside.bottom)};
        }
        clipped.push_back(inside);
    }
    if (clipped.empty()) return;

    const HDC section = SectionDc(surface);
    if (!section) {
        for (const RECT& rect : clipped) {
            // The rectangle's rows as a DIB of their own, so that no
            // bottom-up/top-down source origin rule is involved.
            const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
            BITMAPINFO info = DescribeRows(surface.Stride(), height);
            SetDIBitsToDevice(target, rect.left, rect.top, static_cast<DWORD>(width), static_cast<DWORD>(height),
                              rect.left, 0, 0, static_cast<UINT>(height), surface.Row(rect.top).data(), &info,
                              DIB_RGB_COLORS);
        }
        return;
    }

    // Several rectangles become one clipping region and one BitBlt of
    // their bounding box: GDI copies only what lies inside the region, and
    // the call costs the same however many rectangles there are.
    HRGN region = nullptr;
    if (clipped.size() > 1) {
        static std::vector<std::byte> data;
        data.resize(sizeof(RGNDATAHEADER) + clipped.size() * sizeof(RECT));
        RGNDATAHEADER header{};
        header.dwSize = sizeof(RGNDATAHEADER);
        header.iType = RDH_RECTANGLES;
        header.nCount = static_cast<DWORD>(clipped.size());
        header.rcBound = bounds;
        std::memcpy(data.data(), &header, sizeof header);
        std::memcpy(data.data() + sizeof header, clipped.data(), clipped.size() * sizeof(RECT));
        region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                 reinterpret_cast<const RGNDATA*>(data.data()));
        if (region) SelectClipRgn(target, region);
    }
    if (region || clipped.size() == 1) {
        BitBlt(target, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, section,
               bounds.left, bounds.top, SRCCOPY);
    } else {
        // No region: one BitBlt per rectangle.
        for (const RECT& rect : clipped) {
            BitBlt(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, section, rect.left,
                   rect.top, SRCCOPY);
        }
    }
    if (region) {
        SelectClipRgn(target, nullptr);
        DeleteObject(region);
    }
    // GDI may batch the copies; the next tick writes the section's pixels,
    // which must not happen before the copies have read them.
    GdiFlush();
}

} // namespace nimbrel::win32
