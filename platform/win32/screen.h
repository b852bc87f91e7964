// The screen and the window as the effects see them: capturing the desktop
// into a Surface and showing rectangles of a Surface in a window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "effects/build_surfaces.h"
#include "effects/surface.h"

namespace nimbrel::win32 {

// The desktop through GDI. Surfaces are DIB sections in the 32-bit DIB
// layout, so the effects write pixels directly and presenting is one BitBlt
// from memory the system can already reach.
class Win32Screen final : public ScreenAccess {
public:
    // The primary monitor.
    std::int32_t ScreenWidth() override;
    std::int32_t ScreenHeight() override;
    // Every monitor (the virtual screen). A system without the virtual-screen
    // metrics (Windows 95, NT 4.0) answers 0 for them: it has one screen.
    PixelRect VirtualScreen() override;
    // A DIB section; plain memory when the system refuses one.
    Surface CreateSurface(std::int32_t width, std::int32_t height) override;
    // A failed capture leaves the surface as it was (white when it is new).
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override;
};

// The raster operation of every screen capture, chosen once at start from the
// system's platform id and major version (GetVersionExA): SRCCOPY, with
// CAPTUREBLT on the NT family from 5.0 (Windows 2000) on. Those systems have
// layered windows (translucent windows, fading menus and tooltips, menu
// shadows), which a capture without CAPTUREBLT leaves out. Until the choice
// is made, SRCCOPY alone.
void ChooseCaptureOperation(std::uint32_t platformId, std::uint32_t majorVersion);
DWORD CaptureOperation();

// Copies each rectangle of the surface to the same place on the device
// context, unscaled; rectangles are clipped to the surface. The device
// context is left without a clipping region of its own.
void PresentSurface(HDC target, const Surface& surface, std::span<const PixelRect> rects);

} // namespace nimbrel::win32
