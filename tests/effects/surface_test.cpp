// Surfaces, the drawing operations pixel by pixel on tiny surfaces, and
// surfaces over memory that the platform hands out.
#include "effects/surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "effect_test_support.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

using test_support::Picture;
using test_support::Text;

constexpr Colour K = kBlack;
constexpr Colour W = kWhite;

TEST(SurfaceTest, NewSurfaceIsWhiteOrOutOfResources)
{
    EXPECT_EQ(Text(Surface(3, 2)), ".../...");
    for (auto [width, height] : {std::pair{-1, 4}, {4, -1}, {100000, 100000}, {2147483647, 2}}) {
        try {
            Surface refused(width, height);
            ADD_FAILURE() << width << " x " << height << " was created";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "ｼｽﾃﾑ ﾘｿｰｽが足りません");
        }
    }
}

TEST(SurfaceTest, CopyAreaCopiesOnlyPairsInsideBothSurfaces)
{
    // Destination and source rectangles, and the black target afterwards.
    const std::tuple<PixelRect, PixelRect, const char*> cases[] = {
        {{2, 0, 10, 2}, {0, 0, 8, 2}, "##abcdef/##ijklmn"},
        {{-3, 0, 5, 2}, {0, 0, 8, 2}, "defgh###/lmnop###"},
        {{0, 1, 8, 3}, {0, 0, 8, 2}, "########/abcdefgh"},
        {{0, 0, 8, 2}, {-2, 1, 6, 3}, "##ijklmn/########"},
        {{2147483640, 0, 2147483647, 2}, {0, 0, 7, 2}, "########/########"},
        {{-2147483647 - 1, 0, -2147483640, 2}, {0, 0, 8, 2}, "########/########"},
    };
    for (const auto& [to, from, expected] : cases) {
        Surface target = Picture("########/########");
        CopyArea(target, to, Picture("abcdefgh/ijklmnop"), from);
        EXPECT_EQ(Text(target), expected) << "to x " << to.Left << ", y " << to.Top;
    }
}

TEST(SurfaceTest, FillAreaAndRowLineLeaveOutTheRightColumnAndBottomRow)
{
    // A rectangle on an 8 x 2 white surface, or a line along the rectangle's
    // top row, and the surface afterwards.
    const std::pair<PixelRect, const char*> cases[] = {
        {{-4, 0, 0, 1}, "......../........"}, {{-3, 0, 1, 1}, "#......./........"},
        {{0, 0, 4, 1}, "####..../........"},  {{5, 0, 9, 1}, ".....###/........"},
        {{8, 0, 12, 1}, "......../........"}, {{-1, 1, 9, 2}, "......../########"},
        {{4, 1, 0, 0}, "......../........"},  {{0, -1, 8, 0}, "......../........"},
        {{0, 2, 8, 3}, "......../........"},
    };
    for (const auto& [rect, expected] : cases) {
        Surface filled(8, 2), lined(8, 2);
        FillArea(filled, rect, K);
        DrawRowLine(lined, rect.Top, rect.Left, rect.Right, K);
        EXPECT_EQ(Text(filled), expected) << "x " << rect.Left << ", y " << rect.Top;
        EXPECT_EQ(Text(lined), expected) << "x " << rect.Left << ", y " << rect.Top;
    }
}

TEST(SurfaceTest, WrappedMemoryIsDrawnInPlaceAndKeptAliveByTheSurface)
{
    // As the Windows layer places surfaces on DIB sections: here rows lie 3
    // pixels apart, and drawing leaves the padding pixel of each row alone.
    auto memory = std::make_shared<std::vector<Pixel>>(6, 7u);
    const std::weak_ptr<std::vector<Pixel>> watch = memory;
    Surface surface(*memory, 2, 2, 3, memory);
    memory.reset();
    FillArea(surface, {-1, -1, 9, 9}, K);
    EXPECT_EQ(*watch.lock(), (std::vector<Pixel>{0, 0, 7, 0, 0, 7}));
    // A copy is a picture of its own; the memory goes with the surface.
    Surface copy = surface;
    copy.SetColourAt(0, 0, W);
    EXPECT_EQ(surface.ColourAt(0, 0), K);
    surface = Surface();
    EXPECT_TRUE(watch.expired());
    EXPECT_THROW(Surface(copy.Row(0), 2, 2, 3), std::invalid_argument);  // needs 3 + 2 pixels
}

} // namespace
} // namespace nimbrel
