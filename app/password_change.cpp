// Password change mode.
#include "app/password_change.h"

#include <exception>

#include "settings/parse_integer.h"

namespace nimbrel {

WindowHandle ReadPasswordParent(std::string_view secondArgument)
{
    if (secondArgument.empty()) return 0;
    try {
        return static_cast<WindowHandle>(ParseInteger(secondArgument));
    } catch (const std::exception&) {
        // Every mode passes through here, and most of them have no use for
        // the second argument, so a bad one must not stop them.
        return 0;
    }
}

std::string SystemLibraryPath(std::string_view systemDirectory, std::string_view fileName)
{
    if (systemDirectory.empty()) return {};
    std::string path(systemDirectory);
    if (!path.ends_with('\\')) path += '\\';
    path += fileName;
    return path;
}

void RequestPasswordChange(AppPlatform& platform, WindowHandle passwordParent)
{
    const std::string path = SystemLibraryPath(platform.SystemDirectory(), kPasswordLibrary);
    if (path.empty()) return;
    platform.CallPasswordChange(path, kSaverPasswordName, passwordParent);
}

} // namespace nimbrel
