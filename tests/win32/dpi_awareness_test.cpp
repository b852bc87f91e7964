// DPI awareness: which of the system's functions each awareness asks, in
// which order, as systems from XP to Windows 10 1703 have them (stand-ins
// that record every call), and the lookups and thread scope on Wine's own
// functions.
#include "platform/win32/dpi_awareness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel::win32 {
namespace {

// The stand-ins' record and answers.
std::vector<std::string> g_calls;
bool g_contextAccepted = true;    // SetProcessDpiAwarenessContext succeeds
HRESULT g_awarenessResult = S_OK;  // what SetProcessDpiAwareness returns
bool g_threadV2Known = true;       // SetThreadDpiAwarenessContext knows version 2

std::string Named(DPI_AWARENESS_CONTEXT context)
{
    return std::to_string(static_cast<std::intptr_t>(reinterpret_cast<std::uintptr_t>(context)));
}

BOOL WINAPI FakeSetProcessContext(DPI_AWARENESS_CONTEXT context)
{
    g_calls.push_back("SetProcessDpiAwarenessContext " + Named(context));
    return g_contextAccepted;
}
HRESULT WINAPI FakeSetProcessAwareness(int value)
{
    g_calls.push_back("SetProcessDpiAwareness " + std::to_string(value));
    return g_awarenessResult;
}
BOOL WINAPI FakeSetProcessAware()
{
    g_calls.push_back("SetProcessDPIAware");
    return TRUE;
}
// The thread starts system-aware (-2).
DPI_AWARENESS_CONTEXT WINAPI FakeSetThreadContext(DPI_AWARENESS_CONTEXT context)
{
    g_calls.push_back("SetThreadDpiAwarenessContext " + Named(context));
    if (context == DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 && !g_threadV2Known) return nullptr;
    return DPI_AWARENESS_CONTEXT_SYSTEM_AWARE;
}

// The functions each system has.
constexpr DpiFunctions kWindows10_1703{FakeSetProcessContext, FakeSetProcessAwareness, FakeSetProcessAware,
                                       FakeSetThreadContext};
constexpr DpiFunctions kWindows81{nullptr, FakeSetProcessAwareness, FakeSetProcessAware, nullptr};
constexpr DpiFunctions kVista{nullptr, nullptr, FakeSetProcessAware, nullptr};
constexpr DpiFunctions kXp{};

using Calls = std::vector<std::string>;

Calls Apply(DpiAwareness awareness, const DpiFunctions& functions)
{
    g_calls.clear();
    ApplyDpiAwareness(awareness, functions);
    return g_calls;
}

TEST(DpiAwarenessTest, TheSaverAsksForVersionTwoThenOneThenSystemWideAndTheRestForSystemWide)
{
    using enum DpiAwareness;
    EXPECT_EQ(Apply(PerMonitor, kWindows10_1703), (Calls{"SetProcessDpiAwarenessContext -4"}));
    EXPECT_EQ(Apply(PerMonitor, kWindows81), (Calls{"SetProcessDpiAwareness 2"}));
    EXPECT_EQ(Apply(PerMonitor, kVista), (Calls{"SetProcessDPIAware"}));
    EXPECT_EQ(Apply(PerMonitor, kXp), Calls{});
    // A refusal falls through to the next older way.
    g_contextAccepted = false;
    g_awarenessResult = E_ACCESSDENIED;
    EXPECT_EQ(Apply(PerMonitor, kWindows10_1703),
              (Calls{"SetProcessDpiAwarenessContext -4", "SetProcessDpiAwareness 2", "SetProcessDPIAware"}));
    g_contextAccepted = true;
    g_awarenessResult = S_OK;
    // The dialogs, the preview and the password change: system-wide, as the
    // manifest used to declare, on every system that scales.
    for (const DpiFunctions* system : {&kWindows10_1703, &kWindows81, &kVista}) {
        EXPECT_EQ(Apply(System, *system), (Calls{"SetProcessDPIAware"}));
    }
    EXPECT_EQ(Apply(System, kXp), Calls{});
}

TEST(DpiAwarenessTest, TheThreadScopeTakesVersionTwoOrOneAndGivesTheThreadBack)
{
    const auto scoped = [](const DpiFunctions& functions) {
        g_calls.clear();
        { const PerMonitorDpiScope scope(functions); }
        return g_calls;
    };
    EXPECT_EQ(scoped(kWindows10_1703),
              (Calls{"SetThreadDpiAwarenessContext -4", "SetThreadDpiAwarenessContext -2"}));
    g_threadV2Known = false;  // Windows 10 1607
    EXPECT_EQ(scoped(kWindows10_1703), (Calls{"SetThreadDpiAwarenessContext -4", "SetThreadDpiAwarenessContext -3",
                                              "SetThreadDpiAwarenessContext -2"}));
    g_threadV2Known = true;
    EXPECT_EQ(scoped(kWindows81), Calls{});

    // Wine has all four, shcore's from the system directory, and the real
    // scope gives the thread its own awareness back. (Wine makes every
    // window per-monitor aware whatever is asked; tools/check-dpi-calls
    // shows what the program asks of it.)
    const DpiFunctions& wine = SystemDpiFunctions();
    EXPECT_TRUE(wine.setProcessContext && wine.setProcessAwareness && wine.setProcessAware && wine.setThreadContext);
    const DPI_AWARENESS_CONTEXT before = GetThreadDpiAwarenessContext();
    { const PerMonitorDpiScope scope; }
    EXPECT_TRUE(AreDpiAwarenessContextsEqual(GetThreadDpiAwarenessContext(), before));
}

} // namespace
} // namespace nimbrel::win32
