// SaverSettings: the ten settings values with their defaults, one member
// record per section of the settings file.
#pragma once

#include <cstdint>

namespace nimbrel {

struct SaverSettings {
    struct MainSection {
        bool Wave = true;
        bool Melt = false;
        bool Noise = false;
        std::int32_t CloseMouseMove = 4;
    };
    struct WaveSection {
        std::int32_t Pitch = 4;
        std::int32_t Speed = 3;
    };
    struct MeltSection {
        std::int32_t Speed = 3;
        bool Recover = true;
        std::int32_t RecoverTime = 180;
    };
    struct NoiseSection {
        std::int32_t Deal = 3;
    };

    MainSection Main;
    WaveSection Wave;
    MeltSection Melt;
    NoiseSection Noise;
};

} // namespace nimbrel
