// Surface: an in-memory picture of 32-bit pixels, and the three drawing
// operations the effects compose their frames with.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace nimbrel {

// The colour value of the system: red in bits 0-7, green in 8-15, blue in
// 16-23, bits 24-31 zero.
using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;

constexpr Colour MakeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return Colour{red} | (Colour{green} << 8) | (Colour{blue} << 16);
}

// A stored pixel, in the byte order of a 32-bit Windows DIB: blue in the low
// byte (0x00RRGGBB). Keeping that order lets the Windows layer hand a DIB
// section's memory straight to a Surface.
using Pixel = std::uint32_t;

constexpr Pixel PixelFromColour(Colour colour)
{
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

constexpr Colour ColourFromPixel(Pixel pixel)
{
    return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

// The pixels with Left <= x < Right and Top <= y < Bottom: the right column
// and the bottom row are outside. Coordinates may lie anywhere; the
// operations clip.
struct PixelRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    constexpr std::int64_t Width() const { return std::int64_t{Right} - Left; }
    constexpr std::int64_t Height() const { return std::int64_t{Bottom} - Top; }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The message of the error raised when a surface cannot be created.
inline constexpr const char* kSurfaceOutOfResources = "ｼｽﾃﾑ ﾘｿｰｽが足りません";

// The most pixels one surface may hold (16384 x 16384). Larger requests are
// refused before the allocator is asked, so an absurd size fails cleanly.
inline constexpr std::int64_t kMaxSurfacePixels = std::int64_t{1} << 28;

// A grid of Width x Height pixels, rows top-down, Stride pixels from one row
// to the next. It either owns its pixels or wraps memory that the platform
// gives it (a DIB section, for instance), optionally keeping that memory's
// owner alive.
//
// Copying always gives a new owned surface with the same pixels, so a copy
// never aliases the original; moving keeps whatever the source held.
class Surface {
public:
    // A 0 x 0 surface.
    Surface() = default;

    // An owned surface, white in every pixel. Throws Error with
    // kSurfaceOutOfResources for a negative or too large size, or when the
    // allocator refuses.
    Surface(std::int32_t width, std::int32_t height);

    // Wraps memory of at least (height - 1) x stride + width pixels, which
    // must outlive the surface unless keepAlive owns it. The pixels are left
    // as they are. Throws std::invalid_argument when the memory is too small
    // for the geometry.
    Surface(std::span<Pixel> memory, std::int32_t width, std::int32_t height, std::int32_t stride,
            std::shared_ptr<void> keepAlive = {});

    Surface(const Surface& other);
    Surface& operator=(const Surface& other);
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    ~Surface() = default;

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Stride() const { return stride_; }
    bool OwnsPixels() const { return !wrapped_; }

    // Row y, 0 <= y < Height(), as Width() stored pixels.
    std::span<Pixel> Row(std::int32_t y)
    {
        return {pixels_ + std::ptrdiff_t{y} * stride_, static_cast<std::size_t>(width_)};
    }
    std::span<const Pixel> Row(std::int32_t y) const
    {
        return {pixels_ + std::ptrdiff_t{y} * stride_, static_cast<std::size_t>(width_)};
    }

    // The colour value of one pixel, for tests and tools; (x, y) must lie inside.
    Colour ColourAt(std::int32_t x, std::int32_t y) const { return ColourFromPixel(Row(y)[x]); }
    void SetColourAt(std::int32_t x, std::int32_t y, Colour colour)
    {
        Row(y)[x] = PixelFromColour(colour);
    }

    // Same size and the same pixels; the strides may differ.
    friend bool operator==(const Surface& a, const Surface& b);

private:
    void CopyPixelsFrom(const Surface& other);

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t stride_ = 0;
    Pixel* pixels_ = nullptr;
    bool wrapped_ = false;
    std::vector<Pixel> owned_;
    std::shared_ptr<void> keepAlive_;
};

// Copies sourceRect of source to destRect of destination, pixel for pixel,
// where both pixels of a pair lie inside their surfaces; every other
// destination pixel keeps its value. The rectangles are expected to have the
// same size (only the common part is copied otherwise), and the two surfaces
// must not share memory.
void CopyArea(Surface& destination, const PixelRect& destRect, const Surface& source,
              const PixelRect& sourceRect);

// Colours every pixel of rect that lies inside the surface.
void FillArea(Surface& surface, const PixelRect& rect, Colour colour);

// Colours the pixels (x, y) with fromX <= x < toX that lie inside the surface.
void DrawRowLine(Surface& surface, std::int32_t y, std::int32_t fromX, std::int32_t toX,
                 Colour colour);

} // namespace nimbrel
