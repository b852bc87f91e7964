// Surfaces and the drawing operations, pixel by pixel on tiny surfaces.
#include "effects/surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "effect_test_support.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

using test_support::RowColours;
using test_support::SolidSurface;

constexpr Colour R = MakeColour(255, 0, 0);
constexpr Colour B = MakeColour(0, 0, 255);
constexpr Colour K = kBlack;
constexpr Colour W = kWhite;

// Pixel (x, y) holds colour 10 y + x + 1, so copies can be read off the rows.
Surface Numbered8x4()
{
    Surface surface(8, 4);
    for (std::int32_t y = 0; y < 4; ++y) {
        for (std::int32_t x = 0; x < 8; ++x) {
            surface.SetColourAt(x, y, static_cast<Colour>(10 * y + x + 1));
        }
    }
    return surface;
}

class SurfaceTest : public ::testing::Test {};

TEST_F(SurfaceTest, NewSurfaceIsWhite)
{
    const Surface surface(4, 3);
    EXPECT_EQ(surface.Stride(), 4);
    EXPECT_TRUE(surface.OwnsPixels());
    EXPECT_EQ(surface, SolidSurface(4, 3, W));
}

TEST_F(SurfaceTest, NegativeOrAbsurdSizeIsOutOfResources)
{
    for (auto [width, height] : {std::pair{-1, 4}, {4, -1}, {100000, 100000}, {2147483647, 2}}) {
        try {
            Surface surface(width, height);
            ADD_FAILURE() << width << " x " << height << " was created";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "ｼｽﾃﾑ ﾘｿｰｽが足りません");
        }
    }
}

TEST_F(SurfaceTest, ColourValueHasRedLowAndStoredPixelBlueLow)
{
    EXPECT_EQ(MakeColour(0, 0, 127), 0x7F0000u);
    EXPECT_EQ(MakeColour(1, 2, 3), 0x030201u);
    Surface surface(1, 1);
    surface.SetColourAt(0, 0, MakeColour(0x12, 0x34, 0x56));
    EXPECT_EQ(surface.Row(0)[0], 0x123456u);
    EXPECT_EQ(surface.ColourAt(0, 0), MakeColour(0x12, 0x34, 0x56));
}

TEST_F(SurfaceTest, WrappedMemoryIsUsedInPlaceWithItsStride)
{
    std::vector<Pixel> memory(6 * 3, 0xABCDEF);
    Surface surface(memory, 4, 3, 6);
    EXPECT_FALSE(surface.OwnsPixels());
    FillArea(surface, {0, 0, 10, 10}, MakeColour(1, 2, 3));
    for (std::size_t i = 0; i < memory.size(); ++i) {
        // Columns 4 and 5 of each row are padding and keep their value.
        EXPECT_EQ(memory[i], i % 6 < 4 ? 0x010203u : 0xABCDEFu) << "at " << i;
    }
    EXPECT_THROW(Surface(memory, 4, 4, 6), std::invalid_argument);  // needs 3 x 6 + 4
    EXPECT_THROW(Surface(memory, 4, 2, 3), std::invalid_argument);  // stride below width
}

TEST_F(SurfaceTest, CopyIsOwnedWhileMoveKeepsTheWrappedMemoryAlive)
{
    auto owner = std::make_shared<std::vector<Pixel>>(3 * 2, PixelFromColour(B));
    std::weak_ptr<std::vector<Pixel>> watch = owner;
    Surface wrapped(*owner, 2, 2, 3, owner);
    owner.reset();

    Surface copy = wrapped;
    EXPECT_TRUE(copy.OwnsPixels());
    copy.SetColourAt(0, 0, R);
    EXPECT_EQ(wrapped.ColourAt(0, 0), B);

    Surface moved = std::move(wrapped);
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(moved.ColourAt(1, 1), B);
    moved = Surface();
    EXPECT_TRUE(watch.expired());
}

class CopyAreaTest : public ::testing::Test {
protected:
    const Surface source = Numbered8x4();
    Surface target = SolidSurface(8, 4, K);
};

TEST_F(CopyAreaTest, ShiftedRightDropsTheSourcesRightColumns)
{
    CopyArea(target, {2, 0, 10, 4}, source, {0, 0, 8, 4});
    EXPECT_EQ(RowColours(target, 0), (std::vector<Colour>{K, K, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(RowColours(target, 3), (std::vector<Colour>{K, K, 31, 32, 33, 34, 35, 36}));
}

TEST_F(CopyAreaTest, ShiftedLeftDropsTheSourcesLeftColumns)
{
    CopyArea(target, {-3, 0, 5, 4}, source, {0, 0, 8, 4});
    EXPECT_EQ(RowColours(target, 0), (std::vector<Colour>{4, 5, 6, 7, 8, K, K, K}));
    EXPECT_EQ(RowColours(target, 2), (std::vector<Colour>{24, 25, 26, 27, 28, K, K, K}));
}

TEST_F(CopyAreaTest, RectanglesOutsideEitherSurfaceChangeNothing)
{
    CopyArea(target, {8, 0, 16, 4}, source, {0, 0, 8, 4});
    CopyArea(target, {0, -4, 8, 0}, source, {0, 0, 8, 4});
    CopyArea(target, {0, 0, 8, 4}, source, {-8, 0, 0, 4});
    CopyArea(target, {2147483640, 0, 2147483647, 4}, source, {0, 0, 7, 4});
    CopyArea(target, {-2147483647 - 1, 0, -2147483640, 4}, source, {0, 0, 8, 4});
    EXPECT_EQ(target, SolidSurface(8, 4, K));
}

TEST_F(CopyAreaTest, OnlyPairsInsideBothSurfacesAreCopied)
{
    // Past the destination's bottom: only rows 2 and 3 change.
    CopyArea(target, {0, 2, 8, 6}, source, {0, 0, 8, 4});
    EXPECT_EQ(RowColours(target, 1), std::vector<Colour>(8, K));
    EXPECT_EQ(RowColours(target, 3), (std::vector<Colour>{11, 12, 13, 14, 15, 16, 17, 18}));

    // Source columns -2 and -1 and row 4 do not exist.
    target = SolidSurface(8, 4, K);
    CopyArea(target, {0, 0, 8, 4}, source, {-2, 1, 6, 5});
    EXPECT_EQ(RowColours(target, 0), (std::vector<Colour>{K, K, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(RowColours(target, 3), std::vector<Colour>(8, K));
}

TEST_F(CopyAreaTest, LongRowsAreCopiedWholeAtEveryLength)
{
    // Lengths around the 64-pixel blocks in which long rows are copied.
    const Surface wide = MakeTestPattern(200, 2);
    for (std::int32_t length : {63, 64, 65, 128, 131, 197}) {
        Surface copy = SolidSurface(200, 2, K);
        CopyArea(copy, {3, 0, 3 + length, 2}, wide, {0, 0, length, 2});
        for (std::int32_t x = 0; x < 200; ++x) {
            const bool copied = x >= 3 && x < 3 + length;
            ASSERT_EQ(copy.ColourAt(x, 1), copied ? wide.ColourAt(x - 3, 1) : K)
                << "length " << length << " at " << x;
        }
    }
}

class FillAreaTest : public ::testing::Test {};

TEST_F(FillAreaTest, FourWideRectangleIsClippedAtBothEdges)
{
    // x, and the pixels of row 0 that PixelRect(x, 0, x + 4, 1) changes.
    const std::vector<std::pair<std::int32_t, int>> expected = {
        {-5, 0}, {-4, 0}, {-3, 1}, {-1, 3}, {0, 4}, {4, 4}, {5, 3}, {7, 1}, {8, 0}};
    for (const auto& [x, changed] : expected) {
        Surface surface = SolidSurface(8, 2, W);
        FillArea(surface, {x, 0, x + 4, 1}, R);
        const auto row = RowColours(surface, 0);
        EXPECT_EQ(std::count(row.begin(), row.end(), R), changed) << "x = " << x;
        EXPECT_EQ(RowColours(surface, 1), std::vector<Colour>(8, W)) << "x = " << x;
    }
}

TEST_F(FillAreaTest, RightColumnAndBottomRowAreOutside)
{
    Surface surface = SolidSurface(4, 3, W);
    FillArea(surface, {1, 0, 3, 2}, B);
    FillArea(surface, {3, 2, 1, 0}, R);  // inverted: nothing
    EXPECT_EQ(RowColours(surface, 1), (std::vector<Colour>{W, B, B, W}));
    EXPECT_EQ(RowColours(surface, 2), (std::vector<Colour>{W, W, W, W}));
}

TEST_F(FillAreaTest, RowLineLeavesOutItsEndPixelAndOtherRows)
{
    Surface surface = SolidSurface(6, 2, W);
    DrawRowLine(surface, 0, 0, 6, B);
    DrawRowLine(surface, 1, 2, 5, B);
    DrawRowLine(surface, 1, -3, 1, R);
    for (std::int32_t y : {-10, -1, 2, 2147483647}) DrawRowLine(surface, y, 0, 6, R);
    EXPECT_EQ(RowColours(surface, 0), std::vector<Colour>(6, B));
    EXPECT_EQ(RowColours(surface, 1), (std::vector<Colour>{R, W, B, B, B, W}));
}

} // namespace
} // namespace nimbrel
