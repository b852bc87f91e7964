// SaverRun: the state of the one saver window of a process, which the window's
// handlers, the effect ticks and the exit request read and write.
#pragma once

#include <array>
#include <cstdint>

#include "effects/build_surfaces.h"
#include "effects/effect_dispatch.h"
#include "effects/effect_kind.h"

namespace nimbrel {

// A window of the window system, as the 32-bit value the command line carries.
using WindowHandle = std::uint32_t;

// Creation sets every field afresh except PreviewParent and Effects, so a
// second test run in one process starts from the same state as the first.
// Whether input may end the run is not here: it belongs to the window object
// (TMainForm::ClosesOnInput).
struct SaverRun {
    // The preview window that the saver window lives in, 0 outside preview
    // mode. Program entry stores it before it creates the window.
    WindowHandle PreviewParent = 0;

    // The effects that the random choice may pick, indexed by EffectKind.
    // After creation at least one is set.
    std::array<bool, kEffectKindCount> EnabledEffects{true, false, false};

    // Mouse moves tolerated within one Timer1 period, and those counted so far
    // in it. Both are 8-bit on purpose: the setting keeps only its low 8 bits,
    // and the counter wraps from 255 to 0.
    std::uint8_t CloseMouseMove = 4;
    std::uint8_t MouseMoveCount = 0;

    // Timer2 ticks reach the effect only while this is set; an exit request
    // clears it while it asks about the password.
    bool AnimationActive = true;

    // The next tick that reaches the effect is its setup tick. Only creation
    // sets it, so a run has exactly one setup tick.
    bool EffectNeedsSetup = true;

    // The effect of this run, drawn at creation; it never changes afterwards.
    EffectKind CurrentEffect = EffectKind::Wave;

    // SnapshotBitmap, WorkBitmap and FrameBitmap, all of the screen's size in
    // every mode; built last at creation and freed at destruction.
    SaverSurfaces Surfaces;
    // The area of the screen, in screen coordinates, that the surfaces cover.
    PixelRect ScreenArea;

    // The effects' working values, set by their own setup ticks.
    EffectStates Effects;
};

// The run of this process, which the Windows saver window works on.
SaverRun& ProcessSaverRun();

} // namespace nimbrel
