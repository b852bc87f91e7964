// Melt's setup tick and drawing tick.
//
// The drawing tick gives exactly the pixels of moving each column with a
// copy from WorkBitmap to FrameBitmap one row lower, blackening its top
// pixel, and then carrying the whole frame over from FrameBitmap back to
// WorkBitmap. Doing that literally would copy a whole frame per tick, and
// even moving only the columns on both surfaces walks two full-screen
// pictures. Only Melt reads WorkBitmap, so the carry-over is never done:
// inside the frame of the last tick FrameBitmap itself holds the melted
// picture, and the columns are moved there in place, from the bottom row up.
// WorkBitmap holds the picture only outside that frame, where the column
// copies and the carry-over differ, and is written only when the frame
// shrinks and the moves would reach into what FrameBitmap held.
#include "effects/melt.h"

#include <algorithm>
#include <cstring>
#if defined(__GNUC__) && defined(__i386__) && !defined(__SSE__)
#include <cpuid.h>
#endif

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
    state.HeldWidth = 0;
    state.HeldHeight = 0;
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

#if defined(__GNUC__) && defined(__i386__) && !defined(__SSE__)
// A 32-bit build for every x86 processor cannot assume SSE; its prefetch
// instructions are used only where the processor reports them.
const bool kProcessorPrefetches = [] {
    unsigned int a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) != 0 && (d & bit_SSE) != 0;
}();
#endif

// Asks for the cache line holding the pixel ahead of its use. A span's walk
// up the rows misses the cache on every row; asking a few rows ahead keeps
// several of those misses under way at once. Without a prefetch instruction
// a plain load whose value is never used does nearly as much, though the
// processor still waits for it before it moves on past a few rows.
void Touch(const Pixel* pixel)
{
#if defined(__SSE__)
    __builtin_prefetch(pixel, 1);
#elif defined(__GNUC__) && defined(__i386__)
    if (kProcessorPrefetches) {
        asm volatile("prefetcht0 %0" : : "m"(*pixel));
    } else {
        const Pixel value = *pixel;
        asm volatile("" : : "r"(value));
    }
#elif defined(__GNUC__)
    const Pixel value = *pixel;
    asm volatile("" : : "r"(value));
#else
    (void)pixel;
#endif
}

// Rows ahead of the one being moved that Touch asks for.
constexpr std::int32_t kTouchAhead = 16;

void CopyPixels(Pixel* destination, const Pixel* source, std::int32_t width)
{
    // Copies of a known size compile to a few moves instead of a call, which
    // matters at one copy per span and row. Most spans are one column wide;
    // wider ones go in column-wide pieces, the last one overlapping the one
    // before it.
    constexpr std::size_t kPiece = kMeltColumnWidth * sizeof(Pixel);
    if (width == kMeltColumnWidth) {
        std::memcpy(destination, source, kPiece);
    } else if (width < kMeltColumnWidth) {
        for (std::int32_t x = 0; x < width; ++x) destination[x] = source[x];
    } else {
        for (std::int32_t x = 0; x < width - kMeltColumnWidth; x += kMeltColumnWidth) {
            std::memcpy(destination + x, source + x, kPiece);
        }
        std::memcpy(destination + width - kMeltColumnWidth, source + width - kMeltColumnWidth, kPiece);
    }
}

// Writes FrameBitmap's rows bottom down to top, columns [left, right), each
// from the source's row above. Going upwards, row y - 1 still holds its old
// pixels when row y is written, so the source may be FrameBitmap itself.
void MoveColumns(Surface& target, const Surface& source, std::int32_t top, std::int32_t bottom,
                 std::int32_t left, std::int32_t right)
{
    if (left >= right) return;
    for (std::int32_t y = bottom; y >= top; --y) {
        if (y - kTouchAhead >= top) Touch(source.Row(y - 1 - kTouchAhead).data() + left);
        CopyPixels(target.Row(y).data() + left, source.Row(y - 1).data() + left, right - left);
    }
}

// Moves the spans down by one row on FrameBitmap. Each pixel comes from the
// melted picture one row up: from FrameBitmap itself inside the first
// held.Width x held.Height pixels, from WorkBitmap elsewhere.
void MoveSpans(const Surface& work, Surface& target, std::span<const MeltState::ColumnSpan> spans,
               FrameSize frame, FrameSize held)
{
    const std::int32_t rows = std::min(work.Height(), target.Height());
    if (rows == 0 || spans.empty()) return;

    // A column copy writes FrameBitmap rows 1 to H, as far as both surfaces
    // reach. Rows 1 to heldRows read a row that FrameBitmap held; the rows
    // below them read WorkBitmap. The spans do not overlap, so each one is
    // moved on its own, from the bottom up: one span's rows lie a fixed
    // stride apart, which the processor's prefetching follows far better
    // than a sweep across every span per row.
    const std::int32_t bottom = std::min(frame.Height, rows - 1);
    const std::int32_t heldRows = std::clamp(held.Height, 0, bottom);
    for (const auto& span : spans) {
        MoveColumns(target, work, heldRows + 1, bottom, span.Left, span.Right);
        MoveColumns(target, target, 1, heldRows, span.Left, std::min(span.Right, held.Width));
        MoveColumns(target, work, 1, heldRows, std::max(span.Left, held.Width), span.Right);
    }

    // The top pixel of every column turns black.
    const Pixel black = PixelFromColour(kBlack);
    Pixel* top = target.Row(0).data();
    for (const auto& span : spans) std::fill(top + span.Left, top + span.Right, black);
}

// Spans closer than this are shown as one strip, the unchanged pixels
// between them included. The window copies a strip row by row with one call
// per row; measured under Wine at Speed 6 on a full-HD screen, a few wide
// strips cost clearly less than many narrow ones, though they copy more.
constexpr std::int32_t kShownGap = 256;

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

    // The moves write FrameBitmap's row H and columns past W. Where those
    // lie inside what FrameBitmap held (the frame has shrunk), the melted
    // picture goes back to WorkBitmap first.
    const bool grown = frame.Width > state.HeldWidth || frame.Height > state.HeldHeight;
    if (frame.Width < state.HeldWidth || frame.Height < state.HeldHeight) {
        const PixelRect held{0, 0, state.HeldWidth, state.HeldHeight};
        CopyArea(work, held, target, held);
        state.HeldWidth = 0;
        state.HeldHeight = 0;
    }
    MoveSpans(work, target, std::span(state.Spans).first(spans), frame, {state.HeldWidth, state.HeldHeight});
    // The carry-over and the restore both leave the melted picture equal to
    // FrameBitmap inside this frame, and nothing below can raise.
    state.HeldWidth = frame.Width;
    state.HeldHeight = frame.Height;

    // Outside the spans FrameBitmap holds what the window showed after the
    // last tick, unless that tick restored or the frame has grown since.
    state.Changes.Reset(frame);
    if (state.PresentWholeFrame || grown) {
        state.Changes.AddWholeFrame();
    } else {
        const MeltState::ColumnSpan* previous = nullptr;
        for (const auto& span : std::span(state.Spans).first(spans)) {
            const bool join = previous != nullptr && span.Left - previous->Right < kShownGap;
            state.Changes.AddColumns(join ? previous->Right : span.Left, span.Right);
            previous = &span;
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
        CopyArea(target, whole, host.SnapshotBitmap(), whole);
        state.RestoreDeadline =
            host.TickCount() + static_cast<std::uint32_t>(state.RestorePeriod) * 1000u;
        state.PresentWholeFrame = true;
    }
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
