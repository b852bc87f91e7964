// The password desktop of Windows NT 4.0 to Server 2003: telling that the
// saver runs there, and drawing the user's desktop without windows from the
// user's settings in place of the blank capture that desktop gives.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "effects/build_surfaces.h"

namespace nimbrel::win32 {

// The name of the desktop this thread runs on, in UTF-8; nothing where the
// system cannot say. GetThreadDesktop and GetUserObjectInformationA are
// looked up, since Windows 95 has neither.
std::optional<std::string> ThreadDesktopName();

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

// Every monitor's rectangle in screen coordinates (EnumDisplayMonitors,
// looked up: Windows 98 and 2000 brought it); the primary screen alone where
// the system lacks it.
std::vector<PixelRect> MonitorRects();

// The first of the files (UTF-8 paths) that loads as a bitmap, as 32-bit
// pixels; nothing when none does.
std::optional<Surface> LoadWallpaper(const std::vector<std::string>& files);

} // namespace nimbrel::win32
