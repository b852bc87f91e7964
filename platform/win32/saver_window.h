// The saver window on Windows: TMainForm as a real window, with its timers,
// its key preview and the requests of the run carried out through Win32.
#pragma once

#include <windows.h>

namespace nimbrel::win32 {

// Creates the saver window as TMainForm: a topmost popup covering every monitor, or with a
// non-null previewParent a child of it. Stores previewParent as the run's PreviewParent first, registers
// the window with Application, starts Timer1/Timer2 and runs FormCreate. An error of the timers or of
// FormCreate is shown as a handler's error and the window goes on with what was made; only a window
// that the system refuses throws. The window is not shown yet (Application::Run / ShowModal show it).
HWND CreateSaverWindow(HWND previewParent);
void SetSaverClosesOnInput(HWND saverWindow, bool closes);

// Stores the platform id of the running system (GetVersionExA's dwPlatformId,
// 0 when the query fails). Called once when the program starts; the exit
// request reads the stored value, and the character set and the screen
// capture's raster operation are chosen from it.
void CapturePlatformId();

} // namespace nimbrel::win32
