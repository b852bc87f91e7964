// The saver window's creation, tick dispatch, painting, system commands and
// destruction.
#include "saver/main_form.h"

#include <algorithm>
#include <cstddef>

#include "settings/saver_settings.h"
#include "settings/settings_file.h"

namespace nimbrel {

CreationParams TMainForm::CreateParams(CreationParams standard) const
{
    if (run_.PreviewParent == 0) return standard;
    return {(standard.Style & ~kStylePopup) | kStyleChild, run_.PreviewParent};
}

void TMainForm::FormCreate()
{
    created_ = true;
    // A run without surfaces shows the black background; one that a refusal
    // left without them never gets a snapshot of an earlier run instead.
    run_.Surfaces = SaverSurfaces{};

    // The saver covers every monitor, so that none stays live beside it (a
    // click there would take the activation away). A preview shows the
    // primary screen only.
    ScreenAccess& screen = platform_.Screen();
    const PixelRect area = run_.PreviewParent == 0
                               ? screen.VirtualScreen()
                               : PixelRect{0, 0, screen.ScreenWidth(), screen.ScreenHeight()};
    platform_.PlaceWindow(area.Left, area.Top, static_cast<std::int32_t>(area.Width()),
                          static_cast<std::int32_t>(area.Height()));
    platform_.MakeTopmost();

    if (run_.PreviewParent == 0) {
        platform_.SetScreenSaverRunning(RunningFlag::Set);
        // Other programs may have raised the counter too; hide until the
        // cursor is really gone, however far that is.
        while (platform_.ShowCursor(CursorStep::Hide) >= 0) {
        }
    }

    ReadMainSection();

    // Wave runs when nothing is enabled; the file keeps the user's choice.
    if (std::ranges::none_of(run_.EnabledEffects, [](bool enabled) { return enabled; })) {
        run_.EnabledEffects[static_cast<std::size_t>(EffectKind::Wave)] = true;
    }

    ProcessRandomSource().SeedFromClock(platform_.UtcClock());

    run_.AnimationActive = true;
    run_.MouseMoveCount = 0;
    closesOnInput_ = true;
    run_.EffectNeedsSetup = true;

    ChooseEffect();

    // The window is not shown yet, so the capture holds the screen as it
    // was before the saver appeared. Assigned whole, so a refusal leaves
    // no surface at all.
    run_.Surfaces = BuildSurfaces(screen, area);
    run_.ScreenArea = area;
}

void TMainForm::WMDisplayChange()
{
    if (!created_ || run_.PreviewParent != 0) return;
    ScreenAccess& screen = platform_.Screen();
    const PixelRect area = screen.VirtualScreen();
    platform_.PlaceWindow(area.Left, area.Top, static_cast<std::int32_t>(area.Width()),
                          static_cast<std::int32_t>(area.Height()));
    platform_.MakeTopmost();
    // Without surfaces the window stays black, whatever its size.
    if (!HasSurfaces() || area == run_.ScreenArea) return;
    run_.Surfaces = MoveSurfaces(screen, run_.Surfaces, run_.ScreenArea, area);
    run_.ScreenArea = area;
    SurfacesReplaced(run_.Effects);
}

bool TMainForm::HasSurfaces() const
{
    return run_.Surfaces.FrameBitmap.Width() > 0 && run_.Surfaces.FrameBitmap.Height() > 0;
}

void TMainForm::ReadMainSection()
{
    const SaverSettings::MainSection defaults;
    const SettingsFile file(kSettingsFileName, CurrentProfileStore());
    run_.EnabledEffects = {file.LoadFlag("Main", "Wave", defaults.Wave),
                           file.LoadFlag("Main", "Melt", defaults.Melt),
                           file.LoadFlag("Main", "Noise", defaults.Noise)};
    run_.CloseMouseMove = static_cast<std::uint8_t>(
        static_cast<std::uint32_t>(file.LoadInt("Main", "CloseMouseMove", defaults.CloseMouseMove)));
}

void TMainForm::ChooseEffect()
{
    // Thirty outcomes give each kind ten, so redrawing until an enabled kind
    // comes up is a uniform choice among the enabled ones. These are the
    // first draws after the seeding; the effects' draws follow them.
    RandomSource& random = ProcessRandomSource();
    std::uint32_t kind = 0;
    do {
        kind = random.Next(30) % kEffectKindCount;
    } while (!run_.EnabledEffects[kind]);
    run_.CurrentEffect = static_cast<EffectKind>(kind);
}

void TMainForm::FormPaint()
{
    const PixelRect whole{0, 0, platform_.ClientWidth(), platform_.ClientHeight()};
    PresentFrame(std::span(&whole, 1));
}

void TMainForm::PresentFrame(std::span<const PixelRect> changed)
{
    if (!HasSurfaces()) return;
    const Surface& frame = run_.Surfaces.FrameBitmap;
    const std::int32_t width = std::min(platform_.ClientWidth(), frame.Width());
    const std::int32_t height = std::min(platform_.ClientHeight(), frame.Height());
    // A longer list than the effects ever give is shown as the whole frame.
    const PixelRect whole{0, 0, width, height};
    if (changed.size() > clipped_.size()) changed = std::span(&whole, 1);
    std::size_t count = 0;
    for (const PixelRect& rect : changed) {
        const PixelRect inside{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, width),
                               std::min(rect.Bottom, height)};
        if (inside.Left < inside.Right && inside.Top < inside.Bottom) clipped_[count++] = inside;
    }
    if (count > 0) platform_.PresentFrame(frame, std::span(clipped_).first(count));
}

void TMainForm::SetTimer2Interval(std::uint32_t milliseconds)
{
    platform_.SetTimer2Interval(milliseconds);
}

void TMainForm::Timer1Timer()
{
    run_.MouseMoveCount = 0;
}

void TMainForm::Timer2Timer()
{
    // While an exit request asks for the password the picture stands still,
    // and a setup tick that is still due waits for the animation to resume.
    if (!run_.AnimationActive) return;
    // A creation that was refused its surfaces leaves the effects nothing to
    // draw on; the window stays black until input ends it.
    if (!HasSurfaces()) return;
    RunEffectTick(run_.CurrentEffect, *this, run_.Effects);
}

std::optional<std::int32_t> TMainForm::WMSysCommand(std::uint32_t command)
{
    // The system uses the low four bits of the command itself. Answering the
    // screen-save command keeps the system from starting the configured saver
    // over this one.
    if ((command & 0xFFF0u) == kScreenSaveCommand) return 1;
    return std::nullopt;
}

CloseAction TMainForm::FormClose()
{
    return CloseAction::Free;
}

void TMainForm::FormDestroy()
{
    if (!created_) return;
    created_ = false;
    run_.Surfaces = SaverSurfaces{};
    if (closesOnInput_) platform_.SetScreenSaverRunning(RunningFlag::Clear);
    if (run_.PreviewParent == 0) platform_.ShowCursor(CursorStep::Show);
}

} // namespace nimbrel
