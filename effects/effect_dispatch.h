// The effect tick that the saver's Timer2 drives, chosen by the run's effect.
#pragma once

#include "effects/effect_host.h"
#include "effects/effect_kind.h"
#include "effects/melt.h"
#include "effects/noise.h"
#include "effects/wave.h"

namespace nimbrel {

// The working state of the three effects, held by the saver run.
struct EffectStates {
    WaveState Wave;
    MeltState Melt;
    NoiseState Noise;
};

// Runs one tick of the given effect; a value outside the three kinds does
// nothing.
void RunEffectTick(EffectKind kind, EffectHost& host, EffectStates& states);

} // namespace nimbrel
