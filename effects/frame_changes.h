// FrameChanges: where one drawing tick changed FrameBitmap, as a short list
// of rectangles, so that showing the frame copies only what changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "effects/surface.h"

namespace nimbrel {

// The most rectangles one tick reports: enough for every line of a crowded
// Noise tick and every column span of a fast Melt. The window shows them
// with one clipped copy, so a rectangle costs little; a list that would grow
// longer merges neighbours instead.
inline constexpr std::size_t kMaxFrameChanges = 256;

// The frame size as the effects use it.
struct FrameSize {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// The rectangles of one tick, clipped to the frame. A tick's changes are
// either the whole frame, or bands of whole rows, or strips of whole columns:
// each effect moves or redraws full-width rows or full-height columns.
//
// Whatever the order of the additions, the list stays sorted (top to bottom,
// or left to right), its rectangles never overlap or touch, and together
// they cover every addition: an addition that overlaps or touches entries
// joins them into one. The Windows layer builds a region straight from the
// list, and region data must be "sorted top to bottom, left to right" and
// must not overlap (RGNDATA, learn.microsoft.com/windows/win32/api/wingdi/
// ns-wingdi-rgndata): full-width bands, or full-height strips, in this order
// are just that. When the list is full, neighbours whose gap is below a
// threshold are merged, the threshold doubling until there is room, so the
// list stays short and still covers every change.
//
// Rows and columns do not mix in one list: once both have been added, the
// list is the whole frame, which covers both. After the whole frame, further
// additions change nothing.
//
// Allocation-free. Additions in ascending order, as the effects make them,
// cost a comparison with the last entry; one out of order finds its place
// by binary search and moves the entries after it.
class FrameChanges {
public:
    // An empty list for a frame of this size.
    void Reset(FrameSize frame);
    // The whole frame, replacing whatever was added.
    void AddWholeFrame();
    // Rows [top, bottom) across the frame's width.
    void AddRows(std::int32_t top, std::int32_t bottom);
    // Columns [left, right) down the frame's height.
    void AddColumns(std::int32_t left, std::int32_t right);

    std::span<const PixelRect> Rects() const { return std::span(rects_).first(count_); }

private:
    enum class Axis { Rows, Columns };
    void Add(Axis axis, std::int32_t begin, std::int32_t end);
    void MergeCloserThan(std::int64_t gap);

    FrameSize frame_;
    Axis axis_ = Axis::Rows;
    bool whole_ = false;
    std::int64_t gap_ = 1;  // neighbours closer than this have been merged
    std::size_t count_ = 0;
    std::array<PixelRect, kMaxFrameChanges> rects_{};
};

} // namespace nimbrel
