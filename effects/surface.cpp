// Surface storage and the drawing operations. Each operation clips its
// rectangle once and then works a whole row at a time.
#include "effects/surface.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "settings/errors.h"

namespace nimbrel {

Surface::Surface(std::int32_t width, std::int32_t height)
{
    if (width < 0 || height < 0 || std::int64_t{width} * height > kMaxSurfacePixels) {
        throw Error(kSurfaceOutOfResources);
    }
    try {
        owned_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                      PixelFromColour(kWhite));
    } catch (const std::bad_alloc&) {
        throw Error(kSurfaceOutOfResources);
    } catch (const std::length_error&) {
        throw Error(kSurfaceOutOfResources);
    }
    width_ = width;
    height_ = height;
    stride_ = width;
    pixels_ = owned_.data();
}

Surface::Surface(std::span<Pixel> memory, std::int32_t width, std::int32_t height,
                 std::int32_t stride, std::shared_ptr<void> keepAlive)
{
    if (width < 0 || height < 0 || stride < width) {
        throw std::invalid_argument("Surface: bad geometry for wrapped memory");
    }
    if (height > 0 && width > 0) {
        const auto needed =
            static_cast<std::uint64_t>(height - 1) * static_cast<std::uint64_t>(stride)
            + static_cast<std::uint64_t>(width);
        if (memory.size() < needed) {
            throw std::invalid_argument("Surface: wrapped memory is too small");
        }
    }
    width_ = width;
    height_ = height;
    stride_ = stride;
    pixels_ = memory.data();
    wrapped_ = true;
    keepAlive_ = std::move(keepAlive);
}

Surface::Surface(const Surface& other)
{
    CopyPixelsFrom(other);
}

Surface& Surface::operator=(const Surface& other)
{
    if (this != &other) {
        Surface copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Surface::Surface(Surface&& other) noexcept
{
    *this = std::move(other);
}

Surface& Surface::operator=(Surface&& other) noexcept
{
    if (this == &other) return *this;
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    stride_ = std::exchange(other.stride_, 0);
    wrapped_ = std::exchange(other.wrapped_, false);
    owned_ = std::move(other.owned_);
    other.owned_.clear();
    keepAlive_ = std::move(other.keepAlive_);
    // A moved vector keeps its buffer, but an owned surface points into it
    // afresh rather than relying on that.
    pixels_ = wrapped_ ? other.pixels_ : owned_.data();
    other.pixels_ = nullptr;
    return *this;
}

void Surface::CopyPixelsFrom(const Surface& other)
{
    // A copy is owned and packed, whatever the original was.
    owned_.resize(static_cast<std::size_t>(other.width_) * static_cast<std::size_t>(other.height_));
    width_ = other.width_;
    height_ = other.height_;
    stride_ = other.width_;
    pixels_ = owned_.data();
    wrapped_ = false;
    for (std::int32_t y = 0; y < height_; ++y) {
        std::ranges::copy(other.Row(y), Row(y).begin());
    }
}

bool operator==(const Surface& a, const Surface& b)
{
    if (a.width_ != b.width_ || a.height_ != b.height_) return false;
    for (std::int32_t y = 0; y < a.height_; ++y) {
        if (!std::ranges::equal(a.Row(y), b.Row(y))) return false;
    }
    return true;
}

namespace {

// The part [begin, end) of a run of `length` positions, starting at
// `destStart` on one axis of extent `destExtent` and at `sourceStart` on one
// of extent `sourceExtent`, whose positions lie inside both. Offsets are
// counted from the start of the run; 64-bit so that no sum overflows.
struct Clipped {
    std::int64_t begin;
    std::int64_t end;
    bool Empty() const { return begin >= end; }
};

Clipped ClipRun(std::int64_t length, std::int64_t destStart, std::int64_t destExtent,
                std::int64_t sourceStart, std::int64_t sourceExtent)
{
    return {std::max({std::int64_t{0}, -destStart, -sourceStart}),
            std::min({length, destExtent - destStart, sourceExtent - sourceStart})};
}

// [begin, end) clipped to [0, extent).
Clipped ClipToExtent(std::int64_t begin, std::int64_t end, std::int64_t extent)
{
    return {std::max<std::int64_t>(begin, 0), std::min<std::int64_t>(end, extent)};
}

// Copies one row's run of pixels. The surfaces of a run are separate
// page-aligned allocations, so a source row and its destination row usually
// sit at the same offset within a 4 KiB page. When the destination then lies
// a few bytes after the source, as in a band shifted right, a plain forward
// copy makes each load wait on an earlier store to a different address with
// the same page offset, and runs at a third of its speed. Passing each 256
// bytes through a buffer that stays in the first-level cache loads a block
// before storing it, which avoids the stall at every shift.
void CopyRow(Pixel* destination, const Pixel* source, std::size_t count)
{
    constexpr std::size_t kBlock = 64;
    if (count < kBlock) {
        std::memcpy(destination, source, count * sizeof(Pixel));
        return;
    }
    Pixel block[kBlock];
    std::size_t done = 0;
    for (; done + kBlock <= count; done += kBlock) {
        std::memcpy(block, source + done, sizeof block);
        std::memcpy(destination + done, block, sizeof block);
    }
    const std::size_t rest = count - done;
    std::memcpy(block, source + done, rest * sizeof(Pixel));
    std::memcpy(destination + done, block, rest * sizeof(Pixel));
}

} // namespace

void CopyArea(Surface& destination, const PixelRect& destRect, const Surface& source,
              const PixelRect& sourceRect)
{
    const std::int64_t width = std::min(destRect.Width(), sourceRect.Width());
    const std::int64_t height = std::min(destRect.Height(), sourceRect.Height());
    if (width <= 0 || height <= 0) return;

    const Clipped columns =
        ClipRun(width, destRect.Left, destination.Width(), sourceRect.Left, source.Width());
    const Clipped rows =
        ClipRun(height, destRect.Top, destination.Height(), sourceRect.Top, source.Height());
    if (columns.Empty() || rows.Empty()) return;

    const auto destX = static_cast<std::size_t>(destRect.Left + columns.begin);
    const auto sourceX = static_cast<std::size_t>(sourceRect.Left + columns.begin);
    const auto count = static_cast<std::size_t>(columns.end - columns.begin);
    for (std::int64_t j = rows.begin; j < rows.end; ++j) {
        CopyRow(destination.Row(static_cast<std::int32_t>(destRect.Top + j)).data() + destX,
                source.Row(static_cast<std::int32_t>(sourceRect.Top + j)).data() + sourceX, count);
    }
}

void FillArea(Surface& surface, const PixelRect& rect, Colour colour)
{
    const Clipped columns = ClipToExtent(rect.Left, rect.Right, surface.Width());
    const Clipped rows = ClipToExtent(rect.Top, rect.Bottom, surface.Height());
    if (columns.Empty() || rows.Empty()) return;

    const Pixel pixel = PixelFromColour(colour);
    const auto count = static_cast<std::size_t>(columns.end - columns.begin);
    for (auto y = static_cast<std::int32_t>(rows.begin); y < rows.end; ++y) {
        std::fill_n(surface.Row(y).data() + columns.begin, count, pixel);
    }
}

void DrawRowLine(Surface& surface, std::int32_t y, std::int32_t fromX, std::int32_t toX,
                 Colour colour)
{
    if (y < 0 || y >= surface.Height()) return;
    const Clipped columns = ClipToExtent(fromX, toX, surface.Width());
    if (columns.Empty()) return;
    std::fill_n(surface.Row(y).data() + columns.begin,
                static_cast<std::size_t>(columns.end - columns.begin), PixelFromColour(colour));
}

} // namespace nimbrel
