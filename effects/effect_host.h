// EffectHost: everything an effect tick needs from the saver run, so that the
// same effect code runs in the Windows saver, in tests and in the renderer.
//
// The contract of an effect tick:
// - A tick is called on the user-interface thread and returns quickly. Its
//   work is bounded by the frame size and by fixed caps on the per-tick
//   counts, whatever the settings file holds; it never sleeps or waits.
// - A tick allocates nothing, except the setup tick (once per run), which
//   opens the settings file.
// - The frame size cannot change during a tick (no event runs inside one),
//   so a tick reads it once; between ticks it may change.
// - An exception ends the tick where it was raised; what the tick already
//   drew stays drawn. Only SetTimer2Interval may raise; PresentFrame and
//   TickCount never do.
// - Two runs in one process do not disturb each other: each run's setup tick
//   sets its effect's state afresh. The one exception is Wave's base offset,
//   which lives for the process by design.
#pragma once

#include <cstdint>

#include "effects/frame_changes.h"
#include "effects/random_source.h"
#include "effects/surface.h"
#include "settings/profile_store.h"

namespace nimbrel {

// The shortest and longest tick intervals a timer accepts. An effect never
// asks for an interval outside them.
inline constexpr std::uint32_t kShortestTimerInterval = 10;
inline constexpr std::uint32_t kLongestTimerInterval = 0x7FFFFFFF;

class EffectHost {
public:
    virtual ~EffectHost() = default;

    // The three surfaces of the run. They have the same size (the screen's)
    // for the whole run.
    virtual Surface& SnapshotBitmap() = 0;  // the screen as it was; never changed by an effect
    virtual Surface& WorkBitmap() = 0;      // Melt's accumulated picture
    virtual Surface& FrameBitmap() = 0;     // the frame being composed

    // The frame size W x H: the saver window's client size, at most the
    // surfaces' size (smaller in preview mode). Read afresh at every call.
    virtual std::int32_t FrameWidth() const = 0;
    virtual std::int32_t FrameHeight() const = 0;

    // Set when the run starts; the effect's first tick reads its settings
    // and clears it.
    virtual bool EffectNeedsSetup() const = 0;
    virtual void ClearEffectNeedsSetup() = 0;

    // The time to the next tick, kShortestTimerInterval to
    // kLongestTimerInterval milliseconds. May raise the timer error.
    virtual void SetTimer2Interval(std::uint32_t milliseconds) = 0;

    // Milliseconds since the system started; wraps around at 2^32.
    virtual std::uint32_t TickCount() const = 0;

    // Shows the given rectangles of FrameBitmap in the window, each clipped
    // to PixelRect(0, 0, W, H); the rest of the window keeps what it shows.
    // A drawing tick passes the rectangles it changed since the frame it
    // presented last, or the whole frame when the window may show anything
    // else (its first frame, a changed frame size).
    virtual void PresentFrame(std::span<const PixelRect> changed) = 0;

    // The process's random sequence (ProcessRandomSource() in the saver).
    virtual RandomSource& Random() = 0;

    // The store through which the effect opens the settings file
    // (CurrentProfileStore() in the saver).
    virtual ProfileStore& SettingsStore() = 0;
};

// The largest frame side an effect works with. Real windows are far smaller;
// the limit only keeps every sum of the effects' arithmetic inside 32 bits.
inline constexpr std::int32_t kMaxFrameSide = std::int32_t{1} << 30;

// Reads W x H once for a tick, a negative side as 0 and a side past
// kMaxFrameSide as kMaxFrameSide.
inline FrameSize ReadFrameSize(const EffectHost& host)
{
    auto clamp = [](std::int32_t side) {
        return side < 0 ? 0 : side > kMaxFrameSide ? kMaxFrameSide : side;
    };
    return {clamp(host.FrameWidth()), clamp(host.FrameHeight())};
}

} // namespace nimbrel
