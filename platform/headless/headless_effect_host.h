// Stand-ins for what the effects need from the platform and the saver run:
// a fixed clock, a fixed screen and an effect host with a frame size, a tick
// count and a random sequence of its own. Tests and tools use them.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "effects/build_surfaces.h"
#include "effects/effect_host.h"
#include "effects/random_source.h"
#include "settings/profile_store.h"

namespace nimbrel {

// A clock that reads the time of day it was given.
class FixedClock final : public Clock {
public:
    explicit FixedClock(TimeOfDay time = {})
        : time_(time)
    {
    }
    TimeOfDay UtcTimeOfDay() const override { return time_; }
    void Set(TimeOfDay time) { time_ = time; }

private:
    TimeOfDay time_;
};

// A picture in which every pixel has a colour of its own (for sizes up to
// 2^24 pixels), so that any misplaced pixel shows.
Surface MakeTestPattern(std::int32_t width, std::int32_t height);

// A screen showing a given picture. By default the picture is the primary
// screen; with a virtual screen it covers that rectangle instead, and the
// primary screen is the part at (0, 0) of the given size.
class HeadlessScreen final : public ScreenAccess {
public:
    explicit HeadlessScreen(Surface picture)
        : picture_(std::move(picture))
        , virtual_{0, 0, picture_.Width(), picture_.Height()}
        , primaryWidth_(picture_.Width())
        , primaryHeight_(picture_.Height())
    {
    }
    HeadlessScreen(Surface picture, std::int32_t left, std::int32_t top, std::int32_t primaryWidth,
                   std::int32_t primaryHeight)
        : picture_(std::move(picture))
        , virtual_{left, top, left + picture_.Width(), top + picture_.Height()}
        , primaryWidth_(primaryWidth)
        , primaryHeight_(primaryHeight)
    {
    }

    std::int32_t ScreenWidth() override { return primaryWidth_; }
    std::int32_t ScreenHeight() override { return primaryHeight_; }
    PixelRect VirtualScreen() override { return virtual_; }
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override;

    const Surface& Picture() const { return picture_; }

private:
    Surface picture_;
    PixelRect virtual_;
    std::int32_t primaryWidth_;
    std::int32_t primaryHeight_;
};

// An effect host over surfaces of its own. The frame size starts as the
// surfaces' size, Timer2 at 50 ms, the tick count at 0 and the random
// sequence at seed 0; nothing moves unless the caller moves it.
class HeadlessEffectHost final : public EffectHost {
public:
    using PresentHandler =
        std::function<void(const Surface& frame, FrameSize size, std::span<const PixelRect> changed)>;
    using IntervalHandler = std::function<void(std::uint32_t milliseconds)>;

    HeadlessEffectHost(SaverSurfaces surfaces, ProfileStore& settings);

    Surface& SnapshotBitmap() override { return surfaces_.SnapshotBitmap; }
    Surface& WorkBitmap() override { return surfaces_.WorkBitmap; }
    Surface& FrameBitmap() override { return surfaces_.FrameBitmap; }

    std::int32_t FrameWidth() const override { return frameWidth_; }
    std::int32_t FrameHeight() const override { return frameHeight_; }
    void SetFrameSize(std::int32_t width, std::int32_t height);

    bool EffectNeedsSetup() const override { return needsSetup_; }
    void ClearEffectNeedsSetup() override { needsSetup_ = false; }
    void SetEffectNeedsSetup() { needsSetup_ = true; }

    void SetTimer2Interval(std::uint32_t milliseconds) override;
    std::uint32_t Timer2Interval() const { return timer2Interval_; }
    int IntervalChanges() const { return intervalChanges_; }
    // Called before each interval change takes effect; it may raise, as a
    // refused timer would.
    void SetIntervalHandler(IntervalHandler handler) { onInterval_ = std::move(handler); }

    std::uint32_t TickCount() const override { return tickCount_; }
    void SetTickCount(std::uint32_t milliseconds) { tickCount_ = milliseconds; }
    void AdvanceTickCount(std::uint32_t milliseconds) { tickCount_ += milliseconds; }

    void PresentFrame(std::span<const PixelRect> changed) override;
    int PresentCount() const { return presentCount_; }
    // The rectangles of the last PresentFrame, as the tick passed them.
    const std::vector<PixelRect>& LastChanges() const { return lastChanges_; }
    // Called with FrameBitmap, the frame size and the rectangles at every
    // PresentFrame.
    void SetPresentHandler(PresentHandler handler) { onPresent_ = std::move(handler); }

    RandomSource& Random() override { return random_; }
    ProfileStore& SettingsStore() override { return *settings_; }

    SaverSurfaces& Surfaces() { return surfaces_; }

private:
    SaverSurfaces surfaces_;
    ProfileStore* settings_;
    std::int32_t frameWidth_;
    std::int32_t frameHeight_;
    bool needsSetup_ = true;
    std::uint32_t timer2Interval_ = 50;
    int intervalChanges_ = 0;
    std::uint32_t tickCount_ = 0;
    int presentCount_ = 0;
    std::vector<PixelRect> lastChanges_;
    PresentHandler onPresent_;
    IntervalHandler onInterval_;
    RandomSource random_;
};

} // namespace nimbrel
