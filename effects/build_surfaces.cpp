// The snapshot of the screen and its two copies.
#include "effects/build_surfaces.h"

namespace nimbrel {

SaverSurfaces BuildSurfaces(ScreenAccess& screen)
{
    const std::int32_t width = screen.ScreenWidth();
    const std::int32_t height = screen.ScreenHeight();

    SaverSurfaces surfaces;
    surfaces.SnapshotBitmap = screen.CreateSurface(width, height);
    screen.CaptureScreen(surfaces.SnapshotBitmap);

    const PixelRect whole{0, 0, surfaces.SnapshotBitmap.Width(), surfaces.SnapshotBitmap.Height()};
    surfaces.WorkBitmap = screen.CreateSurface(whole.Right, whole.Bottom);
    CopyArea(surfaces.WorkBitmap, whole, surfaces.SnapshotBitmap, whole);
    surfaces.FrameBitmap = screen.CreateSurface(whole.Right, whole.Bottom);
    CopyArea(surfaces.FrameBitmap, whole, surfaces.SnapshotBitmap, whole);
    return surfaces;
}

} // namespace nimbrel
