// Melt's setup tick and drawing tick.
//
// The drawing tick gives exactly the pixels of moving each column with a
// copy from WorkBitmap to FrameBitmap one row lower, blackening its top
// pixel, and then carrying the whole frame over from FrameBitmap back to
// WorkBitmap. Doing that literally would copy a whole frame per tick. Instead
// the columns are merged into spans and moved in one pass from the bottom
// row up, shifting WorkBitmap in place and writing FrameBitmap beside it:
// inside the frame the carry-over then only repeats what the pass wrote,
// because outside the moved spans the two surfaces already agree. That
// agreement is only trusted for the frame of the previous tick; the first
// tick of a run, or a frame larger than the last one, carries the whole frame
// over as well.
#include "effects/melt.h"

#include <algorithm>
#include <cstring>

#include "settings/saver_settings.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

void SetUpMelt(EffectHost& host, MeltState& state)
{
    const SaverSettings::MeltSection defaults;
    {
        const SettingsFile file(kSettingsFileName, host.SettingsStore());
        state.ColumnsPerTick = MeltColumnsFromSpeed(file.LoadInt("Melt", "Speed", defaults.Speed));
        state.RestoreEnabled = file.LoadFlag("Melt", "Recover", defaults.Recover);
        state.RestorePeriod = file.LoadInt("Melt", "RecoverTime", defaults.RecoverTime);
    }
    // The period in milliseconds is defined modulo 2^32.
    state.RestoreDeadline =
        host.TickCount() + static_cast<std::uint32_t>(state.RestorePeriod) * 1000u;
    state.Synced = false;
    state.PresentWholeFrame = true;
    host.ClearEffectNeedsSetup();
}

// Sorts this tick's column positions and merges them into disjoint spans
// clipped to [0, columns). Returns the number of spans.
std::size_t MergeColumns(MeltState& state, std::int32_t count, std::int32_t columns)
{
    auto lefts = std::span(state.ColumnLefts).first(static_cast<std::size_t>(count));
    std::ranges::sort(lefts);
    std::size_t spans = 0;
    for (const std::int32_t left : lefts) {
        const std::int32_t begin = std::max(left, 0);
        const std::int32_t end = std::min(left + kMeltColumnWidth, columns);
        if (begin >= end) continue;
        if (spans > 0 && begin <= state.Spans[spans - 1].Right) {
            state.Spans[spans - 1].Right = std::max(state.Spans[spans - 1].Right, end);
        } else {
            state.Spans[spans++] = {begin, end};
        }
    }
    return spans;
}

// Asks for the cache line holding the pixel ahead of its use. A span's walk
// up the rows misses the cache on every row of both surfaces; asking a few
// rows ahead keeps several of those misses under way at once. A processor
// without a prefetch instruction gets a plain load whose value is not
// waited for.
void Touch(const Pixel* pixel)
{
#if defined(__SSE__)
    __builtin_prefetch(pixel, 1);
#elif defined(__GNUC__)
    const Pixel value = *pixel;
    asm volatile("" : : "r"(value));
#else
    (void)pixel;
#endif
}

// Rows ahead of the one being moved that Touch asks for.
constexpr std::int32_t kTouchAhead = 16;

void CopyPixels(Pixel* destination, const Pixel* source, std::int32_t begin, std::int32_t end)
{
    // Most spans are one column wide; a copy of known size compiles to a
    // single move instead of a call, which matters at 61 spans per row.
    if (end - begin == kMeltColumnWidth) {
        std::memcpy(destination + begin, source + begin, kMeltColumnWidth * sizeof(Pixel));
    } else {
        std::memcpy(destination + begin, source + begin,
                    static_cast<std::size_t>(end - begin) * sizeof(Pixel));
    }
}

// Moves the spans down by one row on FrameBitmap and, inside the frame, on
// WorkBitmap too.
void MoveSpans(Surface& work, Surface& target, std::span<const MeltState::ColumnSpan> spans,
               FrameSize frame)
{
    const std::int32_t rows = std::min(work.Height(), target.Height());
    if (rows == 0 || spans.empty()) return;
    // Columns [0, frameColumns) and rows [0, frameRows) are the frame's part
    // of the surfaces: there WorkBitmap takes the carried-over pixels too.
    const std::int32_t frameColumns = std::min({frame.Width, work.Width(), target.Width()});
    const std::int32_t frameRows = std::min(frame.Height, rows);

    // A column copy writes FrameBitmap rows 1 to H, each from the WorkBitmap
    // row above, as far as both surfaces reach. Going upwards, WorkBitmap's
    // row y - 1 still holds its old pixels when row y is written. The spans
    // do not overlap, so each one is moved on its own, from the bottom up:
    // one span's rows lie a fixed stride apart, which the processor's
    // prefetching follows far better than a sweep across every span per row.
    const std::int32_t bottom = std::min(frame.Height, rows - 1);
    for (const auto& span : spans) {
        const std::int32_t insideEnd = std::min(span.Right, frameColumns);
        const std::int32_t outsideBegin = std::max(span.Left, frameColumns);
        for (std::int32_t y = bottom; y >= 1; --y) {
            const Pixel* above = work.Row(y - 1).data();
            Pixel* frameRow = target.Row(y).data();
            if (y > kTouchAhead) {
                Touch(work.Row(y - 1 - kTouchAhead).data() + span.Left);
                Touch(target.Row(y - kTouchAhead).data() + span.Left);
            }
            if (y < frameRows) {
                if (span.Left < insideEnd) {
                    Pixel* workRow = work.Row(y).data();
                    CopyPixels(workRow, above, span.Left, insideEnd);
                    CopyPixels(frameRow, workRow, span.Left, insideEnd);
                }
                if (outsideBegin < span.Right) CopyPixels(frameRow, above, outsideBegin, span.Right);
            } else {
                CopyPixels(frameRow, above, span.Left, span.Right);
            }
        }
    }

    // The top pixel of every column turns black.
    const Pixel black = PixelFromColour(kBlack);
    Pixel* frameTop = target.Row(0).data();
    Pixel* workTop = work.Row(0).data();
    for (const auto& span : spans) {
        std::fill(frameTop + span.Left, frameTop + span.Right, black);
        if (frameRows > 0) {
            const std::int32_t insideEnd = std::min(span.Right, frameColumns);
            if (span.Left < insideEnd) std::fill(workTop + span.Left, workTop + insideEnd, black);
        }
    }
}

void DrawMelt(EffectHost& host, MeltState& state)
{
    const FrameSize frame = ReadFrameSize(host);
    Surface& work = host.WorkBitmap();
    Surface& target = host.FrameBitmap();
    RandomSource& random = host.Random();

    const std::int32_t count = std::clamp(state.ColumnsPerTick, 0, kMaxMeltColumnsPerTick);
    const std::uint32_t positions = static_cast<std::uint32_t>(frame.Width) + 17u;
    for (std::int32_t i = 0; i < count; ++i) {
        state.ColumnLefts[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(random.Next(positions)) - 10;
    }
    const std::size_t spans = MergeColumns(state, count, std::min(work.Width(), target.Width()));

    const bool agreeOutsideSpans =
        state.Synced && frame.Width <= state.SyncedWidth && frame.Height <= state.SyncedHeight;
    MoveSpans(work, target, std::span(state.Spans).first(spans), frame);
    // Both ways this tick ends (restore or carry-over) leave the surfaces
    // agreeing inside this frame, and nothing below can raise.
    state.Synced = true;
    state.SyncedWidth = frame.Width;
    state.SyncedHeight = frame.Height;

    // Outside the spans FrameBitmap holds what the window showed after the
    // last tick, unless that tick restored or the frame has grown since.
    state.Changes.Reset(frame);
    if (state.PresentWholeFrame || !agreeOutsideSpans) {
        state.Changes.AddWholeFrame();
    } else {
        for (const auto& span : std::span(state.Spans).first(spans)) {
            state.Changes.AddColumns(span.Left, span.Right);
        }
    }
    state.PresentWholeFrame = false;
    host.PresentFrame(state.Changes.Rects());

    const PixelRect whole{0, 0, frame.Width, frame.Height};

    // The two tick counts are compared as signed numbers, so a deadline that
    // has wrapped past 2^31 - 1 counts as passed until the tick count gets
    // there too. A period of 0 or less restores on every tick, whatever the
    // tick count.
    const auto now = static_cast<std::int32_t>(host.TickCount());
    if (state.RestoreEnabled
        && (state.RestorePeriod <= 0 || now >= static_cast<std::int32_t>(state.RestoreDeadline))) {
        const Surface& snapshot = host.SnapshotBitmap();
        CopyArea(work, whole, snapshot, whole);
        CopyArea(target, whole, snapshot, whole);
        state.RestoreDeadline =
            host.TickCount() + static_cast<std::uint32_t>(state.RestorePeriod) * 1000u;
        state.PresentWholeFrame = true;
        return;
    }
    if (!agreeOutsideSpans) CopyArea(work, whole, target, whole);
}

} // namespace

std::int32_t MeltColumnsFromSpeed(std::int32_t speed)
{
    const std::int64_t columns = std::int64_t{speed} * 10 + 1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(columns, 0, kMaxMeltColumnsPerTick));
}

void MeltTick(EffectHost& host, MeltState& state)
{
    if (host.EffectNeedsSetup()) {
        SetUpMelt(host, state);
    } else {
        DrawMelt(host, state);
    }
}

} // namespace nimbrel
