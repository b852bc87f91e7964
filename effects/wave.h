// Wave: the picture cut into horizontal bands, each shifted sideways along a
// fixed table of steps, the wave travelling up one band per tick.
#pragma once

#include <array>
#include <cstdint>

#include "effects/effect_host.h"

namespace nimbrel {

// Steps, in pixels, between neighbouring bands and between successive ticks.
// Entries 1 to 22 are the cycle and add up to 0; entry 0 is read only by the
// first drawing tick after a setup tick.
inline constexpr std::array<std::int32_t, 23> kWaveOffsetTable = {
    0, 2, 1, 1, 1, 0, 0, 0, -1, -1, -1, -2, -2, -1, -1, -1, 0, 0, 0, 1, 1, 1, 2};

// The state of one run's wave; each setup tick sets it afresh.
struct WaveState {
    std::int32_t BandHeight = 4;  // rows per band, at least 1
    std::int32_t Phase = 0;       // index of the step the next drawing tick adds

    // Kept by the drawing tick: how the previous frame of this run was drawn
    // (top band's shift, its phase, the frame size), so that a band whose
    // shift has not changed is not copied again. About a quarter of the
    // steps are 0, so about a quarter of the bands stay put on every tick.
    bool HaveLastFrame = false;
    std::int32_t LastBase = 0;
    std::int32_t LastPhase = 0;
    std::int32_t LastWidth = 0;
    std::int32_t LastHeight = 0;

    // The bands this tick redrew, which it presents.
    FrameChanges Changes;
};

// The shift of the top band. It lives for the process: a second run starts
// from the shift that the previous run left.
std::int32_t& WaveBaseOffset();

// The band height for a Pitch setting: a Pitch below 1 gives bands one row
// high, which keeps the band loop moving down the frame.
std::int32_t WaveBandHeightFromPitch(std::int32_t pitch);

// The tick interval for a Speed setting: 650 - 100 x Speed ms, kept within
// what a timer accepts (kShortestTimerInterval to kLongestTimerInterval).
std::uint32_t WaveTickInterval(std::int32_t speed);

// The setup tick when the host says the effect needs it, a drawing tick
// otherwise.
void WaveTick(EffectHost& host, WaveState& state);

} // namespace nimbrel
