// The settings dialogs on Windows: one window per dialog, built from its
// layout description with native controls whose ids are the layout's
// ControlIds, so that tests and tools can find every control by id.
//
// The window carries out what the portable dialog decides: it copies the
// user's changes into the dialog's control model before a button's handler
// runs and the model back to the controls afterwards, handles Enter, Escape
// and Tab as the shared keyboard rules say, shows the further dialogs and the
// test-run saver window modally, and destroys itself when it closes.
#pragma once

#include <windows.h>

#include "dialogs/layout.h"

namespace nimbrel::win32 {

// Creates the dialog's window from its description (not shown yet),
// registers it with Application, runs FormCreate. For DialogKind::MainDialog
// this is the program's main window in Configure mode. Returns nullptr when
// Windows refuses to create the window.
HWND CreateDialogWindow(DialogKind kind);

// The native control of a dialog window with this id, wherever it sits (on
// the window, inside a group box or on a page); nullptr when there is none.
// Works on another process's windows too.
HWND FindDialogControl(HWND dialog, ControlId id);

} // namespace nimbrel::win32
