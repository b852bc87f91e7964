// What the saver's snapshot shows when the screen cannot be read: the user's
// desktop as it looks without windows, its background colour and wallpaper
// drawn on a surface. The platform gathers the settings and the picture; the
// decisions and the drawing are here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "effects/surface.h"

namespace nimbrel {

// Where the snapshot comes from.
enum class SnapshotSource {
    Screen,             // a capture of what the screen shows
    DesktopBackground,  // the desktop's colour and wallpaper, drawn
};

// With the screen-saver password on, Windows NT 4.0, 2000, XP and Server 2003
// start the saver on a desktop of its own, where the user's windows and
// wallpaper cannot be read, so a capture is blank. There the desktop
// background stands in. Windows 95, 98 and Me have no desktops, and Vista and
// later start the saver on the user's desktop, so those always capture.
//   platformId: GetVersionEx's platform id; majorVersion: its major version;
//   threadDesktop: the name of the desktop the saver runs on, nothing when
//   the system cannot say.
SnapshotSource ChooseSnapshotSource(std::uint32_t platformId, std::uint32_t majorVersion,
                                    std::optional<std::string_view> threadDesktop);

enum class WallpaperStyle { Centred, Tiled, Stretched };

// The style that the two desktop settings give, as texts: TileWallpaper "1"
// tiles; otherwise WallpaperStyle "2" stretches; anything else centres. A
// value is read as the decimal number at its start, after spaces; a value
// that does not start with one counts as 0, as a missing one does.
WallpaperStyle ReadWallpaperStyle(std::string_view tileWallpaper, std::string_view wallpaperStyle);

// The files that the Wallpaper setting may name, in the order to try them.
// Empty or "(None)" names no wallpaper. A name without a folder lies in the
// Windows directory or else in the system directory, as the system looks for
// it; any other name is used as it stands.
std::vector<std::string> WallpaperFileCandidates(std::string_view wallpaper, std::string_view windowsDirectory,
                                                 std::string_view systemDirectory);

// Paints the desktop without windows onto target, which shows the screen
// rectangle area: the background colour everywhere, and on every monitor
// (screen rectangles) the wallpaper, if any, in its style: centred on the
// monitor (cut where it is larger), tiled from the monitor's top-left corner,
// or stretched to the monitor's size by taking the nearest pixel. Nothing
// is drawn outside a monitor, so one monitor's wallpaper never spills onto
// another's.
void PaintDesktopBackground(Surface& target, const PixelRect& area, std::span<const PixelRect> monitors,
                            Colour background, const Surface* wallpaper, WallpaperStyle style);

} // namespace nimbrel
