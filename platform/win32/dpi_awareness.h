// The DPI awareness of the process, set once at start by run mode, and of
// the test run's saver window, which the per-monitor-aware saver needs inside
// the system-aware settings process. Every function involved is looked up:
// only Windows Vista and later have any of them.
#pragma once

#include <windows.h>

#include "app/run_mode.h"

namespace nimbrel::win32 {

// Sets the process's awareness: per monitor (version 2 where the system has
// it, else version 1, else system-wide), or system-wide as the dialogs have
// always been. Must run before the first window; later calls change nothing.
void ApplyDpiAwareness(DpiAwareness awareness);

// While it lives, the windows this thread makes are per-monitor aware where
// the system can mix awarenesses in one process (Windows 10 1607 and later),
// and so are the metrics and the screen read on the way; the thread's
// awareness comes back when it ends. The system switches a thread to a
// window's own awareness whenever that window's procedure runs, so the
// window keeps it afterwards.
class PerMonitorDpiScope {
public:
    PerMonitorDpiScope();
    ~PerMonitorDpiScope();
    PerMonitorDpiScope(const PerMonitorDpiScope&) = delete;
    PerMonitorDpiScope& operator=(const PerMonitorDpiScope&) = delete;

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// What make() returns, made inside a PerMonitorDpiScope.
template <typename Make>
auto WithPerMonitorDpi(Make make)
{
    const PerMonitorDpiScope scope;
    return make();
}

} // namespace nimbrel::win32
