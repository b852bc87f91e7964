// The font of a settings dialog: the face its layout names at the layout's
// character height, scaled to the screen's resolution, or a Japanese-capable
// face of the same height where the named one cannot show the captions.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "dialogs/layout.h"
#include "platform/win32/handles.h"

namespace nimbrel::win32 {

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// The screen's pixels per inch, read once per call from the screen's device
// context; 96 when it cannot be read.
int ScreenDpi();

// A length of the layout (pixels at 96 pixels per inch) at this resolution.
int ScaleToDpi(int length, int dpi);

// The font for the dialog's controls. Never null: when no candidate face can
// show every caption, the named face is used all the same.
UniqueFont CreateDialogFont(const DialogLayout& layout, int dpi);

} // namespace nimbrel::win32
