// The password desktop of Windows NT 4.0 to Server 2003: telling that the
// saver runs there, and drawing the user's desktop without windows from the
// user's settings in place of the blank capture that desktop gives.
#pragma once

#include <windows.h>

#include "effects/build_surfaces.h"

namespace nimbrel::win32 {

// Whether this system and this thread's desktop call for the drawn desktop
// in place of a capture.
bool SnapshotIsDrawn();

// The screen as the saver sees it on the password desktop: the real screen's
// size, monitors and surfaces, and the desktop's colour and wallpaper
// (read afresh from the user's settings) where a capture would come.
class DesktopBackgroundScreen final : public ScreenAccess {
public:
    explicit DesktopBackgroundScreen(ScreenAccess& screen) : screen_(screen) {}

    std::int32_t ScreenWidth() override { return screen_.ScreenWidth(); }
    std::int32_t ScreenHeight() override { return screen_.ScreenHeight(); }
    PixelRect VirtualScreen() override { return screen_.VirtualScreen(); }
    Surface CreateSurface(std::int32_t width, std::int32_t height) override
    {
        return screen_.CreateSurface(width, height);
    }
    // Paints the part of the desktop at (left, top) that the surface covers.
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override;

private:
    ScreenAccess& screen_;
};

} // namespace nimbrel::win32
