// The three surfaces of a run, built from a capture of the screen.
#include "effects/build_surfaces.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "effect_test_support.h"

namespace nimbrel {
namespace {

class BuildSurfacesTest : public ::testing::Test {};

TEST_F(BuildSurfacesTest, SnapshotIsTheCaptureAndTheOtherTwoCopyIt)
{
    HeadlessScreen screen(MakeTestPattern(5, 3));
    SaverSurfaces surfaces = BuildSurfaces(screen);
    EXPECT_EQ(surfaces.SnapshotBitmap, screen.Picture());
    EXPECT_EQ(surfaces.WorkBitmap, screen.Picture());
    EXPECT_EQ(surfaces.FrameBitmap, screen.Picture());
    // Three separate pictures.
    FillArea(surfaces.FrameBitmap, {0, 0, 5, 3}, kBlack);
    EXPECT_EQ(surfaces.WorkBitmap, screen.Picture());
    EXPECT_EQ(surfaces.SnapshotBitmap, screen.Picture());
}

TEST_F(BuildSurfacesTest, PlatformPlacesTheSurfacesAndAFailedCaptureLeavesWhite)
{
    // Surfaces on padded memory that the platform hands out, as the Windows
    // layer places them on DIB sections; the capture fails.
    class PlacingScreen final : public ScreenAccess {
    public:
        std::int32_t ScreenWidth() override { return 4; }
        std::int32_t ScreenHeight() override { return 2; }
        Surface CreateSurface(std::int32_t width, std::int32_t height) override
        {
            auto memory = std::make_shared<std::vector<Pixel>>(14, PixelFromColour(kWhite));
            return Surface(*memory, width, height, width + 3, memory);
        }
        void CaptureScreen(Surface&) override {}
    } screen;
    SaverSurfaces surfaces = BuildSurfaces(screen);
    EXPECT_EQ(surfaces.FrameBitmap.Stride(), 7);
    EXPECT_FALSE(surfaces.WorkBitmap.OwnsPixels());
    EXPECT_EQ(surfaces.FrameBitmap, test_support::SolidSurface(4, 2, kWhite));
}

} // namespace
} // namespace nimbrel
