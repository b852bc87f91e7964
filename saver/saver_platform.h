// SaverPlatform: everything the saver window's decisions ask of the operating
// system, one operation each. TMainForm decides what happens and in which
// order; an implementation only carries it out, so the whole run can be
// exercised without a window system.
//
// Unless an operation says otherwise it does not throw, and the results of
// the operating-system calls behind it are ignored. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "effects/build_surfaces.h"
#include "effects/random_source.h"
#include "effects/surface.h"

namespace nimbrel {

// The two timers of the saver window. Both are running when FormCreate is
// called: the implementation starts them when it makes the window. Timer1
// keeps its interval for the whole run; Timer2 starts at 50 ms and the
// effects change it between ticks.
inline constexpr std::uint32_t kTimer1Interval = 1000;
inline constexpr std::uint32_t kTimer2InitialInterval = 50;

// The message of the error raised when the window system refuses a timer.
inline constexpr const char* kTimerOutOfResources = "ﾀｲﾏｰを取得できません";

// The platform id of the NT family (VER_PLATFORM_WIN32_NT).
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

// The operating system's screen-saver-running flag.
enum class RunningFlag { Clear, Set };

// One step of the cursor display counter: Hide lowers it, Show raises it.
// The cursor is visible while the counter is 0 or more.
enum class CursorStep { Hide, Show };

// What reading a 32-bit integer from the registry gave.
struct RegistryDword {
    enum class Status {
        Read,      // Value holds the value
        NotRead,   // the value is missing or its data do not fit into 4 bytes
        WrongType, // the value exists but is not a 32-bit integer (REG_DWORD)
    };
    Status Result = Status::NotRead;
    std::uint32_t Value = 0;
};

// An open registry key; destroying it closes the key.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual RegistryDword ReadDword(std::string_view valueName) = 0;
};

// A loaded password library; destroying it releases the library.
class PasswordLibrary {
public:
    virtual ~PasswordLibrary() = default;

    // Calls the library's VerifyScreenSavePwd with the saver window's handle
    // and returns its whole 32-bit result once the system's password dialog
    // is done. Nothing when the library has no such function. The dialog runs
    // a message loop of its own, so timer ticks reach the window meanwhile.
    virtual std::optional<std::uint32_t> VerifyScreenSavePwd() = 0;
};

class SaverPlatform {
public:
    virtual ~SaverPlatform() = default;

    // The screen: its monitors, new surfaces and the capture.
    virtual ScreenAccess& Screen() = 0;
    // The clock that seeds the random sequence (the system's UTC time).
    virtual const Clock& UtcClock() = 0;

    // Puts the window at (left, top) with the given client size.
    virtual void PlaceWindow(std::int32_t left, std::int32_t top, std::int32_t clientWidth,
                             std::int32_t clientHeight) = 0;
    // Keeps the window above every window that is not topmost.
    virtual void MakeTopmost() = 0;
    // The window's client size now; it changes when program entry moves the
    // window into the preview window.
    virtual std::int32_t ClientWidth() = 0;
    virtual std::int32_t ClientHeight() = 0;
    // Copies each rectangle of the frame to the same place in the window's
    // client area, unscaled. The rectangles lie inside the client area and
    // the frame; the rest of the window keeps what it shows.
    virtual void PresentFrame(const Surface& frame, std::span<const PixelRect> rects) = 0;
    // Asks the window to close. The closing happens once the current handler
    // has returned, so the handler runs to its end.
    virtual void CloseWindow() = 0;

    // Sets the time to the next Timer2 tick. Throws Error with
    // kTimerOutOfResources when the window system refuses the timer.
    virtual void SetTimer2Interval(std::uint32_t milliseconds) = 0;
    // Milliseconds since the system started; wraps around at 2^32.
    virtual std::uint32_t TickCount() = 0;

    // SystemParametersInfoA with SPI_SCREENSAVERRUNNING.
    virtual void SetScreenSaverRunning(RunningFlag flag) = 0;
    // ShowCursor: one step of the counter; returns the new counter.
    virtual std::int32_t ShowCursor(CursorStep step) = 0;

    // The platform id that GetVersionExA gave when the program started, 0
    // when that query failed.
    virtual std::uint32_t PlatformId() = 0;
    // Opens an existing key under HKEY_CURRENT_USER with full access; nothing
    // when it cannot be opened. Never creates the key.
    virtual std::unique_ptr<RegistryKey> OpenCurrentUserKey(std::string_view path) = 0;
    // The system directory, or the empty text when it cannot be obtained.
    virtual std::string SystemDirectory() = 0;
    // Loads the library at this path; nothing when it cannot be loaded.
    virtual std::unique_ptr<PasswordLibrary> LoadPasswordLibrary(std::string_view path) = 0;
};

} // namespace nimbrel
