// The headless clock, screen and effect host.
#include "platform/headless/headless_effect_host.h"

#include <stdexcept>

namespace nimbrel {

Surface MakeTestPattern(std::int32_t width, std::int32_t height)
{
    Surface picture(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            // Spread the index over all three components so that pixels
            // next to each other differ in every byte.
            const auto index = static_cast<std::uint32_t>(y) * static_cast<std::uint32_t>(width)
                               + static_cast<std::uint32_t>(x) + 1u;
            picture.SetColourAt(x, y, (index * 2654435761u) & 0xFFFFFFu);
        }
    }
    return picture;
}

void HeadlessScreen::CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top)
{
    // The picture's pixel (x, y) is the screen's (virtual left + x, virtual top + y).
    const PixelRect source{left - virtual_.Left, top - virtual_.Top,
                           left - virtual_.Left + surface.Width(), top - virtual_.Top + surface.Height()};
    CopyArea(surface, {0, 0, surface.Width(), surface.Height()}, picture_, source);
}

HeadlessEffectHost::HeadlessEffectHost(SaverSurfaces surfaces, ProfileStore& settings)
    : surfaces_(std::move(surfaces))
    , settings_(&settings)
    , frameWidth_(surfaces_.FrameBitmap.Width())
    , frameHeight_(surfaces_.FrameBitmap.Height())
{
}

void HeadlessEffectHost::SetFrameSize(std::int32_t width, std::int32_t height)
{
    frameWidth_ = width;
    frameHeight_ = height;
}

void HeadlessEffectHost::SetTimer2Interval(std::uint32_t milliseconds)
{
    if (milliseconds < kShortestTimerInterval || milliseconds > kLongestTimerInterval) {
        throw std::out_of_range("Timer2 interval outside what a timer accepts");
    }
    if (onInterval_) onInterval_(milliseconds);
    timer2Interval_ = milliseconds;
    ++intervalChanges_;
}

void HeadlessEffectHost::PresentFrame(std::span<const PixelRect> changed)
{
    ++presentCount_;
    // Keeps its capacity, so a run of ticks allocates only the first time.
    lastChanges_.assign(changed.begin(), changed.end());
    if (onPresent_) onPresent_(surfaces_.FrameBitmap, {frameWidth_, frameHeight_}, changed);
}

} // namespace nimbrel
