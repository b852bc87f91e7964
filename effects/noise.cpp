// Noise's setup tick and drawing tick.
//
// Every frame starts again from the snapshot. Rather than copying the whole
// snapshot each time, the tick restores only the rows that the previous
// frame's lines dirtied, since everywhere else inside the frame FrameBitmap
// still equals the snapshot. The first frame of a run, or a frame larger than
// the previous one, copies the whole snapshot.
#include "effects/noise.h"

#include <algorithm>

#include "settings/saver_settings.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

void SetUpNoise(EffectHost& host, NoiseState& state)
{
    const SaverSettings::NoiseSection defaults;
    {
        const SettingsFile file(kSettingsFileName, host.SettingsStore());
        state.LinesPerTick = NoiseLinesFromDeal(file.LoadInt("Noise", "Deal", defaults.Deal));
    }
    state.Clean = false;
    host.ClearEffectNeedsSetup();
}

// Brings FrameBitmap back to the snapshot inside the frame. Returns whether
// it copied the whole frame; otherwise the rows it put back are the first of
// the tick's changed rows.
bool RestoreSnapshot(NoiseState& state, Surface& target, const Surface& snapshot, FrameSize frame)
{
    state.ChangedRowCount = 0;
    const bool whole =
        !(state.Clean && frame.Width <= state.CleanWidth && frame.Height <= state.CleanHeight);
    if (!whole) {
        for (const std::int32_t y :
             std::span(state.DirtyRows).first(static_cast<std::size_t>(state.DirtyRowCount))) {
            if (y >= frame.Height) continue;
            const PixelRect row{0, y, frame.Width, y + 1};
            CopyArea(target, row, snapshot, row);
            state.ChangedRows[static_cast<std::size_t>(state.ChangedRowCount++)] = y;
        }
    } else {
        const PixelRect all{0, 0, frame.Width, frame.Height};
        CopyArea(target, all, snapshot, all);
    }
    state.Clean = true;
    state.CleanWidth = frame.Width;
    state.CleanHeight = frame.Height;
    state.DirtyRowCount = 0;
    return whole;
}

void DrawNoise(EffectHost& host, NoiseState& state)
{
    RandomSource& random = host.Random();
    // The delay to the next tick is set first, before the frame is drawn.
    host.SetTimer2Interval(random.Next(460) + 40);

    const FrameSize frame = ReadFrameSize(host);
    Surface& target = host.FrameBitmap();
    const bool whole = RestoreSnapshot(state, target, host.SnapshotBitmap(), frame);

    const std::int32_t count = std::clamp(state.LinesPerTick, 0, kMaxNoiseLinesPerTick);
    const std::uint32_t rows = static_cast<std::uint32_t>(frame.Height) + 20u;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t y = static_cast<std::int32_t>(random.Next(rows)) - 10;
        const auto red = static_cast<std::uint8_t>(random.Next(128));
        const auto green = static_cast<std::uint8_t>(random.Next(128));
        const auto blue = static_cast<std::uint8_t>(random.Next(128));
        DrawRowLine(target, y, 0, frame.Width, MakeColour(red, green, blue));
        // Lines outside the frame are never restored, as they are never shown.
        if (y >= 0 && y < frame.Height) {
            state.DirtyRows[static_cast<std::size_t>(state.DirtyRowCount++)] = y;
            state.ChangedRows[static_cast<std::size_t>(state.ChangedRowCount++)] = y;
        }
    }

    // Outside the changed rows the frame is what the window shows already.
    state.Changes.Reset(frame);
    if (whole) {
        state.Changes.AddWholeFrame();
    } else {
        auto rows = std::span(state.ChangedRows).first(static_cast<std::size_t>(state.ChangedRowCount));
        std::ranges::sort(rows);
        for (const std::int32_t y : rows) state.Changes.AddRows(y, y + 1);
    }
    host.PresentFrame(state.Changes.Rects());
}

} // namespace

std::int32_t NoiseLinesFromDeal(std::int32_t deal)
{
    const std::int64_t lines = std::int64_t{deal} * 20 + 20;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(lines, 0, kMaxNoiseLinesPerTick));
}

void NoiseTick(EffectHost& host, NoiseState& state)
{
    if (host.EffectNeedsSetup()) {
        SetUpNoise(host, state);
    } else {
        DrawNoise(host, state);
    }
}

} // namespace nimbrel
