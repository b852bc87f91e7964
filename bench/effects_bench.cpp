// Time of one drawing tick of each effect at its heaviest dialog setting, at
// full HD and at 4K, with PresentFrame doing nothing, next to a plain memcpy
// of one frame: the least that redrawing a whole frame can cost. After the
// runs it prints each tick's time as a ratio to that floor, with the target
// at 4K.
//
// The machine is usually shared, and its load moves both the tick and the
// floor. So the runs are interleaved: round after round, each size's floor
// is timed right before its ticks, every benchmark with a fixed number of
// iterations after a warm-up, and each ratio is the median over the rounds
// of the tick's time over the floor's time of the same round.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "effects/build_surfaces.h"
#include "effects/effect_dispatch.h"
#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

struct ScreenSize {
    std::int32_t Width;
    std::int32_t Height;
    std::string Name() const { return std::to_string(Width) + "x" + std::to_string(Height); }
};

constexpr ScreenSize kScreens[] = {{1920, 1080}, {3840, 2160}};

// Rounds, and iterations per benchmark in one round: about a quarter of a
// second each, the same every run.
constexpr int kRounds = 15;
std::int64_t Iterations(const ScreenSize& screen)
{
    return screen.Width >= 3840 ? 40 : 160;
}

struct Case {
    std::string Key;       // the benchmark's name, without the size
    std::string Name;      // as the ratio table shows it
    EffectKind Effect;
    std::string Settings;  // the settings file's text
    double Target;         // the most the tick may cost at 4K, in floors
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"wave_pitch1", "Wave Pitch 1", EffectKind::Wave, "[Wave]\nPitch=1\nSpeed=6\n", 1.1},
        {"wave_pitch7", "Wave Pitch 7", EffectKind::Wave, "[Wave]\nPitch=7\nSpeed=6\n", 1.1},
        {"melt_speed6", "Melt Speed 6", EffectKind::Melt, "[Melt]\nSpeed=6\n", 1.0},
        {"noise_deal6", "Noise Deal 6", EffectKind::Noise, "[Noise]\nDeal=6\n", 0.5},
    };
    return cases;
}

std::string BenchmarkName(const std::string& key, const ScreenSize& screen, int round)
{
    return key + "/" + screen.Name() + "/round" + std::to_string(round);
}

// The floor: one frame copied with memcpy between two buffers.
void FrameCopy(benchmark::State& state, ScreenSize screen)
{
    const std::size_t pixels = static_cast<std::size_t>(screen.Width) * static_cast<std::size_t>(screen.Height);
    std::vector<Pixel> source(pixels, 0x123456);
    std::vector<Pixel> destination(pixels, 0);
    for (int warmUp = 0; warmUp < 4; ++warmUp) {
        std::memcpy(destination.data(), source.data(), pixels * sizeof(Pixel));
    }
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), pixels * sizeof(Pixel));
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}

// Drawing ticks of one effect, after its setup tick and a few ticks that
// bring it to its steady state. The tick count stands still, so Melt never
// reaches its restore (once every 180 s in the real run).
void EffectTick(benchmark::State& state, ScreenSize screen, Case effectCase)
{
    MemoryProfileStore store;
    store.SetFileText(kSettingsFileName, effectCase.Settings);
    HeadlessScreen picture(MakeTestPattern(screen.Width, screen.Height));
    HeadlessEffectHost host(BuildSurfaces(picture), store);
    EffectStates states;
    for (int tick = 0; tick < 4; ++tick) RunEffectTick(effectCase.Effect, host, states);
    for (auto _ : state) {
        RunEffectTick(effectCase.Effect, host, states);
        benchmark::ClobberMemory();
    }
}

// Prints the usual table and keeps the CPU time of each benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }

    const double* Time(const std::string& name) const
    {
        auto found = times_.find(name);
        return found == times_.end() ? nullptr : &found->second;
    }

private:
    std::map<std::string, double> times_;
};

// The median over the rounds of the tick's time over its round's floor;
// nothing when no round has both.
std::optional<double> MedianRatio(const RatioReporter& reporter, const Case& effectCase, const ScreenSize& screen)
{
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        const double* tick = reporter.Time(BenchmarkName(effectCase.Key, screen, round));
        const double* floor = reporter.Time(BenchmarkName("memcpy", screen, round));
        if (tick != nullptr && floor != nullptr && *floor > 0) ratios.push_back(*tick / *floor);
    }
    if (ratios.empty()) return std::nullopt;
    std::ranges::sort(ratios);
    const std::size_t middle = ratios.size() / 2;
    return ratios.size() % 2 == 1 ? ratios[middle] : (ratios[middle - 1] + ratios[middle]) / 2;
}

void PrintRatios(const RatioReporter& reporter)
{
    std::printf("\nCPU time of one drawing tick / memcpy of one frame (median over %d rounds)\n", kRounds);
    std::printf("%-14s %12s %12s %10s\n", "", "1920x1080", "3840x2160", "target 4K");
    bool allMet = true;
    for (const Case& effectCase : Cases()) {
        std::printf("%-14s", effectCase.Name.c_str());
        double ratio4k = -1;
        for (const ScreenSize& screen : kScreens) {
            const std::optional<double> ratio = MedianRatio(reporter, effectCase, screen);
            if (!ratio) {
                std::printf(" %12s", "-");
                continue;
            }
            std::printf(" %11.2fx", *ratio);
            if (screen.Width == 3840) ratio4k = *ratio;
        }
        if (ratio4k >= 0) {
            const bool met = ratio4k <= effectCase.Target;
            allMet = allMet && met;
            std::printf(" %8s%.1fx %s\n", "<= ", effectCase.Target, met ? "met" : "MISSED");
        } else {
            std::printf("\n");
        }
    }
    std::printf("%s\n", allMet ? "All targets met." : "Some targets missed.");
}

// Round after round, each size's floor and then its ticks, so that every
// ratio compares times taken moments apart.
void RegisterAll()
{
    for (int round = 0; round < kRounds; ++round) {
        for (const ScreenSize& screen : kScreens) {
            benchmark::RegisterBenchmark(BenchmarkName("memcpy", screen, round).c_str(), FrameCopy, screen)
                ->Unit(benchmark::kMicrosecond)
                ->Iterations(Iterations(screen));
            for (const Case& effectCase : Cases()) {
                benchmark::RegisterBenchmark(BenchmarkName(effectCase.Key, screen, round).c_str(), EffectTick,
                                             screen, effectCase)
                    ->Unit(benchmark::kMicrosecond)
                    ->Iterations(Iterations(screen));
            }
        }
    }
}

} // namespace
} // namespace nimbrel

int main(int argc, char** argv)
{
    nimbrel::RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    nimbrel::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    nimbrel::PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
