// Time of one drawing tick of each effect at its heaviest dialog setting, at
// full HD and at 4K, with PresentFrame doing nothing, next to a plain memcpy
// of one frame: the least that redrawing a whole frame can cost. After the
// runs it prints each tick's time as a ratio to that floor, with the target
// at 4K.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
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

std::string BenchmarkName(const std::string& key, const ScreenSize& screen)
{
    return key + "/" + screen.Name();
}

// The floor: one frame copied with memcpy between two buffers.
void FrameCopy(benchmark::State& state, ScreenSize screen)
{
    const std::size_t pixels = static_cast<std::size_t>(screen.Width) * static_cast<std::size_t>(screen.Height);
    std::vector<Pixel> source(pixels, 0x123456);
    std::vector<Pixel> destination(pixels, 0);
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

// Prints the usual table and keeps the median CPU time of each benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
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

void PrintRatios(const RatioReporter& reporter)
{
    std::printf("\nCPU time of one drawing tick / memcpy of one frame (medians of 5 runs)\n");
    std::printf("%-14s %12s %12s %10s\n", "", "1920x1080", "3840x2160", "target 4K");
    bool allMet = true;
    for (const Case& effectCase : Cases()) {
        std::printf("%-14s", effectCase.Name.c_str());
        double ratio4k = -1;
        for (const ScreenSize& screen : kScreens) {
            const double* tick = reporter.Time(BenchmarkName(effectCase.Key, screen));
            const double* floor = reporter.Time(BenchmarkName("memcpy", screen));
            if (tick == nullptr || floor == nullptr) {
                std::printf(" %12s", "-");
                continue;
            }
            const double ratio = *tick / *floor;
            std::printf(" %11.2fx", ratio);
            if (screen.Width == 3840) ratio4k = ratio;
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

// Each benchmark runs five times; the ratios use the medians, which a busy
// moment on the machine moves least.
void RegisterAll()
{
    auto configure = [](benchmark::internal::Benchmark* benchmark) {
        benchmark->Unit(benchmark::kMicrosecond)->MinTime(0.3)->Repetitions(5)
            ->DisplayAggregatesOnly(true);
    };
    for (const ScreenSize& screen : kScreens) {
        configure(benchmark::RegisterBenchmark(BenchmarkName("memcpy", screen).c_str(), FrameCopy, screen));
        for (const Case& effectCase : Cases()) {
            configure(benchmark::RegisterBenchmark(BenchmarkName(effectCase.Key, screen).c_str(), EffectTick,
                                                   screen, effectCase));
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
