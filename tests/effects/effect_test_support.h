// Helpers shared by the effect tests: pictures written out row by row, a
// saver run over the headless host, and seeds that make the random sequence
// draw what a test needs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "effects/build_surfaces.h"
#include "effects/random_source.h"
#include "effects/surface.h"
#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/settings_file.h"

namespace nimbrel::test_support {

// A surface whose rows are the given colour values, top row first.
inline Surface SurfaceFromRows(std::initializer_list<std::vector<Colour>> rows)
{
    Surface surface(static_cast<std::int32_t>(rows.begin()->size()),
                    static_cast<std::int32_t>(rows.size()));
    std::int32_t y = 0;
    for (const auto& row : rows) {
        for (std::int32_t x = 0; x < surface.Width(); ++x) {
            surface.SetColourAt(x, y, row[static_cast<std::size_t>(x)]);
        }
        ++y;
    }
    return surface;
}

inline Surface SolidSurface(std::int32_t width, std::int32_t height, Colour colour)
{
    Surface surface(width, height);
    FillArea(surface, {0, 0, width, height}, colour);
    return surface;
}

inline std::vector<Colour> RowColours(const Surface& surface, std::int32_t y)
{
    std::vector<Colour> row;
    for (std::int32_t x = 0; x < surface.Width(); ++x) row.push_back(surface.ColourAt(x, y));
    return row;
}

// The first seed from 0 on whose sequence satisfies `wanted`: the sequence is
// tested on its own, and here only places columns where a test wants them.
inline std::uint32_t FindSeed(const std::function<bool(RandomSource&)>& wanted)
{
    for (std::uint32_t seed = 0;; ++seed) {
        RandomSource random(seed);
        if (wanted(random)) return seed;
    }
}

// The seed that a source starting at `seed` reaches after `draws` draws.
inline std::uint32_t SeedAfterDraws(std::uint32_t seed, int draws)
{
    RandomSource random(seed);
    for (int i = 0; i < draws; ++i) random.Next(1);
    return random.Seed();
}

// A saver run over the headless host: the screen's picture becomes the three
// surfaces, and the settings file lives in memory.
class EffectRunTest : public ::testing::Test {
protected:
    void StartRun(Surface picture, const std::string& settings)
    {
        store.SetFileText(kSettingsFileName, settings);
        HeadlessScreen screen(std::move(picture));
        host = std::make_unique<HeadlessEffectHost>(BuildSurfaces(screen), store);
    }

    Surface& Snapshot() { return host->SnapshotBitmap(); }
    Surface& Work() { return host->WorkBitmap(); }
    Surface& Frame() { return host->FrameBitmap(); }

    MemoryProfileStore store;
    std::unique_ptr<HeadlessEffectHost> host;
};

} // namespace nimbrel::test_support
