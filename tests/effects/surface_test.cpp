// Surfaces, the drawing operations pixel by pixel on tiny surfaces, and the
// three surfaces of a run built from a capture of the screen.
#include "effects/surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "effect_test_support.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

constexpr Colour K = kBlack;
constexpr Colour W = kWhite;

Surface Solid(std::int32_t width, std::int32_t height, Colour colour)
{
    Surface surface(width, height);
    FillArea(surface, {0, 0, width, height}, colour);
    return surface;
}

std::vector<Colour> RowOf(const Surface& surface, std::int32_t y)
{
    std::vector<Colour> row;
    for (std::int32_t x = 0; x < surface.Width(); ++x) row.push_back(surface.ColourAt(x, y));
    return row;
}

TEST(SurfaceTest, NewSurfaceIsWhiteOrOutOfResources)
{
    const Surface surface(4, 3);
    EXPECT_TRUE(surface.OwnsPixels());
    EXPECT_EQ(surface, Solid(4, 3, W));
    for (auto [width, height] : {std::pair{-1, 4}, {4, -1}, {100000, 100000}, {2147483647, 2}}) {
        try {
            Surface refused(width, height);
            ADD_FAILURE() << width << " x " << height << " was created";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "ｼｽﾃﾑ ﾘｿｰｽが足りません");
        }
    }
}

TEST(SurfaceTest, ColourValueHasRedLowAndStoredPixelBlueLow)
{
    EXPECT_EQ(MakeColour(0, 0, 127), 0x7F0000u);
    EXPECT_EQ(MakeColour(1, 2, 3), 0x030201u);
    Surface surface(1, 1);
    surface.SetColourAt(0, 0, MakeColour(0x12, 0x34, 0x56));
    EXPECT_EQ(surface.Row(0)[0], 0x123456u);
}

TEST(SurfaceTest, WrappedMemoryIsUsedInPlaceWithItsStride)
{
    std::vector<Pixel> memory(6 * 3, 0xABCDEF);
    Surface surface(memory, 4, 3, 6);
    FillArea(surface, {0, 0, 10, 10}, MakeColour(1, 2, 3));
    for (std::size_t i = 0; i < memory.size(); ++i) {
        // Columns 4 and 5 of each row are padding and keep their value.
        EXPECT_EQ(memory[i], i % 6 < 4 ? 0x010203u : 0xABCDEFu) << "at " << i;
    }
    EXPECT_THROW(Surface(memory, 4, 4, 6), std::invalid_argument);  // needs 3 x 6 + 4
    EXPECT_THROW(Surface(memory, 4, 2, 3), std::invalid_argument);  // stride below width

    // A copy owns its pixels; a move keeps the wrapped memory's owner alive.
    auto owner = std::make_shared<std::vector<Pixel>>(3 * 2, 0u);
    std::weak_ptr<std::vector<Pixel>> watch = owner;
    Surface wrapped(*owner, 2, 2, 3, owner);
    owner.reset();
    Surface copy = wrapped;
    EXPECT_TRUE(copy.OwnsPixels());
    copy.SetColourAt(0, 0, W);
    EXPECT_EQ(wrapped.ColourAt(0, 0), K);
    Surface moved = std::move(wrapped);
    EXPECT_FALSE(watch.expired());
    moved = Surface();
    EXPECT_TRUE(watch.expired());
}

TEST(SurfaceTest, CopyAreaCopiesOnlyPairsInsideBothSurfaces)
{
    // Source pixel (x, y) holds 10 y + x + 1; rows 0 and 3 of the target.
    Surface source(8, 4);
    for (std::int32_t y = 0; y < 4; ++y) {
        for (std::int32_t x = 0; x < 8; ++x) source.SetColourAt(x, y, static_cast<Colour>(10 * y + x + 1));
    }
    const std::vector<Colour> none(8, K);
    // Destination and source rectangles, then rows 0 and 3 of the target.
    const std::tuple<PixelRect, PixelRect, std::vector<Colour>, std::vector<Colour>> cases[] = {
        {{2, 0, 10, 4}, {0, 0, 8, 4}, {K, K, 1, 2, 3, 4, 5, 6}, {K, K, 31, 32, 33, 34, 35, 36}},
        {{-3, 0, 5, 4}, {0, 0, 8, 4}, {4, 5, 6, 7, 8, K, K, K}, {34, 35, 36, 37, 38, K, K, K}},
        {{0, 2, 8, 6}, {0, 0, 8, 4}, none, {11, 12, 13, 14, 15, 16, 17, 18}},
        {{0, 0, 8, 4}, {-2, 1, 6, 5}, {K, K, 11, 12, 13, 14, 15, 16}, none},
        {{8, 0, 16, 4}, {0, 0, 8, 4}, none, none},
        {{0, -4, 8, 0}, {0, 0, 8, 4}, none, none},
        {{0, 0, 8, 4}, {-8, 0, 0, 4}, none, none},
        {{2147483640, 0, 2147483647, 4}, {0, 0, 7, 4}, none, none},
        {{-2147483647 - 1, 0, -2147483640, 4}, {0, 0, 8, 4}, none, none},
    };
    for (const auto& [to, from, row0, row3] : cases) {
        Surface target = Solid(8, 4, K);
        CopyArea(target, to, source, from);
        EXPECT_EQ(RowOf(target, 0), row0) << "to x " << to.Left << ", y " << to.Top;
        EXPECT_EQ(RowOf(target, 3), row3) << "to x " << to.Left << ", y " << to.Top;
    }

    // Long rows go in 64-pixel blocks: lengths around the block size.
    const Surface wide = MakeTestPattern(200, 1);
    for (std::int32_t length : {63, 64, 65, 131, 197}) {
        Surface copy = Solid(200, 1, K);
        CopyArea(copy, {3, 0, 3 + length, 1}, wide, {0, 0, length, 1});
        for (std::int32_t x = 0; x < 200; ++x) {
            const bool copied = x >= 3 && x < 3 + length;
            ASSERT_EQ(copy.ColourAt(x, 0), copied ? wide.ColourAt(x - 3, 0) : K) << length << " at " << x;
        }
    }
}

TEST(SurfaceTest, FillAreaAndRowLineLeaveOutTheRightColumnAndBottomRow)
{
    // A rectangle on row 0 of an 8 x 2 white surface, and row 0 after it
    // ('#' filled); row 1 stays white.
    const std::pair<PixelRect, std::string> fills[] = {
        {{-5, 0, -1, 1}, "........"}, {{-4, 0, 0, 1}, "........"}, {{-3, 0, 1, 1}, "#......."},
        {{-1, 0, 3, 1}, "###....."}, {{0, 0, 4, 1}, "####...."},  {{4, 0, 8, 1}, "....####"},
        {{5, 0, 9, 1}, ".....###"},  {{7, 0, 11, 1}, ".......#"}, {{8, 0, 12, 1}, "........"},
        {{4, 1, 0, 0}, "........"},  // inverted
    };
    for (const auto& [rect, row] : fills) {
        Surface surface(8, 2);
        FillArea(surface, rect, K);
        std::string drawn;
        for (Colour c : RowOf(surface, 0)) drawn += c == K ? '#' : '.';
        EXPECT_EQ(drawn, row) << "x " << rect.Left;
        EXPECT_EQ(RowOf(surface, 1), std::vector<Colour>(8, W)) << "x " << rect.Left;
    }

    Surface surface(6, 2);
    DrawRowLine(surface, 1, 2, 5, K);
    DrawRowLine(surface, 1, -3, 1, K);
    for (std::int32_t y : {-10, -1, 2, 2147483647}) DrawRowLine(surface, y, 0, 6, K);
    EXPECT_EQ(RowOf(surface, 0), std::vector<Colour>(6, W));
    EXPECT_EQ(RowOf(surface, 1), (std::vector<Colour>{K, W, K, K, K, W}));
}

TEST(BuildSurfacesTest, SnapshotIsTheCaptureOnThePlatformsSurfacesAndTheOthersCopyIt)
{
    // The platform hands out padded white memory, as the Windows layer
    // places surfaces on DIB sections; its capture draws one black pixel.
    class PlacingScreen final : public ScreenAccess {
    public:
        std::int32_t ScreenWidth() override { return 4; }
        std::int32_t ScreenHeight() override { return 2; }
        Surface CreateSurface(std::int32_t width, std::int32_t height) override
        {
            auto memory = std::make_shared<std::vector<Pixel>>(14, PixelFromColour(W));
            return Surface(*memory, width, height, width + 3, memory);
        }
        void CaptureScreen(Surface& surface, std::int32_t, std::int32_t) override { surface.SetColourAt(1, 1, K); }
    } screen;
    SaverSurfaces surfaces = BuildSurfaces(screen);
    const Surface captured = test_support::SurfaceFromRows({{W, W, W, W}, {W, K, W, W}});
    EXPECT_EQ(surfaces.FrameBitmap, captured);
    EXPECT_EQ(surfaces.FrameBitmap.Stride(), 7);
    EXPECT_FALSE(surfaces.WorkBitmap.OwnsPixels());
    // Three separate pictures.
    FillArea(surfaces.FrameBitmap, {0, 0, 4, 2}, K);
    EXPECT_EQ(surfaces.SnapshotBitmap, captured);
    EXPECT_EQ(surfaces.WorkBitmap, captured);
}

} // namespace
} // namespace nimbrel
