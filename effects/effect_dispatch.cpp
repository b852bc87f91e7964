// Routes a tick to its effect.
#include "effects/effect_dispatch.h"

namespace nimbrel {

void RunEffectTick(EffectKind kind, EffectHost& host, EffectStates& states)
{
    switch (kind) {
    case EffectKind::Wave:
        WaveTick(host, states.Wave);
        break;
    case EffectKind::Melt:
        MeltTick(host, states.Melt);
        break;
    case EffectKind::Noise:
        NoiseTick(host, states.Noise);
        break;
    }
}

void SurfacesReplaced(EffectStates& states)
{
    states.Wave.HaveLastFrame = false;
    states.Melt.PresentWholeFrame = true;
    states.Noise.Clean = false;
}

} // namespace nimbrel
