// The screen and the window as the effects see them: capturing the primary
// screen into a Surface and showing a Surface's top-left corner in a window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "effects/build_surfaces.h"
#include "effects/surface.h"

namespace nimbrel::win32 {

// The primary screen through GDI. Surfaces are plain memory in the 32-bit
// DIB layout, so capture and presentation are one GDI call each and the
// effects write pixels directly.
class Win32Screen final : public ScreenAccess {
public:
    std::int32_t ScreenWidth() override;
    std::int32_t ScreenHeight() override;
    // A failed capture leaves the surface as it was (white when it is new).
    void CaptureScreen(Surface& surface) override;
};

// Copies PixelRect(0, 0, width, height) of the surface to the device context
// at (0, 0), unscaled.
void PresentSurface(HDC target, const Surface& surface, std::int32_t width, std::int32_t height);

} // namespace nimbrel::win32
