// The saver window on X: TMainForm over the daemon's window, the root or a
// window of the hack's own, with the loop that turns X events, the two
// timers and the stop signals into its handlers.
#pragma once

#include "effects/random_source.h"
#include "effects/surface.h"
#include "platform/x11/screen.h"

// Xlib defines None and Status as macros, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace nimbrel::x11 {

// Whose window the run draws in. Only an own window takes input: under the
// daemon the daemon owns it.
enum class WindowOwner { Daemon, Root, Own };

// The exit codes of a run that started.
inline constexpr int kExitRunEnded = 0;    // closed, or stopped by SIGTERM or SIGINT
inline constexpr int kExitRunFailed = 1;   // the window went away, or another X error

struct SaverWindowSetup {
    Display* XDisplay = nullptr;
    Window Target = None;
    WindowOwner Owner = WindowOwner::Daemon;
    DrawingVisual Visual;
    bool SharedMemory = false;
    // The window's area at the start, and the picture that plays the screen
    // there, of the area's size.
    PixelRect Area;
    Surface Desktop;
    const Clock* SeedClock = nullptr;
    // Readable once a stop signal arrived.
    int StopFd = -1;
};

// Runs one saver run in the window until it closes (an own window's q,
// Escape or close box), a stop signal arrives, or an X error or the window's
// destruction ends it (reported in one line). An own window is mapped here
// and destroyed at the end; other windows are only drawn in. Returns the
// exit code.
int RunSaverWindow(SaverWindowSetup setup);

} // namespace nimbrel::x11
