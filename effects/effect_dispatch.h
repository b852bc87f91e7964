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

// The run's surfaces were replaced by ones whose work and frame surfaces both
// hold the picture the window showed, possibly moved and of another size.
// Each effect forgets what it kept about the old frame, so that its next
// drawing tick neither trusts it nor skips anything, and shows the whole
// frame.
void SurfacesReplaced(EffectStates& states);

} // namespace nimbrel
