// The user's "grab desktop images" choice (resource grabDesktopImages of
// class XScreenSaver): whether a hack may show the desktop at all. Reading
// it is pure text work, apart from fetching the texts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::x11 {

// Where XScreenSaver keeps its defaults on Debian.
inline constexpr std::string_view kAppDefaultsFile = "/etc/X11/app-defaults/XScreenSaver";

// The value that a resource text (~/.xscreensaver, the server's
// RESOURCE_MANAGER property, or the app-defaults file) gives
// grabDesktopImages, or nothing when it does not set it. A line is
// "name: value"; lines ending in a backslash continue on the next, and lines
// starting with "!" or "#" are comments. The name is grabDesktopImages,
// bare or after "*", "xscreensaver." or "XScreenSaver." (or the class
// GrabDesktopImages); a line that names the program beats one that does not,
// and among equals the last one counts. Values read as X resources do: true,
// yes, on, 1 and false, no, off, 0 in any letter case; a line with another
// value is ignored.
std::optional<bool> FindGrabDesktopImages(std::string_view resourceText);

// The first of the three sources that sets the resource decides, in this
// order: the user's ~/.xscreensaver, the server's resources, the
// app-defaults. When none does, the desktop stays private.
bool GrabDesktopImagesAllowed(const std::optional<std::string>& userFile,
                              const std::optional<std::string>& serverResources,
                              const std::optional<std::string>& appDefaults);

// The whole text of a file, or nothing when it cannot be read.
std::optional<std::string> ReadTextFile(const std::filesystem::path& path);

} // namespace nimbrel::x11
