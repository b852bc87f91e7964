// BuildSurfaces: the three surfaces of a saver run, made from a capture of
// the screen.
#pragma once

#include <cstdint>

#include "effects/surface.h"

namespace nimbrel {

// What BuildSurfaces needs from the platform.
class ScreenAccess {
public:
    virtual ~ScreenAccess() = default;

    // The primary screen's size in pixels; it starts at (0, 0).
    virtual std::int32_t ScreenWidth() = 0;
    virtual std::int32_t ScreenHeight() = 0;

    // The rectangle, in screen coordinates, that holds every monitor. A
    // monitor left of or above the primary one puts its corner at negative
    // coordinates. The default is the primary screen alone.
    virtual PixelRect VirtualScreen() { return {0, 0, ScreenWidth(), ScreenHeight()}; }

    // A new white surface. The Windows layer places it on memory that its
    // graphics calls can reach; the default owns plain memory. A refusal
    // throws Error with kSurfaceOutOfResources.
    virtual Surface CreateSurface(std::int32_t width, std::int32_t height)
    {
        return Surface(width, height);
    }

    // Copies the screen's pixels from (left, top), in screen coordinates,
    // into the surface at (0, 0). A failed capture leaves the surface as it
    // was.
    virtual void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) = 0;
};

// The surfaces of one run, named as the saver and the effects know them.
struct SaverSurfaces {
    Surface SnapshotBitmap;
    Surface WorkBitmap;
    Surface FrameBitmap;
};

// Captures the area of the screen into a new snapshot and copies it into a
// new work and a new frame surface, all of the area's size.
SaverSurfaces BuildSurfaces(ScreenAccess& screen, const PixelRect& area);

// The same for the primary screen.
SaverSurfaces BuildSurfaces(ScreenAccess& screen);

// New surfaces for a new area of the screen (a monitor came or went, or the
// resolution changed), made from a run's surfaces over the old area. Every
// pixel keeps its place on the screen and what the old area did not cover
// is black. The work and frame surfaces both get the frame's picture, which
// is what the window showed. A refusal throws as BuildSurfaces does, and the
// old surfaces stay as they were.
SaverSurfaces MoveSurfaces(ScreenAccess& screen, const SaverSurfaces& old, const PixelRect& oldArea,
                           const PixelRect& newArea);

} // namespace nimbrel
