// A picture for watching the saver on a real screen: every column has a
// colour of its own, so the column that a screen pixel came from can be read
// off its colour, and with it how far the wave shifted each row.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "effects/surface.h"

namespace nimbrel::testing {

inline Colour ColumnColour(int x)
{
    return MakeColour(static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(32 + 64 * (x / 256)), 200);
}

// The column whose colour this is; nothing for a colour of no column.
inline std::optional<int> ColumnOf(Colour colour)
{
    const int red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    if (blue != 200 || (green - 32) % 64 != 0) return std::nullopt;
    return red + 256 * ((green - 32) / 64);
}

inline Surface ColumnPicture(int width, int height)
{
    Surface picture(width, height);
    for (int x = 0; x < width; ++x) FillArea(picture, PixelRect{x, 0, x + 1, height}, ColumnColour(x));
    return picture;
}

// How far row y of the screen is shifted to the right against the picture,
// read at the middle column; nothing when the pixel is not the picture's.
inline std::optional<int> RowShift(const Surface& screen, int y)
{
    const int column = screen.Width() / 2;
    const std::optional<int> source = ColumnOf(screen.ColourAt(column, y));
    if (!source) return std::nullopt;
    return column - *source;
}

inline bool ShowsPictureUnshifted(const Surface& screen)
{
    for (int y = 0; y < screen.Height(); ++y) {
        if (RowShift(screen, y) != 0) return false;
    }
    return true;
}

// The sum of the first m wave steps, for m = 0 to 21; it repeats every 22.
inline constexpr std::array<int, 22> kWaveSums = {0, 2, 3, 4, 5, 5, 5, 5, 4, 3, 2,
                                                  0, -2, -3, -4, -5, -5, -5, -5, -4, -3, -2};

// With Pitch 1 every row is a band, and a frame of the wave shifts row y by
// base + kWaveSums[(q + y) % 22], where base is the shift the run started
// from and q the frame's phase. The phase of the frame on the screen, or
// nothing when the screen shows no such frame.
inline std::optional<int> WavePhaseOnScreen(const Surface& screen, int base)
{
    for (int phase = 0; phase < 22; ++phase) {
        bool fits = true;
        for (int y = 0; y < screen.Height() && fits; ++y) {
            fits = RowShift(screen, y) == base + kWaveSums[(phase + y) % 22];
        }
        if (fits) return phase;
    }
    return std::nullopt;
}

} // namespace nimbrel::testing
