// The three effects, in the order of the settings dialog's check boxes and of
// the saver's random choice.
#pragma once

#include <cstdint>

namespace nimbrel {

enum class EffectKind : std::int32_t { Wave = 0, Melt = 1, Noise = 2 };

inline constexpr int kEffectKindCount = 3;

} // namespace nimbrel
