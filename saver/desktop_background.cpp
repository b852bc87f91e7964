// The choice between a capture and the drawn desktop, the wallpaper settings,
// and the drawing itself.
#include "saver/desktop_background.h"

#include <algorithm>
#include <cstddef>

namespace nimbrel {
namespace {

constexpr std::uint32_t kPlatformNt = 2;  // VER_PLATFORM_WIN32_NT

// Names compare in ASCII without regard to case, whatever the locale.
bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

// The decimal number at the start of a setting's text, after spaces; big
// numbers stop growing, since only 1 and 2 mean anything.
std::uint32_t LeadingNumber(std::string_view text)
{
    std::size_t at = text.find_first_not_of(' ');
    std::uint32_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = std::min<std::uint32_t>(value * 10 + static_cast<std::uint32_t>(text[at] - '0'), 1000);
    }
    return value;
}

std::string InDirectory(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    if (!path.ends_with('\\')) path += '\\';
    return path.append(name);
}

// Where each column of the monitor's visible part takes its wallpaper pixel
// from, -1 where it shows the background. The same rule serves the rows.
//   offset: the first visible position, counted from the monitor's edge;
//   count: the visible positions; monitorSide, pictureSide: the two lengths.
std::vector<std::int32_t> SourcePositions(std::int64_t offset, std::int64_t count, std::int64_t monitorSide,
                                          std::int64_t pictureSide, WallpaperStyle style)
{
    std::vector<std::int32_t> positions(static_cast<std::size_t>(count), -1);
    // C's division, as the system centres: the odd pixel goes right or down,
    // and a larger picture loses its edges evenly.
    const std::int64_t centredStart = (monitorSide - pictureSide) / 2;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t at = offset + i;
        std::int64_t source = -1;
        switch (style) {
        case WallpaperStyle::Centred: source = at - centredStart; break;
        case WallpaperStyle::Tiled: source = at % pictureSide; break;
        case WallpaperStyle::Stretched: source = at * pictureSide / monitorSide; break;
        }
        if (source >= 0 && source < pictureSide) {
            positions[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(source);
        }
    }
    return positions;
}

// The wallpaper on one monitor, drawn where the target shows it.
void PaintMonitor(Surface& target, const PixelRect& area, const PixelRect& monitor, const Surface& wallpaper,
                  WallpaperStyle style)
{
    if (monitor.Width() <= 0 || monitor.Height() <= 0) return;
    // The monitor in the target's coordinates, cut to the target.
    const std::int64_t left = std::max<std::int64_t>(std::int64_t{monitor.Left} - area.Left, 0);
    const std::int64_t top = std::max<std::int64_t>(std::int64_t{monitor.Top} - area.Top, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{monitor.Right} - area.Left, target.Width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{monitor.Bottom} - area.Top, target.Height());
    if (left >= right || top >= bottom) return;

    const std::int64_t fromLeft = left + area.Left - monitor.Left;
    const std::int64_t fromTop = top + area.Top - monitor.Top;
    const std::vector<std::int32_t> columns =
        SourcePositions(fromLeft, right - left, monitor.Width(), wallpaper.Width(), style);
    const std::vector<std::int32_t> rows =
        SourcePositions(fromTop, bottom - top, monitor.Height(), wallpaper.Height(), style);
    for (std::int64_t j = 0; j < bottom - top; ++j) {
        const std::int32_t sourceRow = rows[static_cast<std::size_t>(j)];
        if (sourceRow < 0) continue;
        const std::span<const Pixel> source = wallpaper.Row(sourceRow);
        const std::span<Pixel> row = target.Row(static_cast<std::int32_t>(top + j));
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] >= 0) row[static_cast<std::size_t>(left) + i] = source[static_cast<std::size_t>(columns[i])];
        }
    }
}

} // namespace

SnapshotSource ChooseSnapshotSource(std::uint32_t platformId, std::uint32_t majorVersion,
                                    std::optional<std::string_view> threadDesktop)
{
    // KB 140723: on NT 4.0, 2000 and 2003 the saver runs on a desktop of its
    // own ("Screen-saver") when the password is on, and on the default
    // desktop otherwise; KB 96780: the saver's desktop cannot see the user's
    // windows. Vista (NT 6.0) and later are left alone whatever the name.
    if (platformId != kPlatformNt || majorVersion >= 6 || !threadDesktop) return SnapshotSource::Screen;
    return EqualIgnoringCase(*threadDesktop, "Default") ? SnapshotSource::Screen : SnapshotSource::DesktopBackground;
}

WallpaperStyle ReadWallpaperStyle(std::string_view tileWallpaper, std::string_view wallpaperStyle)
{
    if (LeadingNumber(tileWallpaper) == 1) return WallpaperStyle::Tiled;
    return LeadingNumber(wallpaperStyle) == 2 ? WallpaperStyle::Stretched : WallpaperStyle::Centred;
}

std::vector<std::string> WallpaperFileCandidates(std::string_view wallpaper, std::string_view windowsDirectory,
                                                 std::string_view systemDirectory)
{
    if (wallpaper.empty() || EqualIgnoringCase(wallpaper, "(None)")) return {};
    if (wallpaper.find_first_of("\\/:") != std::string_view::npos) return {std::string(wallpaper)};
    std::vector<std::string> candidates;
    for (std::string_view directory : {windowsDirectory, systemDirectory}) {
        if (!directory.empty()) candidates.push_back(InDirectory(directory, wallpaper));
    }
    return candidates;
}

void PaintDesktopBackground(Surface& target, const PixelRect& area, std::span<const PixelRect> monitors,
                            Colour background, const Surface* wallpaper, WallpaperStyle style)
{
    FillArea(target, {0, 0, target.Width(), target.Height()}, background);
    if (!wallpaper || wallpaper->Width() <= 0 || wallpaper->Height() <= 0) return;
    for (const PixelRect& monitor : monitors) PaintMonitor(target, area, monitor, *wallpaper, style);
}

} // namespace nimbrel
