// The saver window's requests carried out on X: the timers, the client
// size, presenting and closing. What only Windows has (the screen-saver
// running flag, the registry, the password library, the cursor counter) is
// a no-op or answers "not there": under XScreenSaver the daemon owns the
// screen, the cursor and the password.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "saver/saver_platform.h"
#include "platform/x11/screen.h"

// Xlib defines None and Status as macros, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace nimbrel::x11 {

// When the two timers fire next, on MonotonicMs' clock. A timer fires at
// its deadline and then every interval; one that fell behind (a slow tick, a
// stopped process) fires once and starts afresh, as Windows' timers do.
class TimerSchedule {
public:
    explicit TimerSchedule(std::uint64_t now);

    void SetTimer2Interval(std::uint32_t milliseconds, std::uint64_t now);
    std::uint64_t NextDeadline() const { return std::min(timer1_, timer2_); }
    // Whether each timer is due at `now`; a due timer moves to its next
    // deadline.
    bool Timer1Due(std::uint64_t now) { return Take(timer1_, kTimer1Interval, now); }
    bool Timer2Due(std::uint64_t now) { return Take(timer2_, timer2Interval_, now); }

private:
    static bool Take(std::uint64_t& deadline, std::uint32_t interval, std::uint64_t now);

    std::uint64_t timer1_;
    std::uint64_t timer2_;
    std::uint32_t timer2Interval_ = kTimer2InitialInterval;
};

class X11SaverPlatform final : public SaverPlatform {
public:
    X11SaverPlatform(X11Screen& screen, const Clock& clock, GC gc);

    ScreenAccess& Screen() override { return screen_; }
    const Clock& UtcClock() override { return clock_; }

    // The window belongs to the daemon or to the user's window manager: it
    // stays where and as large as it is.
    void PlaceWindow(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void MakeTopmost() override {}
    // The window's size as the last ConfigureNotify gave it, never larger
    // than the frame surface, so a frame never reaches past the surfaces.
    std::int32_t ClientWidth() override;
    std::int32_t ClientHeight() override;
    void PresentFrame(const Surface& frame, std::span<const PixelRect> rects) override;
    void CloseWindow() override { closeRequested_ = true; }

    void SetTimer2Interval(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(MonotonicMs()); }

    void SetScreenSaverRunning(RunningFlag) override {}
    // Only counts, so that the form's hiding loop ends: the daemon hides the
    // cursor, and an own window keeps it.
    std::int32_t ShowCursor(CursorStep step) override;

    std::uint32_t PlatformId() override { return 0; }
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(std::string_view) override { return nullptr; }
    std::string SystemDirectory() override { return {}; }
    std::unique_ptr<PasswordLibrary> LoadPasswordLibrary(std::string_view) override { return nullptr; }

    // What the event loop tells and asks.
    void SetWindowSize(std::int32_t width, std::int32_t height);
    std::int32_t WindowWidth() const { return width_; }
    std::int32_t WindowHeight() const { return height_; }
    bool CloseRequested() const { return closeRequested_; }
    TimerSchedule& Timers() { return timers_; }

private:
    X11Screen& screen_;
    const Clock& clock_;
    GC gc_;
    TimerSchedule timers_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t cursorCounter_ = 0;
    bool closeRequested_ = false;
};

} // namespace nimbrel::x11
