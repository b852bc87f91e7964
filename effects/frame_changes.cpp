// Building the bounded list of a tick's changed rectangles.
#include "effects/frame_changes.h"

#include <algorithm>

namespace nimbrel {
namespace {

// The begin and end of a rectangle along the axis the list runs on.
std::int32_t& Begin(PixelRect& rect, bool rows) { return rows ? rect.Top : rect.Left; }
std::int32_t& End(PixelRect& rect, bool rows) { return rows ? rect.Bottom : rect.Right; }

} // namespace

void FrameChanges::Reset(FrameSize frame)
{
    frame_ = {std::max(frame.Width, 0), std::max(frame.Height, 0)};
    gap_ = 0;
    count_ = 0;
}

void FrameChanges::AddWholeFrame()
{
    count_ = 0;
    if (frame_.Width > 0 && frame_.Height > 0) rects_[count_++] = {0, 0, frame_.Width, frame_.Height};
}

void FrameChanges::AddRows(std::int32_t top, std::int32_t bottom)
{
    Add(Axis::Rows, top, bottom);
}

void FrameChanges::AddColumns(std::int32_t left, std::int32_t right)
{
    Add(Axis::Columns, left, right);
}

void FrameChanges::Add(Axis axis, std::int32_t begin, std::int32_t end)
{
    const bool rows = axis == Axis::Rows;
    const std::int32_t extent = rows ? frame_.Height : frame_.Width;
    const std::int32_t across = rows ? frame_.Width : frame_.Height;
    begin = std::max(begin, 0);
    end = std::min(end, extent);
    if (begin >= end || across <= 0) return;
    if (count_ == 0) {
        axis_ = axis;
    } else if (axis != axis_) {
        // Rows and columns in one list: the whole frame covers both.
        AddWholeFrame();
        return;
    }

    while (count_ > 0) {
        PixelRect& last = rects_[count_ - 1];
        if (begin < Begin(last, rows)) {
            // Out of order: widen the last entry over it and merge whatever
            // that reaches, so every change stays covered.
            Begin(last, rows) = begin;
            End(last, rows) = std::max(End(last, rows), end);
            MergeCloserThan(gap_);
            return;
        }
        if (std::int64_t{begin} - End(last, rows) < std::max<std::int64_t>(gap_, 1)) {
            End(last, rows) = std::max(End(last, rows), end);
            return;
        }
        if (count_ < rects_.size()) break;
        MergeCloserThan(std::max<std::int64_t>(gap_ * 2, 2));
    }
    rects_[count_++] = rows ? PixelRect{0, begin, across, end} : PixelRect{begin, 0, end, across};
}

void FrameChanges::MergeCloserThan(std::int64_t gap)
{
    gap_ = gap;
    const bool rows = axis_ == Axis::Rows;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count_; ++i) {
        PixelRect rect = rects_[i];
        if (kept > 0) {
            PixelRect& previous = rects_[kept - 1];
            if (std::int64_t{Begin(rect, rows)} - End(previous, rows) < std::max<std::int64_t>(gap, 1)) {
                Begin(previous, rows) = std::min(Begin(previous, rows), Begin(rect, rows));
                End(previous, rows) = std::max(End(previous, rows), End(rect, rows));
                continue;
            }
        }
        rects_[kept++] = rect;
    }
    count_ = kept;
}

} // namespace nimbrel
