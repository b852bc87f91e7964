// Screen capture and presentation with GDI.
#include "platform/win32/screen.h"

#include <algorithm>
#include <vector>

#include "platform/win32/handles.h"

namespace nimbrel::win32 {
namespace {

// Describes a surface's memory as a top-down 32-bit DIB.
BITMAPINFO DescribeSurface(std::int32_t stride, std::int32_t height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = stride;
    info.bmiHeader.biHeight = -height;  // negative: rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

std::int32_t Win32Screen::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
std::int32_t Win32Screen::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

void Win32Screen::CaptureScreen(Surface& surface)
{
    const std::int32_t width = surface.Width(), height = surface.Height();
    if (width <= 0 || height <= 0) return;
    WindowDc screen(nullptr);
    if (!screen) return;
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) return;
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    BOOL copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), previous);
    if (!copied) return;

    // GetDIBits writes rows width pixels apart; read through a buffer when
    // the surface's rows lie further apart.
    BITMAPINFO info = DescribeSurface(width, height);
    if (surface.Stride() == width) {
        GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), surface.Row(0).data(),
                  &info, DIB_RGB_COLORS);
        return;
    }
    std::vector<Pixel> buffer(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), buffer.data(), &info,
                  DIB_RGB_COLORS) == 0) {
        return;
    }
    for (std::int32_t y = 0; y < height; ++y) {
        auto row = std::span(buffer).subspan(static_cast<std::size_t>(y) * width, width);
        std::copy(row.begin(), row.end(), surface.Row(y).begin());
    }
}

void PresentSurface(HDC target, const Surface& surface, std::int32_t width, std::int32_t height)
{
    width = std::min(width, surface.Width());
    height = std::min(height, surface.Height());
    if (!target || width <= 0 || height <= 0) return;
    BITMAPINFO info = DescribeSurface(surface.Stride(), surface.Height());
    StretchDIBits(target, 0, 0, width, height, 0, 0, width, height, surface.Row(0).data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

} // namespace nimbrel::win32
