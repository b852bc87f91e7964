// Program start-up: from the command line to the exit code, for every run
// mode, over the platform operations of AppPlatform.
#pragma once

#include <string_view>

#include "app/app_platform.h"

namespace nimbrel {

// The single-instance guard's name.
inline constexpr std::string_view kGuardName = "Rendaxo32RunCheck@Kolt";
inline constexpr std::string_view kApplicationTitle = "Nimbrel";
// The saver window's window class; a preview does not start beside one.
inline constexpr std::string_view kSaverWindowClass = "TMainForm";

inline constexpr int kExitOrdinary = 0;
inline constexpr int kExitStartupError = 1;

// True when the program must not run: another instance holds the named
// guard, or the guard cannot be created. When it returns false, this
// process holds the guard until it ends.
bool RunCheck(AppPlatform& platform, std::string_view guardName);

// Runs the program for one command line (the program's path first, as the
// process was started): reads the password parent, takes the guard (in all
// modes but ChangePassword), sets the title, acts by mode, runs the message
// loop. Returns the exit code: kExitOrdinary for every ordinary end, the
// silent early ends included, and kExitStartupError after an error escaped
// and the start-up error report has been shown.
int RunProgram(AppPlatform& platform, std::string_view commandLine);

} // namespace nimbrel
