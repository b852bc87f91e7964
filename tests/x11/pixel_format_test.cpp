// The visuals the hack draws on and the pixel conversion for each of them.
#include "platform/x11/pixel_format.h"

#include <gtest/gtest.h>


namespace nimbrel::x11 {
namespace {

// A pixel whose three components differ: red 0x12, green 0x34, blue 0x56.
constexpr Pixel kSample = 0x00123456;

TEST(PixelFormatTest, AcceptedVisualsPlaceEachComponentWhereTheirMasksSay)
{
    struct Case {
        const char* Name;
        VisualDescription Visual;
        bool SurfaceLayout;
        std::uint32_t Sample;  // kSample in the visual's layout
    };
    const Case cases[] = {
        {"24-bit RGB", {true, 24, 32, 0xFF0000, 0xFF00, 0xFF}, true, 0x00123456},
        {"24-bit BGR", {true, 24, 32, 0xFF, 0xFF00, 0xFF0000}, false, 0x00563412},
        // A 32-bit visual's fourth byte is its alpha: opaque.
        {"32-bit ARGB", {true, 32, 32, 0xFF0000, 0xFF00, 0xFF}, false, 0xFF123456},
        {"32-bit RGBA", {true, 32, 32, 0xFF000000, 0xFF0000, 0xFF00}, false, 0x123456FF},
        {"32-bit BGRA", {true, 32, 32, 0xFF00, 0xFF0000, 0xFF000000}, false, 0x563412FF},
    };
    for (const Case& c : cases) {
        const std::optional<PixelFormat> format = PixelFormat::FromVisual(c.Visual);
        ASSERT_TRUE(format) << c.Name;
        EXPECT_EQ(format->IsSurfaceLayout(), c.SurfaceLayout) << c.Name;
        EXPECT_EQ(format->ToVisual(kSample), c.Sample) << c.Name;
        EXPECT_EQ(format->FromVisual(c.Sample), kSample) << c.Name;

    }
    EXPECT_TRUE(PixelFormat().IsSurfaceLayout());
}

TEST(PixelFormatTest, OtherVisualsAreRefused)
{
    const std::pair<const char*, VisualDescription> refused[] = {
        {"not TrueColor", {false, 24, 32, 0xFF0000, 0xFF00, 0xFF}},
        {"16-bit", {true, 16, 16, 0xF800, 0x7E0, 0x1F}},
        {"30-bit", {true, 30, 32, 0x3FF00000, 0xFFC00, 0x3FF}},
        {"24 bits a pixel", {true, 24, 24, 0xFF0000, 0xFF00, 0xFF}},
        {"a mask of 7 bits", {true, 24, 32, 0x7F0000, 0xFF00, 0xFF}},
        {"a split mask", {true, 24, 32, 0xF0000F, 0xFF00, 0xFF0000}},
        {"overlapping masks", {true, 24, 32, 0xFF0000, 0xFF00, 0xFF00}},
        {"a mask past the depth", {true, 24, 32, 0xFF000000, 0xFF00, 0xFF}},
        {"no mask", {true, 24, 32, 0, 0xFF00, 0xFF}},
    };
    for (const auto& [name, visual] : refused) EXPECT_FALSE(PixelFormat::FromVisual(visual)) << name;
}

} // namespace
} // namespace nimbrel::x11
