// Password change mode: the owner window read at start-up, and the request
// that asks the operating system's library to change the saver password.
#pragma once

#include <string>
#include <string_view>

#include "app/app_platform.h"

namespace nimbrel {

inline constexpr std::string_view kPasswordLibrary = "MPR.DLL";
// The password that the request names: the screen saver's.
inline constexpr std::string_view kSaverPasswordName = "SCRSAVE";

// The PasswordParent of this process: the second argument read as a number,
// or zero when it is empty or no number. Never throws; a bad argument is no
// error at this point.
WindowHandle ReadPasswordParent(std::string_view secondArgument);

// The full path of a system library, or the empty text when the system
// directory is not known: a bare library name would let the library search
// path pick up a file of that name from somewhere else.
std::string SystemLibraryPath(std::string_view systemDirectory, std::string_view fileName);

// Asks MPR.DLL of the system directory to change the saver password, with
// passwordParent as owner window. Nothing is reported when that cannot be done.
void RequestPasswordChange(AppPlatform& platform, WindowHandle passwordParent);

} // namespace nimbrel
