// RunMode: what one start of the program does, chosen from its first argument.
#pragma once

#include <string_view>

namespace nimbrel {

enum class RunMode { Configure, Saver, Preview, ChangePassword };

// How the system treats the program's windows where a monitor's scale
// differs from the primary monitor's (Windows 8.1 and later). System-aware
// windows are scaled by the system on such a monitor: blurred, and a
// snapshot taken through them is scaled and shifted. PerMonitor windows and
// captures see every monitor pixel for pixel.
enum class DpiAwareness { System, PerMonitor };

// The saver reads the screen and must cover each monitor exactly, so it runs
// per monitor. The dialogs and the preview draw themselves at the system's
// scale and handle no change of it, so they stay system-aware, as they
// always were.
DpiAwareness DpiAwarenessFor(RunMode mode);

// Compares the whole argument, byte for byte, with the switches of each mode
// in a fixed order; the first match decides. Letter case matters and nothing
// may follow a switch, so "/c:1234" and "/s2" match nothing. No match, the
// empty text included, gives Configure.
RunMode SelectRunMode(std::string_view firstArgument);

} // namespace nimbrel
