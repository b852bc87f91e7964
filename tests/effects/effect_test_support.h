// Helpers shared by the effect tests: pictures written out row by row, and
// one effect's run over the headless host.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "effects/build_surfaces.h"
#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/settings_file.h"

namespace nimbrel::test_support {

// A surface whose rows are the given colour values, top row first.
inline Surface SurfaceFromRows(const std::vector<std::vector<Colour>>& rows)
{
    Surface surface(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()));
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (std::int32_t x = 0; x < surface.Width(); ++x) surface.SetColourAt(x, y, rows[y][x]);
    }
    return surface;
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
        host->SetPresentHandler([this](const Surface& frame, FrameSize, auto) { presented = frame; });
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

    Surface& Snapshot() { return host->SnapshotBitmap(); }
    Surface& Work() { return host->WorkBitmap(); }
    Surface& Frame() { return host->FrameBitmap(); }

    MemoryProfileStore store;
    std::unique_ptr<HeadlessEffectHost> host;
    State state;
    // The frame as the last present of the run showed it; the run keeps this
    // one present handler, which Tick reads.
    std::optional<Surface> presented;
};

} // namespace nimbrel::test_support
