// TMainForm: the decisions of the saver window, as plain operations on the
// run's state. The Windows layer owns the real window and calls one handler
// per event; every request towards the system goes through SaverPlatform.
//
// Lifecycle: the platform makes the window and starts both timers, then
// calls FormCreate. FormPaint, Timer1Timer, Timer2Timer, the input handlers
// and WMSysCommand follow, one at a time from the message loop. After the
// close that RequestExit asks for, FormClose and then FormDestroy end the
// run. An exception from a handler ends that handler only; the message loop
// shows it and the window goes on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "effects/effect_host.h"
#include "saver/saver_platform.h"
#include "saver/saver_run.h"

namespace nimbrel {

// The window style bits that preview mode exchanges.
inline constexpr std::uint32_t kStylePopup = 0x80000000;  // WS_POPUP
inline constexpr std::uint32_t kStyleChild = 0x40000000;  // WS_CHILD

// The system command that would start the configured screen saver.
inline constexpr std::uint32_t kScreenSaveCommand = 0xF140;  // SC_SCREENSAVE

// Where the system keeps whether the screen-saver password is in use.
inline constexpr std::string_view kDesktopKeyPath = "Control Panel\\desktop";
inline constexpr std::string_view kUsePasswordValue = "ScreenSaveUsePassword";
// The system library that verifies the password, and the errors of reading
// the value ("%s" is the value name).
inline constexpr std::string_view kPasswordCheckLibrary = "PASSWORD.CPL";
inline constexpr const char* kRegistryReadFailed = "'%s' の取得に失敗しました";
inline constexpr const char* kRegistryWrongType = "'%s' のﾃﾞｰﾀ型が不正です";

// The password library's path: the system directory and a backslash unless
// it ends in one. An unknown directory leaves the bare file name to the
// system's library search.
std::string PasswordLibraryPath(std::string_view systemDirectory);

// The parameters of the system window that FormCreate's caller makes.
struct CreationParams {
    std::uint32_t Style = 0;
    WindowHandle Parent = 0;
    friend bool operator==(const CreationParams&, const CreationParams&) = default;
};

// What the standard window does with itself after it closed.
enum class CloseAction { None, Hide, Free, Minimize };

class TMainForm final : public EffectHost {
public:
    TMainForm(SaverRun& run, SaverPlatform& platform) : run_(run), platform_(platform) {}

    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // The borderless top-level parameters turned into those of a child of
    // the preview window when the run has a PreviewParent.
    CreationParams CreateParams(CreationParams standard) const;

    // Covers every monitor (the primary screen in preview mode), hides the
    // cursor and sets the running flag outside preview mode, reads the Main
    // section, draws the effect and captures the screen. When a step throws, the steps done so far stay and the error
    // leaves: the window goes on with what was made (without surfaces it
    // stays black and its ticks draw nothing), and FormDestroy undoes it.
    void FormCreate();
    // Shows the whole last frame again; nothing without surfaces.
    void FormPaint();
    // Starts a new one-second period for counting mouse moves.
    void Timer1Timer();
    // One tick of the run's effect while the animation is active.
    void Timer2Timer();
    // Counts a mouse move; one past the threshold asks to end the run.
    void FormMouseMove();
    // A key or a click asks to end the run at once.
    void FormKeyDown();
    void FormClick();
    // The result of a WM_SYSCOMMAND message when the window answers it
    // itself; nothing when the standard handling should run.
    std::optional<std::int32_t> WMSysCommand(std::uint32_t command);
    // The screen's geometry changed (a monitor came or went, the resolution
    // changed): the saver covers the new area, the pixels it showed keep
    // their place on the screen, what lies outside the snapshot is black, and
    // the effect goes on at the new size. A preview, which lives inside its
    // parent, and a run before creation are left alone. A refusal of the new
    // surfaces throws and keeps the old ones.
    void WMDisplayChange();
    CloseAction FormClose();
    // Frees the surfaces, clears the running flag and shows the cursor again
    // as creation requires. Does nothing unless FormCreate ran (to its end or
    // not) since the last FormDestroy.
    void FormDestroy();

    // Pauses the animation and either asks the window to close or, when the
    // system's password dialog refuses the user, lets the animation go on.
    // Throws Error when the password setting cannot be read; the animation
    // then stays paused and the window open.
    void RequestExit();

    // Whether input may end the run: true after creation; program entry
    // clears it for a preview. Destruction clears the running flag only when
    // it is set.
    bool ClosesOnInput() const { return closesOnInput_; }
    void SetClosesOnInput(bool closes) { closesOnInput_ = closes; }

    // EffectHost: what the effect ticks reach through the window.
    Surface& SnapshotBitmap() override { return run_.Surfaces.SnapshotBitmap; }
    Surface& WorkBitmap() override { return run_.Surfaces.WorkBitmap; }
    Surface& FrameBitmap() override { return run_.Surfaces.FrameBitmap; }
    std::int32_t FrameWidth() const override { return platform_.ClientWidth(); }
    std::int32_t FrameHeight() const override { return platform_.ClientHeight(); }
    bool EffectNeedsSetup() const override { return run_.EffectNeedsSetup; }
    void ClearEffectNeedsSetup() override { run_.EffectNeedsSetup = false; }
    void SetTimer2Interval(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() const override { return platform_.TickCount(); }
    void PresentFrame(std::span<const PixelRect> changed) override;
    RandomSource& Random() override { return ProcessRandomSource(); }
    ProfileStore& SettingsStore() override { return CurrentProfileStore(); }

private:
    void ReadMainSection();
    void ChooseEffect();
    bool HasSurfaces() const;
    // Asks the system's password library about the user, with the cursor
    // shown while its dialog may be open.
    void VerifyPassword();

    // The rectangles of one present, clipped to the window and the frame.
    std::array<PixelRect, kMaxFrameChanges> clipped_{};

    SaverRun& run_;
    SaverPlatform& platform_;
    // True before creation too, so that a creation which fails after setting
    // the running flag still has it cleared at destruction.
    bool closesOnInput_ = true;
    bool created_ = false;
};

} // namespace nimbrel
