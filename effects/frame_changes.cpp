// Building the bounded, sorted list of a tick's changed rectangles.
#include "effects/frame_changes.h"

#include <algorithm>

namespace nimbrel {
namespace {

// The begin and end of a rectangle along the axis the list runs on.
std::int32_t& Begin(PixelRect& rect, bool rows) { return rows ? rect.Top : rect.Left; }
std::int32_t& End(PixelRect& rect, bool rows) { return rows ? rect.Bottom : rect.Right; }
std::int32_t Begin(const PixelRect& rect, bool rows) { return rows ? rect.Top : rect.Left; }
std::int32_t End(const PixelRect& rect, bool rows) { return rows ? rect.Bottom : rect.Right; }

} // namespace

void FrameChanges::Reset(FrameSize frame)
{
    frame_ = {std::max(frame.Width, 0), std::max(frame.Height, 0)};
    whole_ = false;
    gap_ = 1;
    count_ = 0;
}

void FrameChanges::AddWholeFrame()
{
    whole_ = true;
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
    if (whole_) return;
    const bool rows = axis == Axis::Rows;
    const std::int32_t extent = rows ? frame_.Height : frame_.Width;
    const std::int32_t across = rows ? frame_.Width : frame_.Height;
    begin = std::max(begin, 0);
    end = std::min(end, extent);
    if (begin >= end || across <= 0) return;
    if (count_ == 0) {
        axis_ = axis;
    } else if (axis != axis_) {
        AddWholeFrame();
        return;
    }

    for (;;) {
        // Entries [first, last) lie closer than gap_ to the addition, or
        // overlap it, and join it. The list is sorted and its entries lie at
        // least gap_ apart, so they are one run of neighbours. An addition at
        // or after the last entry's begin, the effects' usual order, can only
        // join that entry.
        const auto entries = std::span(rects_).first(count_);
        std::size_t first = count_;
        std::size_t last = count_;
        if (count_ > 0 && begin >= Begin(entries.back(), rows)) {
            if (End(entries.back(), rows) + gap_ > begin) first = count_ - 1;
        } else {
            first = static_cast<std::size_t>(std::ranges::partition_point(entries, [&](const PixelRect& r) {
                return End(r, rows) + gap_ <= begin;
            }) - entries.begin());
            last = static_cast<std::size_t>(std::ranges::partition_point(entries, [&](const PixelRect& r) {
                return Begin(r, rows) < std::int64_t{end} + gap_;
            }) - entries.begin());
        }

        if (first < last) {
            PixelRect& joined = rects_[first];
            Begin(joined, rows) = std::min(Begin(joined, rows), begin);
            End(joined, rows) = std::max(End(rects_[last - 1], rows), end);
            std::copy(entries.begin() + static_cast<std::ptrdiff_t>(last), entries.end(),
                      rects_.begin() + static_cast<std::ptrdiff_t>(first) + 1);
            count_ -= last - first - 1;
            return;
        }
        if (count_ < rects_.size()) {
            std::copy_backward(entries.begin() + static_cast<std::ptrdiff_t>(first), entries.end(),
                               rects_.begin() + static_cast<std::ptrdiff_t>(count_) + 1);
            rects_[first] = rows ? PixelRect{0, begin, across, end} : PixelRect{begin, 0, end, across};
            ++count_;
            return;
        }
        MergeCloserThan(gap_ * 2);
    }
}

void FrameChanges::MergeCloserThan(std::int64_t gap)
{
    gap_ = gap;
    const bool rows = axis_ == Axis::Rows;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count_; ++i) {
        const PixelRect rect = rects_[i];
        if (kept > 0 && std::int64_t{Begin(rect, rows)} - End(rects_[kept - 1], rows) < gap) {
            End(rects_[kept - 1], rows) = std::max(End(rects_[kept - 1], rows), End(rect, rows));
            continue;
        }
        rects_[kept++] = rect;
    }
    count_ = kept;
}

} // namespace nimbrel
