// The drawn desktop that stands in for a capture on the password desktop:
// when it does, how the wallpaper settings read, and where each style puts a
// 2 x 2 wallpaper on small monitors, pixel by pixel.
#include "saver/desktop_background.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace nimbrel {
namespace {

TEST(DesktopBackgroundTest, OnlyANonDefaultDesktopOfNtBeforeVistaDrawsTheBackground)
{
    using enum SnapshotSource;
    const std::tuple<std::uint32_t, std::uint32_t, std::optional<std::string_view>, SnapshotSource> rows[] = {
        {2, 4, "Screen-saver", DesktopBackground},  // NT 4.0 with the password on
        {2, 5, "Screen-saver", DesktopBackground},  // 2000, XP, Server 2003
        {2, 5, "Winlogon", DesktopBackground},
        {2, 5, "Default", Screen},                  // the password off
        {2, 5, "DEFAULT", Screen},                  // desktop names ignore case
        {2, 5, std::nullopt, Screen},               // the name could not be read
        {2, 6, "Screen-saver", Screen},             // Vista and later
        {2, 10, "Screen-saver", Screen},
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
        EXPECT_EQ(WallpaperFileCandidates(named, "C:\\WINNT", "C:\\WINNT\\system32"), Files{named});
    }
    for (const char* none : {"", "(None)", "(none)"}) {
        EXPECT_EQ(WallpaperFileCandidates(none, "C:\\WINNT", "C:\\WINNT\\system32"), Files{}) << none;
    }
}

// Pictures written as rows of letters: '.' is the background colour, A to D
// the four pixels of the wallpaper, E to I those of a 3 x 3 one.
const std::map<char, Colour> kLegend = {
    {'.', MakeColour(0, 0x80, 0x80)}, {'A', MakeColour(255, 0, 0)}, {'B', MakeColour(0, 255, 0)},
    {'C', MakeColour(0, 0, 255)},      {'D', MakeColour(255, 255, 0)}, {'E', MakeColour(1, 1, 1)},
    {'F', MakeColour(2, 2, 2)},        {'G', MakeColour(3, 3, 3)},     {'H', MakeColour(4, 4, 4)},
    {'I', MakeColour(5, 5, 5)},        {'J', MakeColour(6, 6, 6)},     {'K', MakeColour(7, 7, 7)},
    {'L', MakeColour(8, 8, 8)},        {'M', MakeColour(9, 9, 9)},
};

Surface Picture(const std::vector<std::string>& rows)
{
    Surface picture(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            picture.SetColourAt(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), kLegend.at(rows[y][x]));
        }
    }
    return picture;
}

std::vector<std::string> Letters(const Surface& picture)
{
    std::vector<std::string> rows;
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
        std::string row;
        for (std::int32_t x = 0; x < picture.Width(); ++x) {
            char letter = '?';
            for (const auto& [candidate, colour] : kLegend) {
                if (colour == picture.ColourAt(x, y)) letter = candidate;
            }
            row += letter;
        }
        rows.push_back(row);
    }
    return rows;
}

using Rows = std::vector<std::string>;
const Surface kSmall = Picture({"AB", "CD"});
const Surface kLarge = Picture({"EFG", "HIJ", "KLM"});

// One monitor covering the whole target.
Rows PaintOne(std::int32_t width, std::int32_t height, const Surface* wallpaper, WallpaperStyle style)
{
    Surface target(width, height);
    const PixelRect monitor{0, 0, width, height};
    PaintDesktopBackground(target, monitor, std::span(&monitor, 1), kLegend.at('.'), wallpaper, style);
    return Letters(target);
}

TEST(DesktopBackgroundTest, EachStyleFillsOneMonitor)
{
    using enum WallpaperStyle;
    // Centred: an odd pixel left over goes to the right or bottom edge; a
    // larger picture is cut, losing its right or bottom edge first.
    EXPECT_EQ(PaintOne(6, 4, &kSmall, Centred), (Rows{"......", "..AB..", "..CD..", "......"}));
    EXPECT_EQ(PaintOne(5, 3, &kSmall, Centred), (Rows{".AB..", ".CD..", "....."}));
    EXPECT_EQ(PaintOne(2, 2, &kLarge, Centred), (Rows{"EF", "HI"}));
    EXPECT_EQ(PaintOne(1, 1, &kLarge, Centred), (Rows{"I"}));
    // Tiled from the top-left corner, cut at the far edges.
    EXPECT_EQ(PaintOne(5, 3, &kSmall, Tiled), (Rows{"ABABA", "CDCDC", "ABABA"}));
    // Stretched or squeezed, each pixel taking the nearest one's colour.
    EXPECT_EQ(PaintOne(4, 2, &kSmall, Stretched), (Rows{"AABB", "CCDD"}));
    EXPECT_EQ(PaintOne(3, 3, &kSmall, Stretched), (Rows{"AAB", "AAB", "CCD"}));
    EXPECT_EQ(PaintOne(2, 1, &kLarge, Stretched), (Rows{"EF"}));
    // Without a wallpaper, or with an empty one, the colour alone.
    const Surface empty;
    for (const Surface* none : {static_cast<const Surface*>(nullptr), &empty}) {
        EXPECT_EQ(PaintOne(3, 2, none, Tiled), (Rows{"...", "..."}));
    }
}

TEST(DesktopBackgroundTest, EveryMonitorShowsItsOwnWallpaperAndNoneSpillsOver)
{
    // The virtual screen: a 3 x 3 monitor left of the 4 x 2 primary one,
    // whose top-left corner is (0, 0); the target shows it all. The rest of
    // the target lies on no monitor and keeps the background.
    const PixelRect area{-3, 0, 4, 3};
    const PixelRect monitors[] = {{-3, 0, 0, 3}, {0, 0, 4, 2}, {4, 0, 9, 3}, {0, 2, 0, 3}};
    const std::tuple<const Surface*, WallpaperStyle, Rows> rows[] = {
        {&kSmall, WallpaperStyle::Centred, {"AB..AB.", "CD..CD.", "......."}},
        {&kSmall, WallpaperStyle::Tiled, {"ABAABAB", "CDCCDCD", "ABA...."}},
        {&kLarge, WallpaperStyle::Centred, {"EFGEFG.", "HIJHIJ.", "KLM...."}},
        {&kSmall, WallpaperStyle::Stretched, {"AABAABB", "AABCCDD", "CCD...."}},
    };
    for (const auto& [wallpaper, style, expected] : rows) {
        Surface target(7, 3);
        PaintDesktopBackground(target, area, monitors, kLegend.at('.'), wallpaper, style);
        EXPECT_EQ(Letters(target), expected) << static_cast<int>(style);
    }
    // A target that shows only part of the screen takes that part.
    Surface corner(2, 1);
    PaintDesktopBackground(corner, {-1, 1, 1, 2}, monitors, kLegend.at('.'), &kSmall, WallpaperStyle::Tiled);
    EXPECT_EQ(Letters(corner), (Rows{"CC"}));
}

} // namespace
} // namespace nimbrel
