// The snapshot of the screen and its two copies.
#include "effects/build_surfaces.h"

#include <algorithm>

namespace nimbrel {

namespace {

// A side past 32 bits is refused as any other impossible size.
std::int32_t Side(std::int64_t length)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(length, -1, kMaxSurfacePixels + 1));
}

// A black surface of the area's size holding source's pixels at their place
// on the screen; source covered the area from.
Surface Moved(ScreenAccess& screen, const Surface& source, const PixelRect& from, const PixelRect& area)
{
    Surface moved = screen.CreateSurface(Side(area.Width()), Side(area.Height()));
    FillArea(moved, {0, 0, moved.Width(), moved.Height()}, kBlack);
    // An offset this large puts the source wholly outside; clamping it keeps
    // the rectangle's arithmetic inside 32 bits for any area.
    constexpr std::int64_t kFar = std::int64_t{1} << 30;
    const auto dx = static_cast<std::int32_t>(std::clamp(std::int64_t{from.Left} - area.Left, -kFar, kFar));
    const auto dy = static_cast<std::int32_t>(std::clamp(std::int64_t{from.Top} - area.Top, -kFar, kFar));
    CopyArea(moved, {dx, dy, dx + source.Width(), dy + source.Height()}, source,
             {0, 0, source.Width(), source.Height()});
    return moved;
}

} // namespace

SaverSurfaces BuildSurfaces(ScreenAccess& screen, const PixelRect& area)
{
    SaverSurfaces surfaces;
    surfaces.SnapshotBitmap = screen.CreateSurface(Side(area.Width()), Side(area.Height()));
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

SaverSurfaces MoveSurfaces(ScreenAccess& screen, const SaverSurfaces& old, const PixelRect& oldArea,
                           const PixelRect& newArea)
{
    SaverSurfaces surfaces;
    surfaces.SnapshotBitmap = Moved(screen, old.SnapshotBitmap, oldArea, newArea);
    surfaces.WorkBitmap = Moved(screen, old.FrameBitmap, oldArea, newArea);
    surfaces.FrameBitmap = Moved(screen, old.FrameBitmap, oldArea, newArea);
    return surfaces;
}

} // namespace nimbrel
