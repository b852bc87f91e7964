// Drawing the colour bars with the surfaces' own fill operations.
#include "app/hack_picture.h"

#include <array>

namespace nimbrel {
namespace {

// The classic bars at three quarters of full strength, then the strip
// below them in the reverse order of their complements.
constexpr std::array<Colour, 7> kBars = {
    MakeColour(191, 191, 191), MakeColour(191, 191, 0), MakeColour(0, 191, 191), MakeColour(0, 191, 0),
    MakeColour(191, 0, 191),   MakeColour(191, 0, 0),   MakeColour(0, 0, 191),
};
constexpr std::array<Colour, 7> kStrip = {
    MakeColour(0, 0, 191), kBlack, MakeColour(191, 0, 191), kBlack, MakeColour(0, 191, 191), kBlack,
    MakeColour(191, 191, 191),
};

constexpr std::int32_t kGridStep = 32;
constexpr Colour kGridColour = MakeColour(40, 40, 40);

} // namespace

Surface MakeColourBars(std::int32_t width, std::int32_t height)
{
    Surface picture(width, height);
    const std::int64_t w = width, h = height;
    const auto barsBottom = static_cast<std::int32_t>(h * 2 / 3);
    const auto stripBottom = static_cast<std::int32_t>(h * 3 / 4);
    for (std::int64_t i = 0; i < 7; ++i) {
        const auto left = static_cast<std::int32_t>(w * i / 7);
        const auto right = static_cast<std::int32_t>(w * (i + 1) / 7);
        FillArea(picture, {left, 0, right, barsBottom}, kBars[static_cast<std::size_t>(i)]);
        FillArea(picture, {left, barsBottom, right, stripBottom}, kStrip[static_cast<std::size_t>(i)]);
    }
    for (std::int32_t x = 0; x < width; ++x) {
        const auto grey = static_cast<std::uint8_t>(w > 1 ? x * std::int64_t{255} / (w - 1) : 0);
        FillArea(picture, {x, stripBottom, x + 1, height}, MakeColour(grey, grey, grey));
    }
    for (std::int32_t x = 0; x < width; x += kGridStep) FillArea(picture, {x, 0, x + 1, height}, kGridColour);
    for (std::int32_t y = 0; y < height; y += kGridStep) DrawRowLine(picture, y, 0, width, kGridColour);
    return picture;
}

} // namespace nimbrel
