// Checking a visual's masks and moving the components between layouts.
#include "platform/x11/pixel_format.h"

#include <bit>

namespace nimbrel::x11 {
namespace {

// The shift of a mask of 8 contiguous bits, or nothing.
std::optional<int> ByteShift(std::uint32_t mask)
{
    if (mask == 0) return std::nullopt;
    const int shift = std::countr_zero(mask);
    if ((mask >> shift) != 0xFFu) return std::nullopt;
    return shift;
}

} // namespace

std::optional<PixelFormat> PixelFormat::FromVisual(const VisualDescription& visual)
{
    if (!visual.IsTrueColor || (visual.Depth != 24 && visual.Depth != 32) || visual.BitsPerPixel != 32) {
        return std::nullopt;
    }
    const std::optional<int> red = ByteShift(visual.RedMask);
    const std::optional<int> green = ByteShift(visual.GreenMask);
    const std::optional<int> blue = ByteShift(visual.BlueMask);
    if (!red || !green || !blue) return std::nullopt;
    const std::uint32_t used = visual.RedMask | visual.GreenMask | visual.BlueMask;
    if (std::popcount(used) != 24) return std::nullopt;  // overlapping masks
    const std::uint32_t depthBits = visual.Depth == 32 ? 0xFFFFFFFFu : 0xFFFFFFu;
    if ((used & ~depthBits) != 0) return std::nullopt;
    return PixelFormat(*red, *green, *blue, depthBits & ~used);
}

bool PixelFormat::IsSurfaceLayout() const
{
    return redShift_ == 16 && greenShift_ == 8 && blueShift_ == 0 && extraBits_ == 0;
}

void PixelFormat::ToVisualRow(std::span<const Pixel> from, std::span<std::uint32_t> to) const
{
    for (std::size_t i = 0; i < from.size(); ++i) to[i] = ToVisual(from[i]);
}

void PixelFormat::FromVisualRow(std::span<const std::uint32_t> from, std::span<Pixel> to) const
{
    for (std::size_t i = 0; i < from.size(); ++i) to[i] = FromVisual(from[i]);
}

void SwapWordBytes(std::span<std::uint32_t> words)
{
    for (std::uint32_t& word : words) {
        word = (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
    }
}

} // namespace nimbrel::x11
