// The saver window's requests to Windows: the window itself, its timers, the
// cursor, the screen-saver-running flag, the registry value that says whether
// a password is in use, and the system's password library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/desktop_background.h"
#include "platform/win32/screen.h"
#include "saver/saver_platform.h"

namespace nimbrel::win32 {

// The ids of the saver window's two timers (SetTimer on the window).
inline constexpr UINT_PTR kTimer1Id = 1;
inline constexpr UINT_PTR kTimer2Id = 2;

// The platform id that CapturePlatformId stored; 0 before it ran or when
// GetVersionExA failed.
std::uint32_t CapturedPlatformId();

// The system's UTC time of day (GetSystemTime).
class Win32Clock final : public Clock {
public:
    TimeOfDay UtcTimeOfDay() const override;
};

// Carries out the saver window's requests on one window.
class Win32SaverPlatform final : public SaverPlatform {
public:
    explicit Win32SaverPlatform(HWND window = nullptr) : window_(window) {}

    // The window is made after the object that carries out its requests, so
    // it is attached once the system has created it.
    void Attach(HWND window) { window_ = window; }

    ScreenAccess& Screen() override;
    const Clock& UtcClock() override { return clock_; }

    void PlaceWindow(std::int32_t left, std::int32_t top, std::int32_t clientWidth,
                     std::int32_t clientHeight) override;
    void MakeTopmost() override;
    std::int32_t ClientWidth() override;
    std::int32_t ClientHeight() override;
    void PresentFrame(const Surface& frame, std::span<const PixelRect> rects) override;
    void CloseWindow() override;

    void SetTimer2Interval(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override;

    void SetScreenSaverRunning(RunningFlag flag) override;
    std::int32_t ShowCursor(CursorStep step) override;

    std::uint32_t PlatformId() override { return CapturedPlatformId(); }
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(std::string_view path) override;
    std::string SystemDirectory() override;
    std::unique_ptr<PasswordLibrary> LoadPasswordLibrary(std::string_view path) override;

private:
    HWND window_;
    Win32Screen screen_;
    Win32Clock clock_;
    // The screen with the drawn desktop in place of the capture, for the
    // password desktop of the systems that have one.
    DesktopBackgroundScreen drawnDesktop_{screen_};
};

// The screen that saver windows use from now on in place of the real one;
// nullptr gives the real one back. Tests use it to have a creation refused,
// which the system itself does only when it runs out of resources.
void SubstituteScreenForTesting(ScreenAccess* screen);

// Starts one of the window's timers, or replaces its interval; throws Error
// with kTimerOutOfResources when the system refuses.
void StartWindowTimer(HWND window, UINT_PTR id, std::uint32_t milliseconds);

} // namespace nimbrel::win32
