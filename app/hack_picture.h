// The picture the hack distorts when it may not show the desktop and was
// given no picture of its own: colour bars over a grey ramp, with a grid.
#pragma once

#include <cstdint>

#include "effects/surface.h"

namespace nimbrel {

// A picture of the given size that depends on nothing else: seven colour
// bars in the top two thirds, a strip of their complements, and a ramp from
// black to white at the bottom, with dark grid lines every 32 pixels so that
// sideways and downward movement shows everywhere. Throws Error for a size a
// surface cannot have.
Surface MakeColourBars(std::int32_t width, std::int32_t height);

} // namespace nimbrel
