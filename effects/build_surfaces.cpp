// The snapshot of the screen and its two copies.
#include "effects/build_surfaces.h"

#include <algorithm>

namespace nimbrel {

SaverSurfaces BuildSurfaces(ScreenAccess& screen, const PixelRect& area)
{
    // A side past 32 bits is refused as any other impossible size.
    const auto side = [](std::int64_t length) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(length, -1, kMaxSurfacePixels + 1));
    };
    SaverSurfaces surfaces;
    surfaces.SnapshotBitmap = screen.CreateSurface(side(area.Width()), side(area.Height()));
    screen.CaptureScreen(surfaces.SnapshotBitmap, area.Left, area.Top);

    const PixelRect whole{0, 0, surfaces.SnapshotBitmap.Width(), surfaces.SnapshotBitmap.Height()};
    surfaces.WorkBitmap = screen.CreateSurface(whole.Right, whole.Bottom);
    CopyArea(surfaces.WorkBitmap, whole, surfaces.SnapshotBitmap, whole);
    surfaces.FrameBitmap = screen.CreateSurface(whole.Right, whole.Bottom);
    CopyArea(surfaces.FrameBitmap, whole, surfaces.SnapshotBitmap, whole);
    return surfaces;
}

SaverSurfaces BuildSurfaces(ScreenAccess& screen)
{
    return BuildSurfaces(screen, {0, 0, screen.ScreenWidth(), screen.ScreenHeight()});
}

} // namespace nimbrel
