// A saver run played on a picture instead of the screen, with simulated time
// and a fixed seed, so that the same options always give the same frames.
// The renderer and its tests use it; the command line lives in
// render_command.h.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "effects/effect_host.h"
#include "effects/effect_kind.h"
#include "effects/surface.h"

namespace nimbrel::render {

// Which effects the run's random choice may pick, indexed by EffectKind.
using EnabledEffects = std::array<bool, kEffectKindCount>;

// The lower-case name of an effect ("wave", "melt", "noise"), and back; an
// unknown name gives nothing.
std::string_view EffectName(EffectKind kind);
std::optional<EffectKind> EffectFromName(std::string_view name);

// The creation step's Timer2 interval: the setup tick comes this long after
// the window is created.
inline constexpr std::uint32_t kFirstTickDelay = 50;

// The most drawing ticks one run plays: over a day of Melt at 50 ms a tick.
inline constexpr std::int32_t kMaxFrames = 2'000'000;

struct RenderOptions {
    // The settings file's text; without it every setting has its default.
    std::optional<std::string> SettingsText;
    // Replaces the Main section's Wave, Melt and Noise flags when given.
    std::optional<EnabledEffects> Effects;
    // The random sequence's state at creation, in place of the clock.
    std::uint32_t Seed = 0;
    // Drawing ticks after the setup tick, 0 to kMaxFrames.
    std::int32_t Frames = 30;
    // The window's client size; the picture's size when not given. Must be
    // at least 1 x 1 and at most the picture's size.
    std::optional<FrameSize> WindowSize;
    // The system tick count at creation, in milliseconds.
    std::uint32_t StartMs = 0;
};

// One Timer2 tick of the run.
struct TickRecord {
    std::int32_t Tick = 0;         // 0 for the setup tick, then 1, 2, ...
    std::uint64_t TimeMs = 0;      // StartMs plus the time since creation, not wrapped
    std::uint32_t IntervalMs = 0;  // the time to the next tick, as the tick left it
    EffectKind Effect = EffectKind::Wave;
    bool Restored = false;         // Melt brought the snapshot back on this tick
    std::int32_t ChangedRects = 0;   // rectangles the tick presented (0 for the setup tick)
    std::int64_t ChangedPixels = 0;  // their pixels, counted once per rectangle
};

// A picture the window shows, handed out as soon as its time on screen is
// known.
struct ShownFrame {
    std::int32_t Index = 0;           // 0 before the first drawing tick, then one per drawing tick
    const Surface& Picture;           // the window's W x H pixels
    std::uint32_t DurationMs = 0;     // how long it stays: until the next drawing tick
};

using FrameSink = std::function<void(const ShownFrame& frame)>;

struct RenderResult {
    EffectKind Effect = EffectKind::Wave;
    std::vector<TickRecord> Ticks;  // the setup tick and one per drawing tick
};

// Plays creation, the setup tick and options.Frames drawing ticks as the
// saver window of a freshly started process would, on three surfaces of the
// picture's size whose snapshot is the picture. Each frame goes to the sink
// in order. Throws std::invalid_argument for a window size the picture cannot
// hold or a number of frames out of range; an error that an effect tick
// raises passes through.
RenderResult RenderRun(const Surface& picture, const RenderOptions& options, const FrameSink& sink);

} // namespace nimbrel::render
