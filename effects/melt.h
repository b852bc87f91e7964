// Melt: narrow columns of the picture slide down one row per tick, their top
// pixel turning black, so that the screen runs down; optionally the desktop
// comes back at a fixed period.
#pragma once

#include <array>
#include <cstdint>

#include "effects/effect_host.h"

namespace nimbrel {

// The most columns one tick moves (Speed 100). Larger Speed settings move
// this many: the tick stays bounded, and with this many columns the whole
// width of a large screen already melts on every tick.
inline constexpr std::int32_t kMaxMeltColumnsPerTick = 1001;

// The width of one column in pixels.
inline constexpr std::int32_t kMeltColumnWidth = 4;

// The state of one run's melt; each setup tick sets it afresh.
struct MeltState {
    std::int32_t ColumnsPerTick = 31;
    bool RestoreEnabled = true;
    std::int32_t RestorePeriod = 180;   // seconds; 0 or less restores on every drawing tick
    std::uint32_t RestoreDeadline = 0;  // tick count at or after which the next restore happens

    // Kept by the drawing tick so that it moves only what it changes. The
    // melted picture lies on FrameBitmap inside the first HeldWidth x
    // HeldHeight pixels (the last tick's frame) and on WorkBitmap elsewhere;
    // WorkBitmap's pixels inside that area are stale.
    std::int32_t HeldWidth = 0;
    std::int32_t HeldHeight = 0;
    struct ColumnSpan {
        std::int32_t Left;
        std::int32_t Right;
    };
    std::array<std::int32_t, kMaxMeltColumnsPerTick> ColumnLefts{};
    std::array<ColumnSpan, kMaxMeltColumnsPerTick> Spans{};

    // Set by the setup tick and by a restore, which happens after the
    // present: the next tick then shows the whole frame.
    bool PresentWholeFrame = true;
    FrameChanges Changes;
};

// Columns per tick for a Speed setting: Speed x 10 + 1, none for a Speed of
// -1 or less, and at most kMaxMeltColumnsPerTick.
std::int32_t MeltColumnsFromSpeed(std::int32_t speed);

// The setup tick when the host says the effect needs it, a drawing tick
// otherwise.
void MeltTick(EffectHost& host, MeltState& state);

} // namespace nimbrel
