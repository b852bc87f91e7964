// The switch table of the run modes.
#include "app/run_mode.h"

#include <array>

namespace nimbrel {
namespace {

struct ModeSwitches {
    RunMode mode;
    std::array<std::string_view, 4> switches;
};

// Tested group by group, each group left to right. The password-change group
// lists the "-" form first, the others the "/" form.
constexpr std::array<ModeSwitches, 4> kModeTable{{
    {RunMode::Configure, {"/c", "-c", "/C", "-C"}},
    {RunMode::Saver, {"/s", "-s", "/S", "-S"}},
    {RunMode::Preview, {"/p", "-p", "/P", "-P"}},
    {RunMode::ChangePassword, {"-a", "/a", "-A", "/A"}},
}};

} // namespace

RunMode SelectRunMode(std::string_view firstArgument)
{
    for (const ModeSwitches& group : kModeTable) {
        for (std::string_view candidate : group.switches) {
            if (firstArgument == candidate) return group.mode;
        }
    }
    return RunMode::Configure;
}

DpiAwareness DpiAwarenessFor(RunMode mode)
{
    return mode == RunMode::Saver ? DpiAwareness::PerMonitor : DpiAwareness::System;
}

} // namespace nimbrel
