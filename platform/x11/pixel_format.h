// The pixel layouts of the X visuals the hack draws on, and the conversion
// between them and the surfaces' 0x00RRGGBB pixels. Pure arithmetic, no X
// header, so that every accepted visual is checked by a unit test.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "effects/surface.h"

namespace nimbrel::x11 {

// What the X server says about a visual and the images it takes.
struct VisualDescription {
    bool IsTrueColor = false;  // the visual's class is TrueColor
    int Depth = 0;
    int BitsPerPixel = 0;    // of a ZPixmap image at that depth
    std::uint32_t RedMask = 0;
    std::uint32_t GreenMask = 0;
    std::uint32_t BlueMask = 0;
};

// How one visual lays out a pixel: where each 8-bit component sits, and the
// bits that are none of them (a 32-bit visual's alpha), which are set so that
// a compositor shows the window opaque.
class PixelFormat {
public:
    // The surfaces' own layout.
    PixelFormat() = default;

    // A TrueColor visual of depth 24 or 32 whose images have 32 bits a pixel
    // and whose three masks are 8 contiguous bits each, apart from one
    // another and inside the depth. Anything else gives nothing: the hack
    // does not draw on it.
    static std::optional<PixelFormat> FromVisual(const VisualDescription& visual);

    // The surfaces' own layout (red 0xFF0000, green 0xFF00, blue 0xFF, no
    // other bits to set): pixels go to the server as they are.
    bool IsSurfaceLayout() const;

    std::uint32_t ToVisual(Pixel pixel) const
    {
        return (((pixel >> 16) & 0xFFu) << redShift_) | (((pixel >> 8) & 0xFFu) << greenShift_)
               | ((pixel & 0xFFu) << blueShift_) | extraBits_;
    }
    Pixel FromVisual(std::uint32_t value) const
    {
        return (((value >> redShift_) & 0xFFu) << 16) | (((value >> greenShift_) & 0xFFu) << 8)
               | ((value >> blueShift_) & 0xFFu);
    }

    // Row conversions; the spans have the same length.
    void ToVisualRow(std::span<const Pixel> from, std::span<std::uint32_t> to) const;
    void FromVisualRow(std::span<const std::uint32_t> from, std::span<Pixel> to) const;

private:
    PixelFormat(int redShift, int greenShift, int blueShift, std::uint32_t extraBits)
        : redShift_(redShift), greenShift_(greenShift), blueShift_(blueShift), extraBits_(extraBits)
    {
    }

    int redShift_ = 16;
    int greenShift_ = 8;
    int blueShift_ = 0;
    std::uint32_t extraBits_ = 0;
};

// Reverses the bytes of each 32-bit word: an image in the other byte order
// than this machine's.
void SwapWordBytes(std::span<std::uint32_t> words);

} // namespace nimbrel::x11
