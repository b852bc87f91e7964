// Presenting only the rectangles a tick reports must keep the window's
// pixels equal to the frame, for every effect, through restores, crowded
// ticks and frames that shrink and grow between ticks.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "effect_test_support.h"
#include "effects/effect_dispatch.h"

namespace nimbrel {
namespace {

TEST(PresentTest, TheReportedRectanglesKeepACopyOfTheWindowEqualToTheFrame)
{
    // Wave Pitch 1 on a tall screen, Melt Speed 50 on a wide one and Noise
    // Deal 15 on a tall one change more places than one list holds; Melt
    // restores every other tick or so; Deal 99 covers nearly every row.
    const std::tuple<EffectKind, const char*, std::int32_t, std::int32_t> cases[] = {
        {EffectKind::Wave, "[Wave]\nPitch=1\n", 16, 4000},
        {EffectKind::Wave, "[Wave]\nPitch=7\n", 400, 360},
        {EffectKind::Melt, "[Melt]\nSpeed=50\nRecover=0\n", 4000, 24},
        {EffectKind::Melt, "[Melt]\nSpeed=2\nRecoverTime=1\n", 400, 360},
        {EffectKind::Noise, "[Noise]\nDeal=15\n", 16, 4000},
        {EffectKind::Noise, "[Noise]\nDeal=99\n", 400, 360},
    };
    for (const auto& [effect, settings, w, h] : cases) {
        SCOPED_TRACE(settings);
        // The window's client size, three ticks each: full, narrower,
        // shorter, a single pixel, and back.
        const FrameSize sizes[] = {{w, h},         {w, h}, {w * 5 / 8, h}, {w, h * 5 / 9},      {w, h},
                                   {w - 1, h - 1}, {1, 1}, {w, h},         {w / 11, h * 5 / 6}, {w, h}};
        MemoryProfileStore store;
        store.SetFileText(kSettingsFileName, settings);
        HeadlessScreen screen(MakeTestPattern(w, h));
        HeadlessEffectHost host(BuildSurfaces(screen), store);
        // The window after its first paint. It is compared with the frame as
        // each present sees it, since Melt restores after presenting.
        Surface window = host.FrameBitmap();
        host.SetPresentHandler([&](const Surface& frame, FrameSize size, std::span<const PixelRect> changed) {
            for (const PixelRect& rect : changed) {
                EXPECT_TRUE(rect.Left >= 0 && rect.Top >= 0 && rect.Right <= size.Width
                            && rect.Bottom <= size.Height && rect.Width() > 0 && rect.Height() > 0);
                CopyArea(window, rect, frame, rect);
            }
            const PixelRect shown{0, 0, size.Width, size.Height};
            Surface expected(size.Width, size.Height), actual(size.Width, size.Height);
            CopyArea(expected, shown, frame, shown);
            CopyArea(actual, shown, window, shown);
            EXPECT_TRUE(actual == expected) << "tick " << host.PresentCount();
        });
        EffectStates states;
        RunEffectTick(effect, host, states);  // the setup tick
        for (int tick = 0; tick < 60; ++tick) {
            const FrameSize size = sizes[(tick / 3) % std::size(sizes)];
            host.SetFrameSize(size.Width, size.Height);
            host.AdvanceTickCount(600);
            RunEffectTick(effect, host, states);
        }
        EXPECT_EQ(host.PresentCount(), 60);
    }
}

} // namespace
} // namespace nimbrel
