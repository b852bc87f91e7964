// Helpers shared by the effect tests: pictures written out row by row, and
// one effect's run over the headless host, whose window is checked against
// the frame at every present.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "effects/build_surfaces.h"
#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/settings_file.h"

namespace nimbrel::test_support {

// A colour for each character of a picture written as text: '#' is black,
// '.' white, and any other character a colour of its own.
inline Colour Ink(char c)
{
    const auto code = static_cast<std::uint8_t>(c);
    return c == '#' ? kBlack : c == '.' ? kWhite : MakeColour(code, static_cast<std::uint8_t>(255 - code), 128);
}

// A picture written as text, one character a pixel, rows top first and
// separated by '/'.
inline Surface Picture(std::string_view text)
{
    const auto width = static_cast<std::int32_t>(std::min(text.find('/'), text.size()));
    Surface surface(width, static_cast<std::int32_t>((text.size() + 1) / (width + 1)));
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (std::int32_t x = 0; x < width; ++x) surface.SetColourAt(x, y, Ink(text[y * (width + 1) + x]));
    }
    return surface;
}

// A surface as Picture writes it; the colours `inks` (a Noise line's) read
// as '1', '2', ..., and any other colour as '?'.
inline std::string Text(const Surface& surface, const std::vector<Colour>& inks = {})
{
    std::string text;
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (std::int32_t x = 0; x < surface.Width(); ++x) {
            const Colour colour = surface.ColourAt(x, y);
            const auto ink = std::ranges::find(inks, colour);
            const char c = colour == kBlack ? '#' : colour == kWhite ? '.' : static_cast<char>(colour & 0xFF);
            text += ink != inks.end() ? static_cast<char>('1' + (ink - inks.begin())) : Ink(c) == colour ? c : '?';
        }
        if (y + 1 < surface.Height()) text += '/';
    }
    return text;
}

// A run of one effect: the screen's picture becomes the three surfaces, the
// settings file lives in memory, and Start plays the setup tick.
template <typename State, void (*EffectTick)(EffectHost&, State&)>
class EffectRunTest : public ::testing::Test {
protected:
    void Start(Surface picture, const std::string& settings, std::uint32_t tickCount = 0)
    {
        state = State{};
        StartAgain(std::move(picture), settings, tickCount);
    }

    // A further run in the same process, which keeps the effect's state as
    // the run before left it.
    void StartAgain(Surface picture, const std::string& settings, std::uint32_t tickCount = 0)
    {
        store.SetFileText(kSettingsFileName, settings);
        HeadlessScreen screen(std::move(picture));
        host = std::make_unique<HeadlessEffectHost>(BuildSurfaces(screen), store);
        host->SetTickCount(tickCount);
        window = host->FrameBitmap();
        host->SetPresentHandler([this](const Surface& frame, FrameSize size, auto changed) {
            presented = frame;
            for (const PixelRect& rect : changed) CopyArea(window, rect, frame, rect);
            const auto shown = static_cast<std::size_t>(std::clamp(size.Width, 0, frame.Width()));
            for (std::int32_t y = 0; y < std::min(size.Height, frame.Height()); ++y) {
                ASSERT_TRUE(std::ranges::equal(window.Row(y).first(shown), frame.Row(y).first(shown)))
                    << "the window's row " << y;
            }
        });
        EffectTick(*host, state);
    }

    // Plays one drawing tick and returns the frame it presented.
    Surface Tick()
    {
        presented.reset();
        EffectTick(*host, state);
        EXPECT_TRUE(presented.has_value());
        return presented.value_or(Surface());
    }

    // Drawing ticks, each at a frame size, from a seed and at a tick count,
    // and the frame each one presented, as Text writes it with `inks`.
    struct WrittenTick {
        FrameSize Size;
        std::uint32_t Seed = 0;
        const char* Frame = "";
        std::uint32_t Now = 0;
    };
    void ExpectTicks(std::initializer_list<WrittenTick> ticks, const std::vector<Colour>& inks = {})
    {
        for (const WrittenTick& tick : ticks) {
            host->SetFrameSize(tick.Size.Width, tick.Size.Height);
            host->Random().SetSeed(tick.Seed);
            host->SetTickCount(tick.Now);
            EXPECT_EQ(Text(Tick(), inks), tick.Frame) << tick.Size.Width << " x " << tick.Size.Height;
        }
    }

    Surface& Snapshot() { return host->SnapshotBitmap(); }
    Surface& Frame() { return host->FrameBitmap(); }

    MemoryProfileStore store;
    std::unique_ptr<HeadlessEffectHost> host;
    State state;
    // The frame as the last present of the run saw it; the run keeps this
    // one present handler, which Tick reads. The window shows the whole
    // frame at its first paint, then each present copies the rectangles it
    // names; after every present, the window must show the frame.
    std::optional<Surface> presented;
    Surface window;
};

} // namespace nimbrel::test_support
