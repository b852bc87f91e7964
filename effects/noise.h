// Noise: dark horizontal lines in random colours flicker over the picture,
// each frame the unchanged snapshot plus that frame's lines, at random
// intervals.
#pragma once

#include <array>
#include <cstdint>

#include "effects/effect_host.h"

namespace nimbrel {

// The most lines one frame draws (Deal 99). Larger Deal settings draw this
// many, which keeps the tick bounded; so many lines already hide most of a
// screen.
inline constexpr std::int32_t kMaxNoiseLinesPerTick = 2000;

// The state of one run's noise; each setup tick sets it afresh.
struct NoiseState {
    std::int32_t LinesPerTick = 80;

    // Kept by the drawing tick so that it restores only the rows that the
    // previous frame's lines changed: when Clean is set, FrameBitmap equals
    // SnapshotBitmap inside the first CleanWidth x CleanHeight pixels except
    // on the first DirtyRowCount rows of DirtyRows.
    bool Clean = false;
    std::int32_t CleanWidth = 0;
    std::int32_t CleanHeight = 0;
    std::int32_t DirtyRowCount = 0;
    std::array<std::int32_t, kMaxNoiseLinesPerTick> DirtyRows{};

    // The rows one tick changed inside the frame, put back or drawn over
    // (each row once or more), and what the tick presents.
    std::int32_t ChangedRowCount = 0;
    std::array<std::int32_t, 2 * kMaxNoiseLinesPerTick> ChangedRows{};
    FrameChanges Changes;
};

// Lines per frame for a Deal setting: Deal x 20 + 20, none for a Deal of -1
// or less, and at most kMaxNoiseLinesPerTick.
std::int32_t NoiseLinesFromDeal(std::int32_t deal);

// The setup tick when the host says the effect needs it, a drawing tick
// otherwise.
void NoiseTick(EffectHost& host, NoiseState& state);

} // namespace nimbrel
