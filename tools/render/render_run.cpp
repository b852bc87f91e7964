// The simulated saver run: creation as the saver window does it, then Timer2
// ticks at the intervals the effect asks for, on a headless host whose
// screen is the picture.
#include "tools/render/render_run.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "effects/build_surfaces.h"
#include "effects/effect_dispatch.h"
#include "effects/wave.h"
#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/saver_settings.h"
#include "settings/settings_file.h"

namespace nimbrel::render {
namespace {

constexpr std::array<std::string_view, kEffectKindCount> kEffectNames = {"wave", "melt", "noise"};

EnabledEffects ReadEnabledEffects(ProfileStore& store)
{
    const SaverSettings::MainSection defaults;
    const SettingsFile file(kSettingsFileName, store);
    return {file.LoadFlag("Main", "Wave", defaults.Wave), file.LoadFlag("Main", "Melt", defaults.Melt),
            file.LoadFlag("Main", "Noise", defaults.Noise)};
}

// The saver window's choice: redraw Next(30) until its remainder by three
// names an enabled effect. The caller makes sure one is enabled.
EffectKind ChooseEffect(RandomSource& random, const EnabledEffects& enabled)
{
    std::uint32_t kind = 0;
    do {
        kind = random.Next(30) % kEffectKindCount;
    } while (!enabled[kind]);
    return static_cast<EffectKind>(kind);
}

// Melt moves its restore deadline only when it restores, and always to a
// time after the old one: the new deadline is the current tick count plus the
// same period, and the count has moved on since the deadline was last set.
// (It could only come back to the same value after 2^32 ms of one run, far
// more than the renderer ever simulates.)
bool MeltRestored(std::uint32_t deadlineBefore, const MeltState& after)
{
    return after.RestoreDeadline != deadlineBefore;
}

} // namespace

std::string_view EffectName(EffectKind kind)
{
    const auto index = static_cast<std::size_t>(kind);
    return index < kEffectNames.size() ? kEffectNames[index] : std::string_view("unknown");
}

std::optional<EffectKind> EffectFromName(std::string_view name)
{
    for (std::size_t i = 0; i < kEffectNames.size(); ++i) {
        if (kEffectNames[i] == name) return static_cast<EffectKind>(i);
    }
    return std::nullopt;
}

RenderResult RenderRun(const Surface& picture, const RenderOptions& options, const FrameSink& sink)
{
    const FrameSize window = options.WindowSize.value_or(FrameSize{picture.Width(), picture.Height()});
    if (window.Width < 1 || window.Height < 1 || window.Width > picture.Width()
        || window.Height > picture.Height()) {
        throw std::invalid_argument("the window size must be at least 1x1 and at most the picture's size");
    }
    if (options.Frames < 0 || options.Frames > kMaxFrames) {
        throw std::invalid_argument("the number of frames must be 0 to " + std::to_string(kMaxFrames));
    }

    // The renderer only ever reads the settings; a run without a file reads
    // every default.
    MemoryProfileStore store;
    if (options.SettingsText) store.SetFileText(kSettingsFileName, *options.SettingsText);

    // Creation, in the saver window's order. Wave's base offset lives for
    // the process, so a run in a fresh process starts it at 0.
    WaveBaseOffset() = 0;
    EnabledEffects enabled = options.Effects ? *options.Effects : ReadEnabledEffects(store);
    if (!enabled[0] && !enabled[1] && !enabled[2]) enabled[static_cast<std::size_t>(EffectKind::Wave)] = true;
    RandomSource random(options.Seed);
    const EffectKind effect = ChooseEffect(random, enabled);

    HeadlessScreen screen(picture);
    HeadlessEffectHost host(BuildSurfaces(screen), store);
    host.SetFrameSize(window.Width, window.Height);
    host.Random().SetSeed(random.Seed());
    host.SetTickCount(options.StartMs);
    host.SetTimer2Interval(kFirstTickDelay);

    // The window's own pixels: the paint at creation copied FrameBitmap's
    // top-left corner, and each PresentFrame copies only the rectangles the
    // tick says it changed, as the saver window does.
    Surface shown(window.Width, window.Height);
    const PixelRect corner{0, 0, window.Width, window.Height};
    CopyArea(shown, corner, host.FrameBitmap(), corner);
    std::int32_t changedRects = 0;
    std::int64_t changedPixels = 0;
    host.SetPresentHandler([&](const Surface& frame, FrameSize, std::span<const PixelRect> changed) {
        for (const PixelRect& rect : changed) {
            CopyArea(shown, rect, frame, rect);
            changedPixels += rect.Width() * rect.Height();
        }
        changedRects += static_cast<std::int32_t>(changed.size());
    });

    RenderResult result;
    result.Effect = effect;
    result.Ticks.reserve(static_cast<std::size_t>(options.Frames) + 1);

    EffectStates states;
    std::uint64_t now = options.StartMs;
    std::uint32_t interval = host.Timer2Interval();
    // The frame on screen before the first drawing tick has been there since
    // creation.
    std::uint64_t shownSince = now;
    for (std::int32_t tick = 0; tick <= options.Frames; ++tick) {
        now += interval;
        host.SetTickCount(static_cast<std::uint32_t>(now));
        if (tick > 0) {
            sink({tick - 1, shown, static_cast<std::uint32_t>(now - shownSince)});
            shownSince = now;
        }

        const std::uint32_t deadlineBefore = states.Melt.RestoreDeadline;
        changedRects = 0;
        changedPixels = 0;
        RunEffectTick(effect, host, states);
        interval = host.Timer2Interval();

        result.Ticks.push_back({tick, now, interval, effect,
                                tick > 0 && effect == EffectKind::Melt
                                    && MeltRestored(deadlineBefore, states.Melt),
                                changedRects, changedPixels});
    }
    // The last frame stays until the tick after the last one.
    sink({options.Frames, shown, static_cast<std::uint32_t>(now + interval - shownSince)});
    return result;
}

} // namespace nimbrel::render
