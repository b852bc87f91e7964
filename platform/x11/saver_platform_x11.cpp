// The saver window's requests on X.
#include "platform/x11/saver_platform_x11.h"

#include <algorithm>

#include "saver/saver_run.h"

namespace nimbrel::x11 {

TimerSchedule::TimerSchedule(std::uint64_t now)
    : timer1_(now + kTimer1Interval), timer2_(now + kTimer2InitialInterval)
{
}

void TimerSchedule::SetTimer2Interval(std::uint32_t milliseconds, std::uint64_t now)
{
    // Setting a running timer again starts its period afresh.
    timer2Interval_ = milliseconds;
    timer2_ = now + milliseconds;
}

bool TimerSchedule::Take(std::uint64_t& deadline, std::uint32_t interval, std::uint64_t now)
{
    if (now < deadline) return false;
    deadline += interval;
    if (deadline <= now) deadline = now + interval;
    return true;
}

X11SaverPlatform::X11SaverPlatform(X11Screen& screen, const Clock& clock, GC gc)
    : screen_(screen), clock_(clock), gc_(gc), timers_(MonotonicMs())
{
}

std::int32_t X11SaverPlatform::ClientWidth()
{
    const Surface& frame = ProcessSaverRun().Surfaces.FrameBitmap;
    return std::min(width_, frame.Width());
}

std::int32_t X11SaverPlatform::ClientHeight()
{
    const Surface& frame = ProcessSaverRun().Surfaces.FrameBitmap;
    return std::min(height_, frame.Height());
}

void X11SaverPlatform::PresentFrame(const Surface& frame, std::span<const PixelRect> rects)
{
    screen_.Present(gc_, frame, rects);
}

void X11SaverPlatform::SetTimer2Interval(std::uint32_t milliseconds)
{
    timers_.SetTimer2Interval(milliseconds, MonotonicMs());
}

std::int32_t X11SaverPlatform::ShowCursor(CursorStep step)
{
    cursorCounter_ += step == CursorStep::Show ? 1 : -1;
    return cursorCounter_;
}

void X11SaverPlatform::SetWindowSize(std::int32_t width, std::int32_t height)
{
    width_ = width;
    height_ = height;
}

} // namespace nimbrel::x11
