// AppPlatform: everything that start-up asks of the operating system and of
// the application object, one operation each. The start-up sequence decides
// what happens and in which order; an implementation only carries it out.
// Texts are UTF-8 in both directions.
//
// Unless an operation says otherwise it does not throw, and the results of
// the operating-system calls behind it are ignored. After RunProgram returns,
// the implementation destroys the windows that still exist, with their
// destruction steps, and ends the process with the exit code it returned.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/run_mode.h"

namespace nimbrel {

// A window of the window system, as the 32-bit value the command line carries.
using WindowHandle = std::uint32_t;

// A window's outer edges in screen coordinates.
struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

enum class GuardState {
    Acquired,       // this process created the guard and holds it until it ends
    HeldByAnother,  // the guard existed already; this process has let go of it again
    Unavailable,    // the guard could not be created
};

class AppPlatform {
public:
    virtual ~AppPlatform() = default;

    // Takes the current directory out of the library search path, so that no
    // library is ever picked up from there. Runs first, before anything else.
    virtual void RestrictLibrarySearch() = 0;

    // Sets how the system scales the process's windows and screen reads on
    // monitors of different scales. It can be set once, before the first
    // window and the first look at the screen; a system without scaling
    // ignores it.
    virtual void SetDpiAwareness(DpiAwareness awareness) = 0;

    // Creates the named kernel mutex, not initially owned. When this call
    // created it, its handle stays open, unreferenced, until the process
    // ends; when it existed already, the handle is closed again at once.
    virtual GuardState AcquireGuard(std::string_view name) = 0;

    virtual void SetApplicationTitle(std::string_view title) = 0;

    // Whether any top-level window of this window class exists.
    virtual bool TopLevelWindowExists(std::string_view className) = 0;

    // Hides the application object's own top-level window.
    virtual void HideApplicationWindow() = 0;

    // Whether the handle names a window that exists now.
    virtual bool WindowExists(WindowHandle window) = 0;
    virtual void ShowWindowByHandle(WindowHandle window) = 0;
    // All zero when no rectangle is obtained.
    virtual WindowRect OuterRect(WindowHandle window) = 0;

    // Creates the effect selection dialog as the main window.
    virtual void CreateSettingsDialog() = 0;

    // Stores previewParent as the saver run's PreviewParent, then creates the
    // saver window as the main window; the creation runs to its end before
    // this returns. With a non-zero previewParent the window is made a child
    // of that window, so the system destroys it when that window goes away.
    // May throw the saver window's creation errors.
    virtual void CreateSaverWindow(WindowHandle previewParent) = 0;
    // Moves and sizes the saver window; the position is relative to its
    // parent's client area.
    virtual void SetSaverWindowBounds(std::int32_t left, std::int32_t top,
                                      std::int32_t width, std::int32_t height) = 0;
    // Whether keys, clicks and mouse movement may end the saver run.
    virtual void SetSaverClosesOnInput(bool closes) = 0;

    // Without a main window, returns at once. Otherwise shows the main window
    // and returns once it no longer exists, whether it closed itself or the
    // system destroyed it together with its parent (how a preview ends).
    // Errors raised by handlers are shown by the loop itself.
    virtual void RunMessageLoop() = 0;

    // The system directory's path, or the empty text when it is not known.
    virtual std::string SystemDirectory() = 0;

    // Loads the library at this full path, calls its PwdChangePasswordA with
    // passwordName, owner, 0 and 0 when it exports one (its result is
    // ignored) and unloads it. Does nothing more when the library cannot be
    // loaded.
    virtual void CallPasswordChange(std::string_view libraryPath, std::string_view passwordName,
                                    WindowHandle owner) = 0;

    // The path of the program's own executable file.
    virtual std::string ProgramPath() = 0;
    // The code address that the start-up error report names, as the system
    // counts addresses, for the place where the error was raised (null when
    // it is not known).
    virtual std::uint32_t StartupErrorAddress(const void* raisedAt) = 0;
    // Shows a task-modal message box without owner, with a stop icon and one
    // OK button, and returns when the user has closed it.
    virtual void ShowStartupErrorReport(std::string_view title, std::string_view text) = 0;
};

} // namespace nimbrel
