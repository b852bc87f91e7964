// The drawn desktop that stands in for a capture on the password desktop:
// when it does, how the wallpaper settings read, and where each style puts a
// 2 x 2 wallpaper on small monitors, pixel by pixel.
#include "saver/desktop_background.h"

#include <gtest/gtest.h>

#include <tuple>

#include "../effects/effect_test_support.h"

namespace nimbrel {
namespace {

TEST(DesktopBackgroundTest, OnlyANonDefaultDesktopOfNtBeforeVistaDrawsTheBackground)
{
    using enum SnapshotSource;
    const std::tuple<std::uint32_t, std::uint32_t, std::optional<std::string_view>, SnapshotSource> rows[] = {
        {2, 4, "Screen-saver", DesktopBackground},  // NT 4.0 with the password on
        {2, 5, "Screen-saver", DesktopBackground},  // 2000, XP, Server 2003
        {2, 5, "Default", Screen},                  // the password off
        {2, 5, "DEFAULT", Screen},                  // desktop names ignore case
        {2, 5, std::nullopt, Screen},               // the name could not be read
        {2, 6, "Screen-saver", Screen},             // Vista and later
        {1, 4, "Screen-saver", Screen},             // the Windows 95 family
    };
    for (const auto& [platform, major, desktop, expected] : rows) {
        EXPECT_EQ(ChooseSnapshotSource(platform, major, desktop), expected)
            << platform << " " << major << " " << desktop.value_or("(none)");
    }
}

TEST(DesktopBackgroundTest, TilingWinsOverStretchingAndAnythingElseCentres)
{
    using enum WallpaperStyle;
    const std::tuple<std::string_view, std::string_view, WallpaperStyle> rows[] = {
        {"1", "0", Tiled}, {"1", "2", Tiled}, {"0", "2", Stretched}, {"", "2", Stretched},
        {"0", "0", Centred}, {"", "", Centred}, {" 1", "", Tiled}, {"1 ", "", Tiled},
        {"01", "", Tiled}, {"11", "", Centred}, {"x1", "2", Stretched}, {"0", "6", Centred},
        {"0", "99999999999999999992", Centred},
    };
    for (const auto& [tile, style, expected] : rows) {
        EXPECT_EQ(ReadWallpaperStyle(tile, style), expected) << "'" << tile << "' '" << style << "'";
    }
}

TEST(DesktopBackgroundTest, ABareWallpaperNameLiesInTheWindowsThenTheSystemDirectory)
{
    using Files = std::vector<std::string>;
    EXPECT_EQ(WallpaperFileCandidates("Clouds.bmp", "C:\\WINNT", "C:\\WINNT\\system32"),
              (Files{"C:\\WINNT\\Clouds.bmp", "C:\\WINNT\\system32\\Clouds.bmp"}));
    EXPECT_EQ(WallpaperFileCandidates("a.bmp", "C:\\", ""), (Files{"C:\\a.bmp"}));
    for (const char* named : {"C:\\Pictures\\a.bmp", "\\\\server\\share\\a.bmp", "D:a.bmp", "sub/a.bmp"}) {
        EXPECT_EQ(WallpaperFileCandidates(named, "C:\\WINNT", ""), Files{named});
    }
    EXPECT_EQ(WallpaperFileCandidates("", "C:\\WINNT", ""), Files{});
    EXPECT_EQ(WallpaperFileCandidates("(none)", "C:\\WINNT", ""), Files{});
}

// Pictures as text: '-' is the background colour, A to D the 2 x 2
// wallpaper's pixels, E to M those of a 3 x 3 one.
using test_support::Picture;
using test_support::Text;
const Colour kBackground = test_support::Ink('-');
const Surface kSmall = Picture("AB/CD");
const Surface kLarge = Picture("EFG/HIJ/KLM");

TEST(DesktopBackgroundTest, EachStyleFillsEveryMonitorAndNoneSpillsOver)
{
    // The virtual screen: a 3 x 3 monitor left of the 4 x 2 primary one,
    // whose top-left corner is (0, 0), and two that are empty or off the
    // target; the target shows it all. Where no monitor is, the background.
    const PixelRect area{-3, 0, 4, 3};
    const PixelRect monitors[] = {{-3, 0, 0, 3}, {0, 0, 4, 2}, {4, 0, 9, 3}, {0, 2, 0, 3}};
    const Surface empty;
    const std::tuple<const Surface*, WallpaperStyle, const char*> rows[] = {
        // Centred: an odd pixel left over goes to the right or bottom edge; a
        // larger picture is cut, losing its right or bottom edge first.
        {&kSmall, WallpaperStyle::Centred, "AB--AB-/CD--CD-/-------"},
        {&kLarge, WallpaperStyle::Centred, "EFGEFG-/HIJHIJ-/KLM----"},
        // Tiled from each monitor's top-left corner, cut at the far edges.
        {&kSmall, WallpaperStyle::Tiled, "ABAABAB/CDCCDCD/ABA----"},
        // Stretched or squeezed, each pixel taking the nearest one's colour.
        {&kSmall, WallpaperStyle::Stretched, "AABAABB/AABCCDD/CCD----"},
        // Without a wallpaper, or with an empty one, the colour alone.
        {nullptr, WallpaperStyle::Tiled, "-------/-------/-------"},
        {&empty, WallpaperStyle::Centred, "-------/-------/-------"},
    };
    for (const auto& [wallpaper, style, expected] : rows) {
        Surface target(7, 3);
        PaintDesktopBackground(target, area, monitors, kBackground, wallpaper, style);
        EXPECT_EQ(Text(target), expected) << static_cast<int>(style);
    }
    // A target that shows only part of the screen takes that part.
    Surface corner(2, 1);
    PaintDesktopBackground(corner, {-1, 1, 1, 2}, monitors, kBackground, &kSmall, WallpaperStyle::Tiled);
    EXPECT_EQ(Text(corner), "CC");
}

} // namespace
} // namespace nimbrel
