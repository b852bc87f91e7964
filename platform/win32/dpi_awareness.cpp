// The process's DPI awareness by run mode, and the per-monitor thread scope
// of the test run.
//
// Why the program sets its awareness itself instead of declaring it in its
// manifest: the awareness a manifest declares is the process's for good.
// SetProcessDpiAwareness fails with E_ACCESSDENIED and
// SetProcessDpiAwarenessContext with ERROR_ACCESS_DENIED once it is set,
// "either by calling this API previously or through the application (.exe)
// manifest" (their Microsoft Learn pages). The saver needs per-monitor
// awareness, the dialogs and the preview need the system-wide awareness the
// manifest used to give them, and Windows 8.1 can only set it for the whole
// process (SetProcessDpiAwareness, shcore.dll). So the manifest declares
// none, and start-up sets it once per mode before the first window:
//   - the saver: SetProcessDpiAwarenessContext(PER_MONITOR_AWARE_V2) on
//     Windows 10 1703 and later, else SetProcessDpiAwareness(
//     PROCESS_PER_MONITOR_DPI_AWARE) on 8.1 and later, else SetProcessDPIAware;
//   - everything else: SetProcessDPIAware, which its page calls "equivalent
//     to calling SetProcessDpiAwarenessContext with
//     DPI_AWARENESS_CONTEXT_SYSTEM_AWARE": what the manifest's dpiAware true
//     gave on Vista and every later system. Windows XP and older scale
//     nothing and have none of these functions.
// Microsoft prefers the manifest because a library that reads the scale while
// it loads would read it before such a call; the call comes at the very
// start, before any window is made or metric read. The Windows 95 family
// scales nothing and is not asked at all, so no missing library is looked
// for there.
//
// The test run's saver window lives in the system-aware settings process.
// From Windows 10 1607 a thread can change its own awareness at any time
// (SetThreadDpiAwarenessContext); a window takes the thread's awareness when
// it is made, and the system switches the thread to it whenever the window's
// procedure runs ("Mixed-Mode DPI Scaling and DPI-aware APIs"). So the test
// run's window is made per monitor and the thread goes back at once. On 8.1
// up to Windows 10 1511 the test run stays system-aware, as the dialogs
// around it must.
#include "platform/win32/dpi_awareness.h"

#include "platform/win32/system_api.h"

namespace nimbrel::win32 {
namespace {

constexpr int kProcessPerMonitorDpiAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE

// The system's functions that set an awareness, looked up once; each is
// null where the system lacks it.
struct DpiFunctions {
    BOOL(WINAPI* setProcessContext)(DPI_AWARENESS_CONTEXT);                 // Windows 10 1703
    HRESULT(WINAPI* setProcessAwareness)(int);                              // 8.1, shcore.dll
    BOOL(WINAPI* setProcessAware)();                                        // Vista
    DPI_AWARENESS_CONTEXT(WINAPI* setThreadContext)(DPI_AWARENESS_CONTEXT);  // Windows 10 1607
};

const DpiFunctions& Functions()
{
    static const DpiFunctions functions{
        SystemFunction<decltype(DpiFunctions::setProcessContext)>("user32.dll", "SetProcessDpiAwarenessContext"),
        SystemFunction<decltype(DpiFunctions::setProcessAwareness)>("shcore.dll", "SetProcessDpiAwareness"),
        SystemFunction<decltype(DpiFunctions::setProcessAware)>("user32.dll", "SetProcessDPIAware"),
        SystemFunction<decltype(DpiFunctions::setThreadContext)>("user32.dll", "SetThreadDpiAwarenessContext"),
    };
    return functions;
}

} // namespace

void ApplyDpiAwareness(DpiAwareness awareness)
{
    if (UsesAnsiFunctions()) return;
    const DpiFunctions& functions = Functions();
    if (awareness == DpiAwareness::PerMonitor) {
        if (functions.setProcessContext && functions.setProcessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
            return;
        }
        if (functions.setProcessAwareness && functions.setProcessAwareness(kProcessPerMonitorDpiAware) == S_OK) {
            return;
        }
    }
    if (functions.setProcessAware) functions.setProcessAware();
}

PerMonitorDpiScope::PerMonitorDpiScope()
{
    if (UsesAnsiFunctions()) return;
    const auto setThreadContext = Functions().setThreadContext;
    if (!setThreadContext) return;
    // Version 2 came with Windows 10 1703; 1607 refuses it and takes version 1.
    previous_ = setThreadContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (!previous_) previous_ = setThreadContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

PerMonitorDpiScope::~PerMonitorDpiScope()
{
    if (previous_) Functions().setThreadContext(previous_);
}

} // namespace nimbrel::win32
