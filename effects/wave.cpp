// Wave's setup tick and drawing tick. Every frame is drawn afresh from the
// snapshot, one block copy per band.
#include "effects/wave.h"

#include <algorithm>
#include <limits>

#include "settings/saver_settings.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

// The index after `phase`: past 22 the cycle goes back to 1, never to 0.
std::int32_t NextPhase(std::int32_t phase)
{
    return phase >= 22 ? 1 : phase + 1;
}

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void SetUpWave(EffectHost& host, WaveState& state)
{
    const SaverSettings::WaveSection defaults;
    std::int32_t speed = defaults.Speed;
    {
        const SettingsFile file(kSettingsFileName, host.SettingsStore());
        state.BandHeight = WaveBandHeightFromPitch(file.LoadInt("Wave", "Pitch", defaults.Pitch));
        speed = file.LoadInt("Wave", "Speed", defaults.Speed);
    }
    host.SetTimer2Interval(WaveTickInterval(speed));
    state.Phase = 0;
    state.HaveLastFrame = false;
    host.ClearEffectNeedsSetup();
}

void DrawWave(EffectHost& host, WaveState& state)
{
    std::int32_t& base = WaveBaseOffset();
    // The base offset drifts by at most 5 pixels per run, but it lives for the
    // process, so it wraps (defined, in unsigned) rather than overflowing.
    base = static_cast<std::int32_t>(static_cast<std::uint32_t>(base)
                                     + static_cast<std::uint32_t>(kWaveOffsetTable[state.Phase]));
    state.Phase = NextPhase(state.Phase);

    const FrameSize frame = ReadFrameSize(host);
    const Surface& snapshot = host.SnapshotBitmap();
    Surface& target = host.FrameBitmap();
    // Bands from row H on, or below the surface, change nothing; stopping at
    // the surface's bottom bounds the loop whatever the frame claims.
    const std::int64_t lastTop = std::min<std::int64_t>(frame.Height, target.Height());
    const std::int64_t bandHeight = std::max(state.BandHeight, 1);

    // A band drawn with the same shift as on the previous frame, over the
    // same frame size, would copy exactly the pixels it already holds: the
    // shifted part is the same and the uncovered edge is left alone anyway.
    const bool canSkip =
        state.HaveLastFrame && state.LastWidth == frame.Width && state.LastHeight == frame.Height;
    std::int64_t lastOffset = state.LastBase;
    std::int32_t lastPhase = state.LastPhase;

    // Without the previous frame to compare with, the window may show
    // anything: present all of it.
    state.Changes.Reset(frame);
    if (!canSkip) state.Changes.AddWholeFrame();

    std::int64_t bandOffset = base;
    std::int32_t bandPhase = state.Phase;
    for (std::int64_t bandTop = 0; bandTop <= lastTop; bandTop += bandHeight) {
        if (!canSkip || bandOffset != lastOffset) {
            const auto top = static_cast<std::int32_t>(bandTop);
            const std::int32_t bottom = ClampToInt32(bandTop + bandHeight);
            const PixelRect source{0, top, frame.Width, bottom};
            const PixelRect destination{ClampToInt32(bandOffset), top,
                                        ClampToInt32(frame.Width + bandOffset), bottom};
            CopyArea(target, destination, snapshot, source);
            if (canSkip) state.Changes.AddRows(top, bottom);
        }
        bandOffset += kWaveOffsetTable[bandPhase];
        bandPhase = NextPhase(bandPhase);
        lastOffset += kWaveOffsetTable[lastPhase];
        lastPhase = NextPhase(lastPhase);
    }
    state.HaveLastFrame = true;
    state.LastBase = base;
    state.LastPhase = state.Phase;
    state.LastWidth = frame.Width;
    state.LastHeight = frame.Height;
    host.PresentFrame(state.Changes.Rects());
}

} // namespace

std::int32_t& WaveBaseOffset()
{
    static std::int32_t offset = 0;
    return offset;
}

std::int32_t WaveBandHeightFromPitch(std::int32_t pitch)
{
    return std::max(pitch, 1);
}

std::uint32_t WaveTickInterval(std::int32_t speed)
{
    const std::int64_t interval = 650 - 100 * std::int64_t{speed};
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(interval, kShortestTimerInterval, kLongestTimerInterval));
}

void WaveTick(EffectHost& host, WaveState& state)
{
    if (host.EffectNeedsSetup()) {
        SetUpWave(host, state);
    } else {
        DrawWave(host, state);
    }
}

} // namespace nimbrel
