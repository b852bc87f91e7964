// The start-up sequence and its early ends.
#include "app/startup.h"

#include <exception>

#include "app/command_line.h"
#include "app/error_report.h"
#include "app/password_change.h"
#include "app/run_mode.h"
#include "settings/errors.h"
#include "settings/parse_integer.h"

namespace nimbrel {
namespace {

enum class Outcome { GoOn, EndNow };

// The distance between two edges, with the wrap-around of 32-bit arithmetic.
std::int32_t Extent(std::int32_t from, std::int32_t to)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from));
}

// Puts a saver window into the window named by the second argument, sized
// to that window's outer size. Throws EConvertError when the argument is no
// number.
Outcome StartPreview(AppPlatform& platform, std::string_view secondArgument)
{
    if (platform.TopLevelWindowExists(kSaverWindowClass)) return Outcome::EndNow;
    platform.HideApplicationWindow();

    WindowHandle parent = 0;
    if (!secondArgument.empty()) parent = static_cast<WindowHandle>(ParseInteger(secondArgument));
    // Without a live parent there is nothing to draw into: the saver window
    // would be invisible, ignore input and hold the guard for good, so no
    // saver could start any more.
    if (parent == 0 || !platform.WindowExists(parent)) return Outcome::EndNow;

    platform.ShowWindowByHandle(parent);
    const WindowRect rect = platform.OuterRect(parent);
    platform.CreateSaverWindow(parent);
    platform.SetSaverWindowBounds(0, 0, Extent(rect.left, rect.right), Extent(rect.top, rect.bottom));
    // A preview is only watched, never used: it ends when its parent goes away.
    platform.SetSaverClosesOnInput(false);
    return Outcome::GoOn;
}

int ReportStartupError(AppPlatform& platform, std::string_view className, const void* raisedAt,
                       std::string_view message)
{
    platform.ShowStartupErrorReport(
        kStartupErrorTitle, StartupErrorReportText(className, platform.ProgramPath(),
                                                   platform.StartupErrorAddress(raisedAt), message));
    return kExitStartupError;
}

int RunModes(AppPlatform& platform, const CommandLine& commandLine)
{
    const WindowHandle passwordParent = ReadPasswordParent(commandLine.Argument(2));
    const RunMode mode = SelectRunMode(commandLine.Argument(1));
    // Before any window is made or the screen read, and only once.
    platform.SetDpiAwareness(DpiAwarenessFor(mode));

    // A password change may run beside any other instance, so only it skips the guard.
    if (mode != RunMode::ChangePassword && RunCheck(platform, kGuardName)) return kExitOrdinary;
    platform.SetApplicationTitle(kApplicationTitle);

    switch (mode) {
    case RunMode::Configure:
        platform.CreateSettingsDialog();
        break;
    case RunMode::Saver:
        platform.CreateSaverWindow(0);
        break;
    case RunMode::Preview:
        if (StartPreview(platform, commandLine.Argument(2)) == Outcome::EndNow) return kExitOrdinary;
        break;
    case RunMode::ChangePassword:
        RequestPasswordChange(platform, passwordParent);
        break;
    }
    platform.RunMessageLoop();
    return kExitOrdinary;
}

} // namespace

bool RunCheck(AppPlatform& platform, std::string_view guardName)
{
    return platform.AcquireGuard(guardName) != GuardState::Acquired;
}

int RunProgram(AppPlatform& platform, std::string_view commandLine)
{
    platform.RestrictLibrarySearch();
    try {
        return RunModes(platform, CommandLine(commandLine));
    } catch (const Error& e) {
        return ReportStartupError(platform, e.ClassName(), e.RaisedAt(), e.what());
    } catch (const std::exception& e) {
        // The message loop shows what handlers raise, so only start-up gets
        // here; an error from outside the program's own types still deserves
        // a report rather than an abrupt end; where it was raised is unknown.
        return ReportStartupError(platform, "Exception", nullptr, e.what());
    }
}

} // namespace nimbrel
